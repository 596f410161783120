#include "engine/freespace/FreeSpaceWipe.h"

#include <optional>

#include "base/MessageFormat.h"
#include "engine/EntryPaths.h"
#include "engine/Overwrite.h"
#include "engine/freespace/FreeSpaceFill.h"
#include "engine/freespace/LeftoverRecords.h"
#include "engine/freespace/RecordFill.h"
#include "engine/freespace/RecordTree.h"
#include "engine/freespace/WipeTexts.h"

namespace {

// How the record fill ended; Failed as well when anything it made is left.
TRecordFill::TEnd FillRecords(IFileSystem& fileSystem, IShredDisplay& display, const TRunStop& stop,
                              const std::string& path, std::int64_t size) {
  TRecordFill::TEnd end = TRecordFill::TEnd::Failed;
  {
    // The bar goes back to 0 after the record fill is gone, whatever way it ends.
    const TProgressReset reset(display);
    TRecordFill records(fileSystem, display, stop, path);
    end = records.Run();
    // Whatever stays behind makes the wipe incomplete, a stopped one too.
    if (!records.RemoveAll()) end = TRecordFill::TEnd::Failed;
  }
  // As after any file, the status line keeps the fill's own text.
  display.SetStatusText(StatusText(path, size));
  return end;
}

}  // namespace

std::int64_t TFreeSpaceWipe::FillSize(const std::string& path) {
  return NinetyFivePercent(FFileSystem.FreeSpace(std::string(FolderOf(path))));
}

std::int64_t TFreeSpaceWipe::Wipe(const std::string& path, std::int64_t size) {
  // One wipe of a volume at a time, across windows: another's fill and record folder
  // are its own, no leftovers, and two fills would only halve each other.
  const auto hold = FFileSystem.HoldVolume(std::string(FolderOf(path)));
  FWhy = {};
  if (!hold) {
    FDisplay.SetStatusText(FormatMessage1(kVolumeBusy, path));
    return Left(kVolumeBusyReason);
  }
  // What a killed run left beside this fill goes first: its records become free, for
  // this fill to wipe. If anything else has the name, the record fill cannot begin.
  RemoveLeftoverRecords(FFileSystem, TRecordTree::TopBeside(path), FStop);
  if (FStop.Requested()) {
    FDisplay.SetStatusText(FormatMessage1(kStoppedBeforeFill, path));
    return Left(kStoppedBeforeFillReason);
  }
  const auto fill = TFreeSpaceFill::Create(FFileSystem, FNames, path);
  if (!fill) return Left(kFillNotMadeReason);
  TOverwrite outcome = TOverwrite::Failed;
  {
    const TProgressReset reset(FDisplay);
    outcome = OverwriteWithZeros(*fill, size, BlockSizeFor(size), FDisplay, FStop);
    // A stopped fill is removed unflushed: what it wrote is going anyway.
    if (outcome == TOverwrite::Complete && !fill->Flush()) outcome = TOverwrite::Failed;
  }
  // While the fill still holds its space, so the drive has only records left free.
  std::optional<TRecordFill::TEnd> records;
  if (outcome == TOverwrite::Complete) records = FillRecords(FFileSystem, FDisplay, FStop, path, size);
  // The fill's files are ours: none may stay behind and keep the drive full.
  const bool gone = fill->Close();
  if (!gone) return Left(kFillLeftReason);
  if (outcome == TOverwrite::Stopped) {
    FDisplay.SetStatusText(FormatMessage1(kStoppedInFill, path));
    return Left(kStoppedInFillReason);
  }
  if (outcome == TOverwrite::Failed) return Left(kFillWriteReason);
  if (records == TRecordFill::TEnd::Stopped) {
    FDisplay.SetStatusText(FormatMessage1(kStoppedInRecords, path));
    return Left(kStoppedInRecordsReason);
  }
  if (records != TRecordFill::TEnd::DriveFilled) return Left(kRecordsFailedReason);
  return size;
}
