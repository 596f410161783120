#include "engine/ShredEngine.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "base/MessageFormat.h"
#include "engine/MarkedPaths.h"
#include "engine/FreeSpaceFill.h"
#include "engine/LeftoverRecords.h"
#include "engine/RecordFill.h"
#include "engine/ShredSizes.h"
#include "engine/ShredTexts.h"

namespace {

constexpr std::uint32_t kBlack = 0;

// Wildcards are patterns to the system's folder searches, which match other files
// with them; such a name is never a file of its own, so it never counts as one.
bool HasWildcards(const std::string& path) { return path.find_first_of("*?") != std::string::npos; }

// Puts the bar back to 0 however the overwrite ends, exceptions included.
class ProgressReset {
 public:
  explicit ProgressReset(IShredDisplay& display) noexcept : FDisplay(display) {}
  ProgressReset(const ProgressReset&) = delete;
  ProgressReset& operator=(const ProgressReset&) = delete;
  ~ProgressReset() { FDisplay.SetProgressPosition(0); }

 private:
  IShredDisplay& FDisplay;
};

}  // namespace

TShredSize TShredEngine::ShredSize(const std::string& entry) {
  if (entry.empty()) return {TShredSize::kFill, 0};
  if (!HasWildcards(entry) && FFileSystem.FileExists(entry)) {
    const auto file = FFileSystem.OpenExisting(entry, false);
    if (!file) throw EFOpenError(FormatMessage1(kCannotOpenFile, entry));
    return {TShredSize::kExistingFile, file->Length()};
  }
  return {TShredSize::kFill, NinetyFivePercent(FFileSystem.FreeSpace(DriveRoot(entry)))};
}

std::int64_t TShredEngine::ShredFile(const std::string& entry, const TShredSize& size) {
  FDisplay.SetStatusText(StatusText(entry, size.Bytes));
  FDisplay.RepaintStatus();

  // Writing back attributes that could not be read would set every other bit. A
  // fill's name may hold a folder, whose read-only bit goes as a file's does; a file
  // there has appeared since the entry was sized, and is not the run's to touch.
  if (const auto attributes = FFileSystem.GetAttributes(entry);
      attributes != IFileSystem::kInvalidAttributes &&
      (size.Kind == TShredSize::kExistingFile || (attributes & IFileSystem::kFolder) != 0)) {
    // Writing back the bits that are there changes nothing, and under Wine it costs
    // opening the file: a tenth of the time a small file takes.
    if (const auto cleared = (attributes & 0xFFFFu) & ~IFileSystem::kReadOnly; cleared != attributes)
      FFileSystem.SetAttributes(entry, cleared);
  }
  const auto blockSize = static_cast<std::int32_t>(std::min<std::int64_t>(size.Bytes, kBlockSize));

  FDisplay.SetProgressMin(0);
  FDisplay.SetProgressMax(static_cast<std::int32_t>(size.Bytes / ProgressDivisor(size.Bytes)));
  FDisplay.SetProgressPosition(0);

  if (size.Kind == TShredSize::kFill) return Fill(entry, size.Bytes, blockSize);
  // Never made anew; and a file of another length is not the one that was sized.
  const auto file = FFileSystem.OpenExisting(entry, true);
  if (!file || file->Length() != size.Bytes) return -1;
  const ProgressReset reset(FDisplay);
  switch (OverwriteBlocks(*file, size.Bytes, blockSize)) {
    case TOverwrite::Complete:
      return file->Flush() ? size.Bytes : -1;
    case TOverwrite::Stopped:
      // The file is kept as it is: zeros up to where the stop came, its own data after.
      FDisplay.SetStatusText(FormatMessage1(kStoppedInOverwrite, entry));
      return -1;
    case TOverwrite::Failed:
      break;
  }
  return -1;
}

std::int64_t TShredEngine::Fill(const std::string& entry, std::int64_t shredSize, std::int32_t blockSize) {
  // What a killed run left beside this fill goes first: its records become free, for
  // this fill to wipe. If anything else has the name, the record fill cannot begin.
  RemoveLeftoverRecords(FFileSystem, TRecordTree::TopBeside(entry));
  const auto fill = TFreeSpaceFill::Create(FFileSystem, FNames, entry);
  if (!fill) return -1;
  TOverwrite outcome = TOverwrite::Failed;
  {
    const ProgressReset reset(FDisplay);
    outcome = OverwriteBlocks(*fill, shredSize, blockSize);
    // A stopped fill is removed unflushed: what it wrote is going anyway.
    if (outcome == TOverwrite::Complete && !fill->Flush()) outcome = TOverwrite::Failed;
  }
  // While the fill still holds its space, so the drive has only records left free.
  std::optional<TRecordFill::TEnd> records;
  if (outcome == TOverwrite::Complete) records = FillRecords(entry, shredSize);
  // The fill's files are ours: none may stay behind and keep the drive full.
  const bool gone = fill->Close();
  if (gone && records == TRecordFill::TEnd::Stopped)
    FDisplay.SetStatusText(FormatMessage1(kStoppedInRecords, entry));
  else if (gone && outcome == TOverwrite::Stopped)
    FDisplay.SetStatusText(FormatMessage1(kStoppedInFill, entry));
  return records == TRecordFill::TEnd::DriveFilled && gone ? shredSize : -1;
}

TRecordFill::TEnd TShredEngine::FillRecords(const std::string& entry, std::int64_t shredSize) {
  TRecordFill::TEnd end = TRecordFill::TEnd::Failed;
  {
    // The bar goes back to 0 after the record fill is gone, whatever way it ends.
    const ProgressReset reset(FDisplay);
    TRecordFill records(FFileSystem, FDisplay, FStop, entry);
    end = records.Run();
    // Whatever stays behind makes the wipe incomplete, a stopped one too.
    if (!records.RemoveAll()) end = TRecordFill::TEnd::Failed;
  }
  // As after any file, the status line keeps the fill's own text.
  FDisplay.SetStatusText(StatusText(entry, shredSize));
  FDisplay.RepaintStatus();
  return end;
}

TShredEngine::TOverwrite TShredEngine::OverwriteBlocks(IShredFile& file, std::int64_t shredSize,
                                                       std::int32_t blockSize) {
  const std::vector<std::byte> zeros(static_cast<std::size_t>(blockSize));
  const std::int64_t divisor = ProgressDivisor(shredSize);
  std::int64_t written = 0;
  while (written < shredSize) {
    const std::int64_t length = written + blockSize < shredSize ? blockSize : shredSize - written;
    FDisplay.SetReadoutText(ReadoutWindow(length));
    FDisplay.RepaintReadout();
    if (!file.Write(zeros.data(), static_cast<std::uint32_t>(length))) return TOverwrite::Failed;
    written += length;
    FDisplay.SetProgressPosition(static_cast<std::int32_t>(written / divisor));
    // Looked at after the block, so a stopped overwrite has always written some.
    if (written < shredSize && FStop.Requested()) return TOverwrite::Stopped;
  }
  return TOverwrite::Complete;
}

TRunEnd TShredEngine::Run(IFileList& list) {
  FDisplay.SetStatusFontColor(kBlack);
  list.SetFontColor(kBlack);
  FScrub.StartRun();
  const TRunEnd end = RunEntries(list);
  FScrub.EndRun();
  return end;
}

TRunEnd TShredEngine::RunEntries(IFileList& list) {
  const int count = list.Count();
  TMarkedPaths marked(FFileSystem);
  for (int index = 0; index < count; ++index) {
    const std::string entry = list.Text(index);
    if (FStop.Requested()) {
      FDisplay.SetStatusText(FormatMessage1(kStoppedBefore, entry));
      return TRunEnd::Stopped;
    }
    // A file listed twice is gone by its second entry; sized again, its missing name
    // would start a fill of the drive's free space that nobody asked for.
    if (marked.Contains(entry)) {
      list.Replace(index, std::string(kShreddedMarker) + entry);
      list.Repaint();
      continue;
    }
    const TShredSize size = ShredSize(entry);
    if (size.Bytes < 0) continue;
    if (ShredFile(entry, size) < 0) {
      // Stopped in the middle of the file: the status line says what became of it.
      if (FStop.Requested()) return TRunEnd::Stopped;
      continue;
    }
    // A complete fill has removed its files itself. A file overwritten in full is
    // finished, stop or no stop: the scrub is short, and a stop inside it would
    // leave the file under a neutral name. DeleteFileA can report success while
    // the name stays (a pending delete, an immutable file): only a file that is
    // really gone counts as shredded.
    if (size.Kind == TShredSize::kExistingFile && !FScrub.ScrubAndDelete(entry)) continue;
    list.Replace(index, std::string(kShreddedMarker) + entry);
    list.Repaint();
    marked.Add(entry);
  }
  return TRunEnd::Complete;
}
