#include "engine/freespace/RecordFill.h"

#include "engine/EntryPaths.h"
#include "engine/freespace/WipeTexts.h"

namespace {

// The bar runs across this many files and starts again: how many records are free
// cannot be known beforehand, but a moving bar shows the wipe is going on.
constexpr std::int32_t kFilesPerSweep = 1000;

// The MFT never shrinks: every growth past the first stays. ntfs-3g needed two; more
// means file numbers that are no MFT records (a drive that reports inode numbers).
constexpr int kMostGrowths = 4;

}  // namespace

TRecordFill::TRecordFill(IFileSystem& fileSystem, IShredDisplay& display, const TRunStop& stop,
                         const std::string& fillPath)
    : FFileSystem(fileSystem),
      FDisplay(display),
      FStop(stop),
      FFolder(FolderOf(fillPath)),
      FTree(TRecordTree::TopBeside(fillPath)),
      FZeros(TRecordTree::kLongestFile) {}

TRecordFill::~TRecordFill() {
  try {
    Remove(nullptr);
  } catch (...) {  // nothing may leave a destructor; a killed run leaves the same folder
  }
}

TRecordFill::TEnd TRecordFill::Run() {
  if (!Begin()) return TEnd::Failed;
  FDisplay.SetStatusText(RecordFillText(FFolder, 0));
  FDisplay.SetProgressMin(0);
  FDisplay.SetProgressMax(kFilesPerSweep);
  FDisplay.SetProgressPosition(0);
  if (const auto end = FindLength()) return *end;
  if (!LengthenProbes()) return TEnd::Failed;
  return FillRecords();
}

bool TRecordFill::Begin() {
  // A name that is taken (what a killed run left and the fill could not remove, or
  // anything of the user's) is never used: all under the top folder is the fill's own.
  FTop = FFileSystem.CreateHeldFolder(FTree.Top());
  FTopMade = FTop != nullptr;
  if (!FTopMade) return false;
  // The records filled must be those of the fill's volume: a tree that is not on it
  // (something put a link in between) would fill another volume's file table for good.
  const std::string volume = FFileSystem.VolumeOf(FFolder);
  if (volume.empty() || FFileSystem.VolumeOf(FTree.Top() + "\\") != volume) return false;
  // Measured with the top folder in place: making it may take a cluster (a large
  // folder's index beside it may need another block), and that is no record's doing.
  FBaseline = FreeSpace();
  FCluster = FFileSystem.ClusterSize(FFolder);
  return FBaseline >= 0;
}

std::optional<TRecordFill::TEnd> TRecordFill::MustEnd() {
  if (FStop.Requested()) return TEnd::Stopped;
  const std::int64_t free = FreeSpace();
  if (free < 0) return TEnd::Failed;
  if (free < FBaseline && MftFull(free)) return TEnd::DriveFilled;
  if (FNext >= TRecordTree::kCapacity) return TEnd::DriveFilled;
  return std::nullopt;
}

bool TRecordFill::MftFull(std::int64_t free) {
  if (FLastRecord < 0 || FFreedComesBack.value_or(false)) return true;
  if (FGrowths > 0 && !FOldSinceGrowth) return true;
  if (FGrowths == kMostGrowths) return true;
  // The file made last has the first record past the old end.
  if (FGrowths == 0) FOldEnd = FLastRecord - 1;
  ++FGrowths;
  FOldSinceGrowth = false;
  FBaseline = free;
  return false;
}

void TRecordFill::Note(const TSmallFile& made) {
  FLastRecord = made.record;
  if (FFreedRecord >= 0 && !FFreedComesBack) FFreedComesBack = made.record == FFreedRecord;
  if (FGrowths > 0 && made.record >= 0 && made.record <= FOldEnd) FOldSinceGrowth = true;
}

// A slot whose probe took a cluster is tried again: its folders are there already.
// Slots come in order, so a slot that begins no folder has its own in FLeaf.
bool TRecordFill::MakeFolders(std::uint64_t slot) {
  if (slot < FFoldersMade) return true;
  const int begun = TRecordTree::FoldersBegunBy(slot);
  for (int level = TRecordTree::kLevels - begun + 1; level < TRecordTree::kLevels; ++level)
    if (!FFileSystem.CreateFolder(FTree.FolderPath(slot, level))) return false;
  if (begun > 0) {
    FLeaf = FFileSystem.CreateHeldFolder(FTree.FolderPath(slot, TRecordTree::kLevels));
    if (!FLeaf) return false;
  }
  FFoldersMade = slot + 1;
  return true;
}

bool TRecordFill::MakeFile(std::uint64_t slot, std::uint32_t length, TSmallFile& made) {
  made = FLeaf->CreateSmallFile(TRecordTree::FileName(slot), FZeros.data(), length);
  if (made.made) Note(made);
  return made.made;
}

// Search over lengths for the longest that stays inside a record, on the first files
// of the fill. Each file that stays resident is kept as one more filled record; one
// that took a cluster is removed at once, so the free space is back where it was. Its
// record becomes free again and is taken by a later file before the MFT can grow.
std::optional<TRecordFill::TEnd> TRecordFill::FindLength() {
  // One byte first: a drive that gives even that a cluster keeps no data in records.
  const TProbe first = Probe(1);
  if (first.end) return first.end;
  if (!first.kept) return TEnd::DriveFilled;
  std::uint32_t resident = 1, tooLong = TRecordTree::kLongestFile;
  while (tooLong - resident > 1) {
    const std::uint32_t length = resident + (tooLong - resident) / 2;
    const TProbe probe = Probe(length);
    if (probe.end) return probe.end;
    (probe.kept ? resident : tooLong) = length;
  }
  FLength = resident;
  return std::nullopt;
}

// A file took a cluster when the free space fell while it was made and the system
// gives it at least a cluster. Either alone can mislead: ntfs-3g reports a resident
// file's size rounded up to 512 bytes, a whole cluster for one of 3,585 bytes or more
// in a 4 KiB record, and on Windows other programs change the free space at any time.
// Where the system cannot tell the allocation or the cluster size, the free space
// decides alone.
TRecordFill::TProbe TRecordFill::Probe(std::uint32_t length) {
  if (const auto end = MustEnd()) return {false, end};
  FTried = FNext + 1;
  if (!MakeFolders(FNext)) return {false, TEnd::Failed};
  const std::int64_t before = FreeSpace();
  TSmallFile made;
  if (!MakeFile(FNext, length, made)) return {false, TEnd::Failed};
  const std::int64_t after = FreeSpace();
  const bool wholeCluster = made.allocation < 0 || FCluster <= 0 || made.allocation >= FCluster;
  if (after < before && wholeCluster) {
    if (!FFileSystem.Delete(FTree.FilePath(FNext))) return {false, TEnd::Failed};
    FFreedRecord = made.record;
    return {false, std::nullopt};
  }
  FProbes.push_back({FNext, length});
  ++FNext;
  return {true, std::nullopt};
}

// Every kept file of the search gets the length found, so its record is overwritten
// as far as every later file's is. Its name is as long as theirs: it stays resident.
bool TRecordFill::LengthenProbes() {
  for (const TKept& probe : FProbes) {
    if (probe.length == FLength) continue;
    const auto file = FFileSystem.OpenExisting(FTree.FilePath(probe.slot), true);
    if (!file || !file->Write(FZeros.data(), FLength)) return false;
  }
  FProbes.clear();
  return true;
}

// Files are kept to the end: one removed early would free its record, and the next
// file could be handed that record again instead of another.
TRecordFill::TEnd TRecordFill::FillRecords() {
  for (;;) {
    if (const auto end = MustEnd()) return *end;
    FTried = FNext + 1;
    TSmallFile made;
    if (!MakeFolders(FNext) || !MakeFile(FNext, FLength, made)) return TEnd::Failed;
    ++FNext;
    if (FNext % kFilesPerSweep == 0) {
      FDisplay.SetStatusText(RecordFillText(FFolder, FNext));
        }
    FDisplay.SetProgressPosition(static_cast<std::int32_t>(FNext % kFilesPerSweep));
  }
}

bool TRecordFill::RemoveAll() { return Remove(&FDisplay); }

// Newest first, so that every folder is empty by the time its turn comes: a folder
// goes right after the first file it was made for.
bool TRecordFill::Remove(IShredDisplay* display) {
  // No folder can go while it is held open.
  FLeaf.reset();
  FTop.reset();
  if (FRemoved || !FTopMade) return true;
  if (display) {
    display->SetStatusText(RecordRemovalText(FFolder, FNext));
    display->SetProgressMin(0);
    display->SetProgressMax(static_cast<std::int32_t>(std::min<std::uint64_t>(FTried, INT32_MAX)));
  }
  for (std::uint64_t slot = FTried; slot-- > 0;) {
    FFileSystem.Delete(FTree.FilePath(slot));
    const int begun = TRecordTree::FoldersBegunBy(slot);
    for (int level = TRecordTree::kLevels; level > TRecordTree::kLevels - begun; --level)
      FFileSystem.RemoveFolder(FTree.FolderPath(slot, level));
    if (display) display->SetProgressPosition(static_cast<std::int32_t>(std::min<std::uint64_t>(FTried - slot, INT32_MAX)));
  }
  FFileSystem.RemoveFolder(FTree.Top());
  // A folder that is gone has nothing left in it: one check for the whole tree.
  FRemoved = !FFileSystem.NameExists(FTree.Top());
  return FRemoved;
}
