#include "engine/MetadataScrub.h"

#include <algorithm>
#include <map>
#include <memory>

namespace {

// NTFS, exFAT and FAT hold no longer name.
constexpr std::size_t kLongestName = 255;
// Short names come from few: a folder may hold many of them.
constexpr int kShortNameTries = 64;

}  // namespace

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

std::optional<std::string> TMetadataScrub::NameInGap(const std::string& own, const std::optional<TNameGap>& gap,
                                                     const std::optional<std::string>& after, std::size_t length) {
  if (!gap) return std::nullopt;
  // The gap is worked out on the bytes of the names; the file system, which sorts
  // them as its own characters, has the last word.
  std::string name = FNames.NameInGap("", *gap, length);
  if (FFileSystem.CompareNames(own, name) < 0 && (!after || FFileSystem.CompareNames(name, *after) < 0)) return name;
  return std::nullopt;
}

std::string TMetadataScrub::LongName(const std::string& folder, const std::string& own,
                                     const std::optional<TNameGap>& gap, const std::optional<std::string>& after) {
  if (auto name = NameInGap(own, gap, after, std::min(own.size(), kLongestName))) return folder + *name;
  // No gap (or a folder that cannot be listed): a name of the same length still lands
  // where exFAT and FAT kept the long name.
  return FNames.NewName(folder, std::min(own.size(), kLongestName));
}

std::string TMetadataScrub::ShortName(const std::string& folder, bool listed) {
  // Drawn from 1,296, a short name is looked up among the folder's names first;
  // where the folder cannot be read, or seems to hold them all, one of 8 characters,
  // which no folder is likely to hold, does instead.
  for (int i = 0; listed && i < kShortNameTries; ++i) {
    std::string name = FNames.NewName(folder, kShortNameLength - 1);
    name.insert(folder.size(), 1, kShortNameStart);
    if (!FFolders.Holds(folder, name.substr(folder.size()))) return name;
  }
  return FNames.NewName(folder);
}

void TMetadataScrub::EndRun() {
  std::map<std::string, int> removed;
  for (const auto& [folder, own] : FRemoved) ++removed[folder];
  std::vector<std::string> made;
  std::vector<std::unique_ptr<IShredFile>> covers;
  for (const auto& [folder, own] : FRemoved) {
    if (removed[folder] < 2) continue;  // a single file's own renames covered it
    const auto neighbours = FFolders.Neighbours(folder, own);
    const auto gap = neighbours ? FindNameGap(own, neighbours->before, neighbours->after) : std::nullopt;
    const auto name = neighbours ? NameInGap(own, gap, neighbours->after, kLongestName) : std::nullopt;
    if (!name) continue;
    auto file = FFileSystem.CreateFill(folder + *name);
    if (!file) continue;
    // Its deleted entry then looks like those of the files the run deleted.
    file->SetTimes(kScrubFileTime);
    FFolders.Added(folder, *name);
    made.push_back(folder + *name);
    covers.push_back(std::move(file));
  }
  covers.clear();
  for (const std::string& path : made) {
    // Closed, they are gone; one that stays (the system could not remove it) goes now.
    if (FFileSystem.NameExists(path)) FFileSystem.Delete(path);
    const std::string folder(FolderOf(path));
    FFolders.Removed(folder, path.substr(folder.size()));
  }
  FRemoved.clear();
}

bool TMetadataScrub::Rename(const std::string& folder, std::string& current, std::string next) {
  if (!FFileSystem.Rename(current, next)) return false;
  FFolders.Renamed(folder, current.substr(folder.size()), next.substr(folder.size()));
  current = std::move(next);
  return true;
}

bool TMetadataScrub::ScrubAndDelete(const std::string& path) {
  ForgetLengthAndTimes(path);

  // The neighbours as they are before the first rename, which could land among them.
  const std::string folder(FolderOf(path));
  const std::string own = path.substr(folder.size());
  const auto neighbours = FFolders.Neighbours(folder, own);
  const auto gap = neighbours ? FindNameGap(own, neighbours->before, neighbours->after) : std::nullopt;

  // Each rename writes the new name where the file system kept the old one; a
  // rename that fails leaves the file under the name it has, and it is deleted
  // under that name: its contents are gone already. The system refuses a name
  // that is taken, so no rename can replace another file.
  std::string current = path;
  for (int i = 0; i < kRenames; ++i) {
    std::string next = i == 1 ? LongName(folder, own, gap, neighbours ? neighbours->after : std::nullopt)
                              : ShortName(folder, neighbours.has_value());
    if (!Rename(folder, current, std::move(next))) break;
  }

  FFileSystem.Delete(current);
  if (!FFileSystem.NameExists(current)) {
    FFolders.Removed(folder, current.substr(folder.size()));
    FRemoved.emplace_back(folder, own);
    return current == path || !FFileSystem.NameExists(path);
  }
  if (current != path) Rename(folder, current, path);
  return false;
}
