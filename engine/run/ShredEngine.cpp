#include "engine/run/ShredEngine.h"

#include "base/MessageFormat.h"
#include "engine/EntryPaths.h"
#include "engine/EntryRules.h"
#include "engine/Overwrite.h"
#include "engine/freespace/FreeSpaceWipe.h"
#include "engine/run/ListRows.h"
#include "engine/run/MarkedPaths.h"
#include "engine/run/NamedStreams.h"
#include <algorithm>
#include "engine/folders/FolderTexts.h"
#include "engine/run/ShredTexts.h"
#include "engine/scrub/MetadataScrub.h"

namespace {

constexpr std::uint32_t kBlack = 0;

}  // namespace

TShredEngine::TShredEngine(IFileSystem& fileSystem, IShredDisplay& display, const TRunStop& stop)
    : FFileSystem(fileSystem),
      FDisplay(display),
      FStop(stop),
      FScrub(std::make_unique<TMetadataScrub>(fileSystem, FNames)),
      FWipe(std::make_unique<TFreeSpaceWipe>(fileSystem, display, stop, FNames)),
      FFolders(std::make_unique<TFolderShred>(fileSystem, *FScrub, static_cast<IFolderFiles&>(*this), stop)) {}

TShredEngine::TShredEngine(IFileSystem& fileSystem, IShredDisplay& display, std::uint64_t nameSeed,
                           const TRunStop& stop)
    : FFileSystem(fileSystem),
      FDisplay(display),
      FStop(stop),
      FNames(nameSeed),
      FScrub(std::make_unique<TMetadataScrub>(fileSystem, FNames)),
      FWipe(std::make_unique<TFreeSpaceWipe>(fileSystem, display, stop, FNames)),
      FFolders(std::make_unique<TFolderShred>(fileSystem, *FScrub, static_cast<IFolderFiles&>(*this), stop)) {}

TShredEngine::~TShredEngine() = default;

TShredSize TShredEngine::ShredSize(const std::string& entry) {
  // Only a full path of a file is asked of the system at all.
  if (const TEntryRefusal refusal = CheckEntry(entry); refusal != TEntryRefusal::kAccepted)
    return {TShredSize::kFill, -1, std::nullopt, RefusalText(refusal)};
  const std::uint32_t attributes = FFileSystem.GetAttributes(entry);
  // A link is neither followed nor taken for a missing name.
  if (attributes != IFileSystem::kInvalidAttributes && (attributes & IFileSystem::kReparsePoint) != 0)
    return {TShredSize::kFill, -1, std::nullopt, kLinkReason};
  if (attributes != IFileSystem::kInvalidAttributes && (attributes & IFileSystem::kFolder) == 0) {
    if ((attributes & IFileSystem::kCompressed) != 0) return {TShredSize::kExistingFile, -1, std::nullopt, kCompressedReason};
    const auto file = FFileSystem.OpenExisting(entry, false);
    if (!file) throw EFOpenError(FormatMessage1(kCannotOpenFile, entry));
    return {TShredSize::kExistingFile, file->Length(), file->Identity()};
  }
  return {TShredSize::kFill, FWipe->FillSize(entry)};
}

// Writing back attributes that could not be read would set every other bit. A
// fill's name may hold a folder, whose read-only bit goes as a file's does; a file
// there has appeared since the entry was sized, and is not the run's to touch.
void TShredEngine::ClearReadOnly(const std::string& entry, const TShredSize& size) {
  const auto attributes = FFileSystem.GetAttributes(entry);
  if (attributes == IFileSystem::kInvalidAttributes) return;
  if (size.Kind != TShredSize::kExistingFile && (attributes & IFileSystem::kFolder) == 0) return;
  // Writing back the bits that are there changes nothing, and costs an open of the
  // file under Wine.
  if (const auto cleared = (attributes & 0xFFFFu) & ~IFileSystem::kReadOnly; cleared != attributes)
    FFileSystem.SetAttributes(entry, cleared);
}

std::string TShredEngine::Standing() {
  if (FFilesFound == 0) return {};
  return " (file " + GroupedDigits(FFilesDone) + " of " + GroupedDigits(std::max(FFilesFound, FFilesDone)) + ")";
}

std::int64_t TShredEngine::ShredFile(const std::string& entry, const TShredSize& size) {
  if (size.Kind == TShredSize::kExistingFile) ++FFilesDone;
  FDisplay.SetStatusText(StatusText(entry, size.Bytes) + Standing());
  ClearReadOnly(entry, size);
  FDisplay.SetProgressMin(0);
  FDisplay.SetProgressMax(static_cast<std::int32_t>(size.Bytes / ProgressDivisor(size.Bytes)));
  FDisplay.SetProgressPosition(0);

  FWhy.clear();
  FOtherNames = 0;
  if (size.Kind == TShredSize::kFill) {
    const std::int64_t written = FWipe->Wipe(entry, size.Bytes);
    if (written >= 0) return written;
    // A folder listed as such has the fill's name: no fill can be made under it.
    const std::uint32_t attributes = FFileSystem.GetAttributes(entry);
    const bool folder = attributes != IFileSystem::kInvalidAttributes && (attributes & IFileSystem::kFolder) != 0;
    return Left(folder ? kFolderReason : FWipe->Why());
  }
  // The streams go first, while the file itself is not open: under Wine a stream and
  // its file are one file to the sharing rules.
  if (const std::string why = ShredNamedStreams(FFileSystem, entry, size.Identity, FStop); !why.empty())
    return Left(why);
  // Never made anew; and a file of another length, or another file under the name,
  // is not the one that was sized.
  const auto file = FFileSystem.OpenExisting(entry, true);
  if (!file) {
    const TFileError error = FFileSystem.LastError();
    // Some systems refuse a read-only drive's files as access denied.
    if (error == TFileError::kAccessDenied && FFileSystem.ReadOnlyVolume(entry)) return Left(kReadOnlyDriveReason);
    return Left(ReasonOf(error));
  }
  if (file->Length() != size.Bytes || (size.Identity && file->Identity() != size.Identity))
    return Left(kChangedReason);
  FOtherNames = std::max<std::uint32_t>(file->Names(), 1) - 1;
  const TProgressReset reset(FDisplay);
  switch (OverwriteWithZeros(*file, size.Bytes, BlockSizeFor(size.Bytes), FDisplay, FStop)) {
    case TOverwrite::Complete:
      if (file->Flush()) return size.Bytes;
      return Left(FFileSystem.LastError() == TFileError::kDriveFull ? kDriveFullReason : kFlushFailedReason);
    case TOverwrite::Stopped:
      // The file is kept as it is: zeros up to where the stop came, its own data after.
      FDisplay.SetStatusText(FormatMessage1(kStoppedInOverwrite, entry));
      return Left(kStoppedInReason);
    case TOverwrite::Failed:
      break;
  }
  return Left(FFileSystem.LastError() == TFileError::kDriveFull ? kDriveFullReason : kWriteFailedReason);
}

std::string_view TShredEngine::OtherNamesLeft() {
  if (FOtherNames == 0) return {};
  FWhy = OtherNamesReason(FOtherNames);
  return FWhy;
}

std::vector<bool> TShredEngine::FilesAtStart(const IFileList& list) {
  std::vector<bool> files(static_cast<std::size_t>(list.Count()));
  for (int index = 0; index < list.Count(); ++index) {
    const std::string row = list.Text(index);
    const std::string entry(EntryOfRow(row));
    files[static_cast<std::size_t>(index)] =
        !IsShreddedRow(row) && CheckEntry(entry) == TEntryRefusal::kAccepted && FFileSystem.FileExists(entry);
  }
  return files;
}

TRunEnd TShredEngine::Run(IFileList& list, IFolderQuestion* question) {
  FDisplay.SetStatusFontColor(kBlack);
  list.SetFontColor(kBlack);
  FScrub->StartRun();
  // The folders that lost files get their covers however the run ends, an error that
  // ends it included.
  struct TEndRun {
    TMetadataScrub& Scrub;
    ~TEndRun() {
      try {
        Scrub.EndRun();
      } catch (...) {  // the error that ends the run is the one to show
      }
    }
  } endRun{*FScrub};
  return RunEntries(list, question);
}

bool TShredEngine::IsFolder(const std::string& entry) {
  const std::uint32_t attributes = FFileSystem.GetAttributes(entry);
  return attributes != IFileSystem::kInvalidAttributes && (attributes & IFileSystem::kFolder) != 0 &&
         (attributes & IFileSystem::kReparsePoint) == 0;
}

std::string_view TShredEngine::FolderRefusal(const std::string& entry) {
  if (FKeptUnknown) return kKeptUnknownReason;
  const auto hold = FFileSystem.HoldFolder(entry);
  if (!hold) return kNotPlainFolderReason;
  if (FFolders->Kept(hold->Identity)) return kKeptFolderReason;
  return {};
}

bool TShredEngine::CountFolders(const IFileList& list, const std::vector<bool>& files, std::vector<bool>& counted,
                                std::vector<TFolderTally>& tallies) {
  counted.assign(static_cast<std::size_t>(list.Count()), false);
  FFilesFound = FFilesDone = 0;
  bool folders = false;
  std::int64_t listedFiles = 0;
  for (int index = 0; index < list.Count(); ++index) {
    const std::string row = list.Text(index);
    const std::string entry(EntryOfRow(row));
    // A file is asked nothing more; only the other names can be folders.
    if (files[static_cast<std::size_t>(index)]) {
      ++listedFiles;
      continue;
    }
    if (IsShreddedRow(row) || CheckEntry(entry) != TEntryRefusal::kAccepted || !IsFolder(entry)) continue;
    // Asked once, and only where a run holds a folder.
    if (!folders) {
      auto kept = FFileSystem.KeptFolders();
      FKeptUnknown = !kept;
      FFolders->Keep(kept.value_or(std::set<TFolderIdentity>{}));
    }
    folders = true;
    if (!FolderRefusal(entry).empty()) continue;
    TFolderTally tally{entry};
    if (!TallyFolder(FFileSystem, FDisplay, FStop, tally)) return false;
    counted[static_cast<std::size_t>(index)] = true;
    FFilesFound += tally.Files;
    tallies.push_back(std::move(tally));
  }
  if (folders) FFilesFound += listedFiles;
  return true;
}

std::string_view TShredEngine::ShredFoundFile(const std::string& path) {
  const std::uint32_t attributes = FFileSystem.GetAttributes(path);
  if (attributes == IFileSystem::kInvalidAttributes)
    return FFileSystem.NameExists(path) ? kNotOpenedReason : kVanishedReason;
  if ((attributes & IFileSystem::kReparsePoint) != 0)
    return FFileSystem.RemoveLink(path) ? std::string_view{} : kLinkLeftReason;
  if ((attributes & IFileSystem::kFolder) != 0) return kChangedReason;
  if ((attributes & IFileSystem::kCompressed) != 0) return kCompressedReason;
  TShredSize size{TShredSize::kExistingFile, -1};
  {
    const auto file = FFileSystem.OpenExisting(path, false);
    if (!file) return ReasonOf(FFileSystem.LastError());
    size.Bytes = file->Length();
    size.Identity = file->Identity();
  }
  if (size.Bytes < 0) return kLengthUnknownReason;
  if (ShredFile(path, size) < 0) return FWhy;
  if (!FScrub->ScrubAndDelete(path, size.Identity)) return kNotDeletedReason;
  return OtherNamesLeft();
}

TRunEnd TShredEngine::RunEntries(IFileList& list, IFolderQuestion* question) {
  const int count = list.Count();
  const std::vector<bool> atStart = FilesAtStart(list);
  // Folders are counted and asked about before anything is touched.
  std::vector<bool> counted;
  std::vector<TFolderTally> tallies;
  if (!CountFolders(list, atStart, counted, tallies)) {
    FDisplay.SetStatusText(kStoppedCounting);
    return TRunEnd::Stopped;
  }
  if (!tallies.empty() && question != nullptr && !question->ShredFoldersWhole(tallies)) {
    FDisplay.SetStatusText(kFoldersDeclined);
    return TRunEnd::Declined;
  }
  TMarkedPaths marked(FFileSystem);
  for (int index = 0; index < count; ++index) {
    const std::string row = list.Text(index);
    // Shredded in an earlier run: nothing is left to do.
    if (IsShreddedRow(row)) continue;
    // A row an earlier run left is tried again as its path.
    const std::string entry(EntryOfRow(row));
    if (FStop.Requested()) {
      FDisplay.SetStatusText(FormatMessage1(kStoppedBefore, entry));
      LeaveRest(list, index);
      return TRunEnd::Stopped;
    }
    // A file listed twice is gone by its second entry; sized again, its missing name
    // would start a fill of the drive's free space that nobody asked for.
    const bool named = atStart[static_cast<std::size_t>(index)] || counted[static_cast<std::size_t>(index)];
    if (marked.Contains(entry) || (named && marked.ContainsFolderOf(entry) && !FFileSystem.NameExists(entry))) {
      list.Replace(index, std::string(kShreddedMarker) + entry);
      continue;
    }
    const bool wasCounted = counted[static_cast<std::size_t>(index)];
    if (wasCounted || (!atStart[static_cast<std::size_t>(index)] && CheckEntry(entry) == TEntryRefusal::kAccepted &&
                       IsFolder(entry))) {
      std::string why;
      if (!wasCounted) {
        // Refused when counted, or a folder only since: never shredded unasked.
        const std::string_view refusal = FolderRefusal(entry);
        why = refusal.empty() ? kNotAskedReason : refusal;
        FDisplay.SetStatusText(RefusedText(entry, why));
      } else {
        why = IsFolder(entry) ? FFolders->Shred(entry) : std::string(kNoLongerFolderReason);
      }
      if (why.empty()) {
        list.Replace(index, std::string(kShreddedMarker) + entry);
        marked.Add(entry);
        continue;
      }
      list.Replace(index, LeftRow(why, entry));
      if (FStop.Requested()) {
        LeaveRest(list, index + 1);
        return TRunEnd::Stopped;
      }
      continue;
    }
    TShredSize size = ShredSize(entry);
    // A name whose file went earlier in the run, under another of its names, is no
    // free space to fill.
    // Nor is the name of a file that an earlier run left gone: the user listed a file.
    if (size.Kind == TShredSize::kFill && size.Bytes >= 0 &&
        (atStart[static_cast<std::size_t>(index)] || NamedAFile(ReasonOfRow(row))))
      size = {size.Kind, -1, {}, kGoneReason};
    if (size.Bytes < 0) {
      // A refusal is told at once; a size that could not be read only in the row,
      // as the status line keeps the last file's text.
      if (!size.Reason.empty()) FDisplay.SetStatusText(RefusedText(entry, size.Reason));
      list.Replace(index, LeftRow(!size.Reason.empty()                     ? size.Reason
                                  : size.Kind == TShredSize::kExistingFile ? kLengthUnknownReason
                                                                           : kFreeSpaceUnknownReason,
                                  entry));
      continue;
    }
    if (ShredFile(entry, size) < 0) {
      list.Replace(index, LeftRow(FWhy, entry));
      // Stopped in the middle of the file: the status line says what became of it.
      if (FStop.Requested()) {
        LeaveRest(list, index + 1);
        return TRunEnd::Stopped;
      }
      continue;
    }
    // A complete fill has removed its files itself. A file overwritten in full is
    // finished, stop or no stop: the scrub is short, and a stop inside it would
    // leave the file under a neutral name. DeleteFileA can report success while
    // the name stays (a pending delete, an immutable file): only a file that is
    // really gone counts as shredded.
    if (size.Kind == TShredSize::kExistingFile && !FScrub->ScrubAndDelete(entry, size.Identity)) {
      list.Replace(index, LeftRow(kNotDeletedReason, entry));
      continue;
    }
    // Its other names keep the file, emptied: not shredded, and told why.
    if (size.Kind == TShredSize::kExistingFile && FOtherNames > 0) {
      list.Replace(index, LeftRow(OtherNamesLeft(), entry));
      continue;
    }
    list.Replace(index, std::string(kShreddedMarker) + entry);
    marked.Add(entry);
  }
  return TRunEnd::Complete;
}

// After a stop, every row from here on that the run has not shredded says so.
void TShredEngine::LeaveRest(IFileList& list, int from) {
  for (int index = from; index < list.Count(); ++index) {
    const std::string row = list.Text(index);
    if (!IsShreddedRow(row)) list.Replace(index, LeftRow(kStoppedBeforeReason, EntryOfRow(row)));
  }
}
