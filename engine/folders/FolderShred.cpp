#include "engine/folders/FolderShred.h"

#include <utility>

#include "engine/ErrorTexts.h"
#include "engine/folders/FolderTexts.h"
#include "engine/scrub/MetadataScrub.h"

namespace {

constexpr std::size_t kLeftNamed = 3;

// A row's reason ends at the first ") ... ": a name in it must not hold one.
std::string SafeInReason(std::string text) {
  for (auto at = text.find(") ... "); at != std::string::npos; at = text.find(") ... ", at)) text.replace(at, 6, ")... ");
  return text;
}

std::string_view HoldFailure(TFileError error) {
  switch (error) {
    case TFileError::kInUse:
      return kInUseReason;
    case TFileError::kAccessDenied:
      return kAccessDeniedReason;
    default:
      return kNotPlainFolderReason;
  }
}

}  // namespace

std::string TFolderShred::Shred(const std::string& folder) {
  FLevels.clear();
  FStopped = false;
  FLeftCount = 0;
  FLeftFirst.clear();
  FShredded = 0;
  FTopWhy = {};
  // The folder itself could not be worked in: its own reason is the row's.
  if (!Enter(folder)) return std::string(FTopWhy.empty() ? kFolderGoneReason : FTopWhy);
  while (!FLevels.empty() && !FStopped) {
    TLevel& level = FLevels.back();
    if (level.Next < level.Entries.size())
      Step(level);
    else
      Finish();
  }
  // A stop leaves every folder on the way held until now, and then as it is.
  FLevels.clear();
  return Reason(folder);
}

bool TFolderShred::Enter(const std::string& path) {
  auto hold = FFileSystem.HoldFolder(path);
  if (!hold) {
    Leave(path, FFileSystem.NameExists(path) ? HoldFailure(FFileSystem.LastError()) : kVanishedReason);
    return false;
  }
  if (Kept(hold->Identity)) {
    Leave(path, kKeptFolderReason);
    return false;
  }
  auto entries = FFileSystem.ListFolder(path);
  if (!entries) {
    Leave(path, kNotListedReason);
    return false;
  }
  FLevels.push_back({path, std::move(*hold), std::move(*entries)});
  return true;
}

// Something stays: the folders that hold it stay too.
void TFolderShred::Leave(const std::string& path, std::string_view why) {
  if (why.empty()) return;  // gone meanwhile: nothing of it is left
  if (FLevels.empty()) FTopWhy = why;
  if (!FLevels.empty()) FLevels.back().Keep = true;
  if (FLeftCount++ < static_cast<std::int64_t>(kLeftNamed)) FLeftFirst.push_back(path + " (" + std::string(why) + ")");
}

void TFolderShred::Step(TLevel& level) {
  if (FStop.Requested()) {
    FStopped = true;
    return;
  }
  const TFolderEntry entry = level.Entries[level.Next++];
  const std::string path = level.Path + "\\" + entry.name;
  if (entry.link) {
    if (!FFileSystem.RemoveLink(path)) Leave(path, kLinkLeftReason);
    return;
  }
  if (entry.folder) {
    Enter(path);
    return;
  }
  const std::string_view why = FFiles.ShredFoundFile(path);
  if (why.empty()) ++FShredded;
  Leave(path, why);
  // Stopped in the middle of the file: the status line says what became of it.
  if (!why.empty() && FStop.Requested()) FStopped = true;
}

void TFolderShred::Finish() {
  TLevel level = std::move(FLevels.back());
  FLevels.pop_back();
  bool keep = level.Keep;
  if (!keep) {
    // Covered and looked at while it is still held: nothing can stand in its place.
    FScrub.CoverGapsIn(level.Path);
    const auto now = FFileSystem.ListFolder(level.Path);
    if (now && !now->empty()) {
      Leave(level.Path, kAppearedReason);
      keep = true;
    } else {
      // Let go, so that it can be renamed and removed; the scrub makes sure it is
      // still this folder before it removes it.
      const TFolderIdentity identity = level.Hold.Identity;
      level.Hold = {};
      if (!FScrub.ScrubAndRemoveFolder(level.Path, identity)) {
        Leave(level.Path, kFolderNotRemovedReason);
        keep = true;
      }
    }
  }
  if (keep && !FLevels.empty()) FLevels.back().Keep = true;
}

std::string TFolderShred::Reason(const std::string& folder) const {
  if (FLeftCount == 0 && !FStopped) return {};
  std::string text;
  if (FStopped)
    text = "stopped after " + std::to_string(FShredded) + " of its files: it stays with what is left in it";
  else
    text = std::to_string(FLeftCount) + (FLeftCount == 1 ? " item in it was" : " items in it were") +
           " left, so it stays";
  for (std::size_t i = 0; i < FLeftFirst.size(); ++i) {
    std::string name = FLeftFirst[i];
    // Named within the folder; the folder itself by its own name.
    if (name.starts_with(folder + "\\")) name.erase(0, folder.size() + 1);
    text += (i == 0 ? ": " : "; ") + SafeInReason(std::move(name));
  }
  if (FLeftCount > static_cast<std::int64_t>(FLeftFirst.size()))
    text += "; and " + std::to_string(FLeftCount - static_cast<std::int64_t>(FLeftFirst.size())) + " more";
  return text;
}
