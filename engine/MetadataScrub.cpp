#include "engine/MetadataScrub.h"

void TMetadataScrub::ForgetLengthAndTimes(const std::string& path) {
  // Nothing of the contents is left to lose: if this open fails (a scanner has the
  // file), the name still goes and the file is still deleted.
  const auto file = FFileSystem.OpenExisting(path, true);
  if (!file) return;
  // Times last: cutting the length sets the last-write time. One flush carries both.
  file->Truncate();
  file->SetTimes(kScrubFileTime);
  file->Flush();
}

bool TMetadataScrub::ScrubAndDelete(const std::string& path) {
  ForgetLengthAndTimes(path);

  // Each rename writes the new name where the file system kept the old one; a
  // rename that fails leaves the file under the name it has, and it is deleted
  // under that name: its contents are gone already. The system refuses a name
  // that is taken, so no rename can replace another file.
  const std::string_view folder = FolderOf(path);
  const std::size_t ownLength = path.size() - folder.size();
  std::string current = path;
  for (int i = 0; i < kRenames; ++i) {
    std::string next = i == 1 ? FNames.NewName(folder, ownLength) : FNames.NewName(folder);
    if (!FFileSystem.Rename(current, next)) break;
    current = std::move(next);
  }

  FFileSystem.Delete(current);
  if (!FFileSystem.NameExists(current)) return current == path || !FFileSystem.NameExists(path);
  if (current != path) FFileSystem.Rename(current, path);
  return false;
}
