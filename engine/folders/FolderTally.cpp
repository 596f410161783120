#include "engine/folders/FolderTally.h"

#include "engine/folders/FolderTexts.h"

namespace {

constexpr std::size_t kFoldersNamed = 10;

std::string CountingText(const TFolderTally& tally) {
  return "Counting the files in " + tally.Folder + ": " + GroupedDigits(tally.Files) + " files, " +
         GroupedDigits(tally.Bytes) + " bytes so far ...";
}

std::string Plural(std::int64_t count, std::string_view one, std::string_view many) {
  return GroupedDigits(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace

std::string GroupedDigits(std::int64_t value) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
    digits.insert(static_cast<std::size_t>(at), 1, ',');
  return value < 0 ? "-" + digits : digits;
}

// Depth first with a stack of folders still to list, not one of listings: each
// folder's names are let go as soon as it is counted.
bool TallyFolder(IFileSystem& fileSystem, IShredDisplay& display, const TRunStop& stop, TFolderTally& tally) {
  std::vector<std::string> pending{tally.Folder};
  while (!pending.empty()) {
    if (stop.Requested()) return false;
    const std::string folder = std::move(pending.back());
    pending.pop_back();
    const auto entries = fileSystem.ListFolder(folder);
    if (!entries) {
      ++tally.Unread;
      continue;
    }
    for (const TFolderEntry& entry : *entries) {
      if (entry.link) continue;
      if (entry.folder) {
        pending.push_back(folder + "\\" + entry.name);
        continue;
      }
      ++tally.Files;
      tally.Bytes += entry.size;
    }
    display.SetStatusText(CountingText(tally));
  }
  return true;
}

std::string FolderQuestionText(const std::vector<TFolderTally>& folders) {
  std::string text = folders.size() == 1 ? "Shred this folder whole, with everything in it?\n"
                                         : "Shred these folders whole, with everything in them?\n";
  for (std::size_t i = 0; i < folders.size() && i < kFoldersNamed; ++i) {
    const TFolderTally& tally = folders[i];
    text += "\n" + tally.Folder + ": " + Plural(tally.Files, "file", "files") + ", " +
            Plural(tally.Bytes, "byte", "bytes");
    if (tally.Unread > 0) text += " (and " + Plural(tally.Unread, "folder", "folders") + " that could not be read)";
  }
  if (folders.size() > kFoldersNamed) text += "\n... and " + std::to_string(folders.size() - kFoldersNamed) + " more";
  text += "\n\nEvery file in them is overwritten with zeros and deleted, and the folders are removed. "
          "This cannot be undone.";
  return text;
}
