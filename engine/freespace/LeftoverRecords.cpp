#include "engine/freespace/LeftoverRecords.h"

#include <algorithm>

#include "engine/freespace/RecordTree.h"

namespace {

bool AllZero(const std::vector<std::byte>& data) {
  return std::all_of(data.begin(), data.end(), [](std::byte b) { return b == std::byte{0}; });
}

// The whole tree is read before anything goes, so that a folder holding anything
// else is left whole, not emptied of what looked like ours.
bool IsRecordTree(IFileSystem& fileSystem, const std::string& folder, int level, const TRunStop& stop) {
  const auto entries = fileSystem.ListFolder(folder);
  if (!entries || entries->size() > TRecordTree::kEntriesPerFolder) return false;
  const bool filesHere = level == TRecordTree::kLevels;
  return std::all_of(entries->begin(), entries->end(), [&](const TFolderEntry& entry) {
    if (stop.Requested() || !TRecordTree::IsEntryName(entry.name) || entry.folder == filesHere) return false;
    const std::string path = folder + "\\" + entry.name;
    if (entry.folder) return IsRecordTree(fileSystem, path, level + 1, stop);
    const auto data = fileSystem.ReadSmallFile(path, TRecordTree::kLongestFile);
    return data && AllZero(*data);
  });
}

void RemoveTree(IFileSystem& fileSystem, const std::string& folder, const TRunStop& stop) {
  if (const auto entries = fileSystem.ListFolder(folder)) {
    for (const TFolderEntry& entry : *entries) {
      if (stop.Requested()) return;
      const std::string path = folder + "\\" + entry.name;
      if (entry.folder)
        RemoveTree(fileSystem, path, stop);
      else
        fileSystem.Delete(path);
    }
  }
  fileSystem.RemoveFolder(folder);
}

}  // namespace

bool RemoveLeftoverRecords(IFileSystem& fileSystem, const std::string& top, const TRunStop& stop) {
  if (!fileSystem.NameExists(top)) return true;
  if (!IsRecordTree(fileSystem, top, 0, stop)) return false;
  RemoveTree(fileSystem, top, stop);
  return !fileSystem.NameExists(top);
}
