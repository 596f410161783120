#include "engine/scrub/MetadataScrub.h"

#include <algorithm>
#include <map>
#include <memory>
#include <utility>

#include "engine/EntryPaths.h"

namespace {

// NTFS, exFAT and FAT hold no longer name.
constexpr std::size_t kLongestName = 255;
// Short names come from few: a folder may hold many of them.
constexpr int kShortNameTries = 64;

// The bytes of an NTFS index entry for a name of that many characters: a 16-byte
// header and a file-name attribute of 66 bytes and the name in UTF-16, in steps of 8.
// A name in a code page's double-byte characters has fewer characters than bytes:
// counting bytes overstates its entry, which only makes the covers closer together.
constexpr std::size_t IndexEntryBytes(std::size_t characters) { return (16 + 66 + 2 * characters + 7) / 8 * 8; }

}  // namespace

bool TMetadataScrub::ForgetLengthAndTimes(const std::string& path, const std::optional<TFileIdentity>& identity) {
  // Nothing of the contents is left to lose: if this open fails (a scanner has the
  // file), the name still goes and the file is still deleted.
  const auto file = FFileSystem.OpenExisting(path, true);
  if (!file) return true;
  if (identity && file->Identity() != identity) return false;
  // Times last: cutting the length sets the last-write time. One flush carries both.
  file->Truncate();
  file->SetTimes(kScrubFileTime);
  file->Flush();
  return true;
}

std::optional<std::string> TMetadataScrub::NameInGap(const std::string& own, const std::optional<TNameGap>& gap,
                                                     const std::optional<std::string>& after, std::size_t length) {
  if (!gap) return std::nullopt;
  // The gap is worked out on the bytes of the names; the file system, which sorts
  // them as its own characters, has the last word.
  std::string name = ::NameInGap(FNames, "", *gap, length);
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

std::unique_ptr<IShredFile> TMetadataScrub::Cover(const std::string& folder, const std::string& own,
                                                  std::vector<std::string>& made) {
  const auto neighbours = FFolders.Neighbours(folder, own);
  if (!neighbours) return nullptr;
  const auto name =
      NameInGap(own, FindNameGap(own, neighbours->before, neighbours->after), neighbours->after, kLongestName);
  if (!name) return nullptr;
  auto file = FFileSystem.CreateFill(folder + *name);
  if (!file) return nullptr;
  // Its deleted entry then looks like those of the files the run deleted.
  file->SetTimes(kScrubFileTime);
  FFolders.Added(folder, *name);
  made.push_back(*name);
  return file;
}

void TMetadataScrub::EndRun() {
  auto removed = std::exchange(FRemoved, {});
  for (auto& [folder, names] : removed) CoverGaps(folder, std::move(names));
}

void TMetadataScrub::CoverGaps(const std::string& folder, std::vector<std::string> names) {
  if (names.size() < 2) return;  // a single file's own renames covered it
  const auto order = [this](const std::string& a, const std::string& b) { return FFileSystem.CompareNames(a, b) < 0; };
  // One cover for each stretch of deleted entries, side by side in the folder's
  // order, that together make half a cover's entry: it grows their block back over
  // them with room to spare for a block's end that falls among them (one per whole
  // cover's entry left names behind on ntfs-3g).
  std::sort(names.begin(), names.end(), order);
  std::vector<std::unique_ptr<IShredFile>> covers;
  std::vector<std::string> made;
  std::size_t closedUp = 0;
  for (std::size_t i = 0; i < names.size(); ++i) {
    closedUp += IndexEntryBytes(names[i].size());
    if (2 * closedUp < IndexEntryBytes(kLongestName) && i + 1 < names.size()) continue;
    closedUp = 0;
    if (auto file = Cover(folder, names[i], made)) covers.push_back(std::move(file));
  }
  if (covers.empty()) return;
  covers.clear();
  // Closed, they are gone; one that stays (the system could not remove it) goes now.
  // One listing finds them all: under Wine a lookup of a missing name reads the
  // whole folder.
  FFolders.Forget(folder);
  const bool listed = FFolders.Listed(folder);
  for (const std::string& name : made) {
    if (listed && !FFolders.Holds(folder, name)) continue;
    FFileSystem.Delete(folder + name);
    FFolders.Removed(folder, name);
  }
}

bool TMetadataScrub::Rename(const std::string& folder, std::string& current, std::string next) {
  if (!FFileSystem.Rename(current, next)) return false;
  FFolders.Renamed(folder, current.substr(folder.size()), next.substr(folder.size()));
  current = std::move(next);
  return true;
}

std::string TMetadataScrub::RenameAway(const std::string& path) {
  // The neighbours as they are before the first rename, which could land among them.
  const std::string folder(FolderOf(path));
  const std::string own = path.substr(folder.size());
  const auto neighbours = FFolders.Neighbours(folder, own);
  const auto gap = neighbours ? FindNameGap(own, neighbours->before, neighbours->after) : std::nullopt;

  // Each rename writes the new name where the file system kept the old one; a
  // rename that fails leaves the name it has, and it is deleted under that name.
  // The system refuses a name that is taken, so no rename can replace another file.
  std::string current = path;
  for (int i = 0; i < kRenames; ++i) {
    std::string next = i == 1 ? LongName(folder, own, gap, neighbours ? neighbours->after : std::nullopt)
                              : ShortName(folder, neighbours.has_value());
    if (!Rename(folder, current, std::move(next))) break;
  }
  return current;
}

bool TMetadataScrub::Gone(const std::string& path, const std::string& current) {
  const std::string folder(FolderOf(path));
  if (FFileSystem.NameExists(current)) {
    if (std::string back = current; back != path) Rename(folder, back, path);
    return false;
  }
  FFolders.Removed(folder, current.substr(folder.size()));
  FRemoved[folder].push_back(path.substr(folder.size()));
  return current == path || !FFileSystem.NameExists(path);
}

bool TMetadataScrub::ScrubAndDelete(const std::string& path, const std::optional<TFileIdentity>& identity) {
  if (!ForgetLengthAndTimes(path, identity)) return false;
  // The contents are gone already: a file whose renames failed goes under its name.
  const std::string current = RenameAway(path);
  FFileSystem.Delete(current);
  return Gone(path, current);
}

void TMetadataScrub::CoverGapsIn(const std::string& folder) {
  const std::string inside = folder + "\\";
  if (const auto names = FRemoved.find(inside); names != FRemoved.end()) {
    auto deleted = std::move(names->second);
    FRemoved.erase(names);
    CoverGaps(inside, std::move(deleted));
  }
  FFolders.Forget(inside);
}

bool TMetadataScrub::ScrubAndRemoveFolder(const std::string& folder, const TFolderIdentity& identity) {
  // A read-only folder cannot be removed on some systems.
  if (const auto attributes = FFileSystem.GetAttributes(folder);
      attributes != IFileSystem::kInvalidAttributes && (attributes & IFileSystem::kReadOnly) != 0)
    FFileSystem.SetAttributes(folder, (attributes & 0xFFFFu) & ~IFileSystem::kReadOnly);
  std::string current = RenameAway(folder);
  // Whatever stands under the last name now (a link put in its place) is not removed.
  auto again = FFileSystem.HoldFolder(current);
  const bool same = again && again->Identity == identity;
  if (again) again->Hold.reset();
  if (same) FFileSystem.RemoveFolder(current);
  return Gone(folder, current);
}
