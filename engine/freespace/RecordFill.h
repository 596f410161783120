#pragma once
// The second half of a free-space wipe. NTFS keeps a file of up to some 700 bytes
// inside its record of the MFT, not in a cluster, and a deleted file's record keeps
// its data until another file is given that record; a data fill takes only clusters,
// so it never reaches them. Once the data fill is complete and still holds its space,
// this makes small files, each of zeros of the longest length that still stays inside
// its record, until the MFT has no free record left, and then removes them all.
//
// It tells by the drive's free space, which a file that stays inside its record and
// the tree's small folders (RecordTree.h) do not take: it falls when the MFT grows or
// a file takes a cluster. On FAT32, exFAT, ext4 or xfs the first small file takes a
// cluster and the fill ends at once. A driver that hands out records next-fit
// (ntfs-3g) may grow the MFT before it comes round to the free records below, so
// where a removed probe's record does not come back, the fill goes on past a growth
// for as long as files still get records from below the old end. The length is
// found on the drive itself: one byte longer and the data leaves the record, and a
// driver that does not clear a reused record (Windows' may not) overwrites only as
// much as the file's own attributes and data take. The README's section on
// free-space fills has what was measured.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/FileSystem.h"
#include "engine/freespace/RecordTree.h"
#include "engine/RunStop.h"
#include "engine/ShredDisplay.h"

class TRecordFill {
 public:
  enum class TEnd {
    DriveFilled,  // no record was left free, or the drive keeps no data in records
    Stopped,      // the user stopped the run
    Failed,       // a creation or a write failed, or the drive could not be asked
  };

  // For a fill of fillPath, whose files all still hold their space.
  TRecordFill(IFileSystem& fileSystem, IShredDisplay& display, const TRunStop& stop, const std::string& fillPath);
  TRecordFill(const TRecordFill&) = delete;
  TRecordFill& operator=(const TRecordFill&) = delete;
  // Removes what RemoveAll() has not: nothing the fill made stays behind it.
  ~TRecordFill();

  TEnd Run();
  // Removes every file and folder the fill made. True when none of them remains.
  bool RemoveAll();

  // The data length it found, 0 before it has.
  std::uint32_t Length() const noexcept { return FLength; }

 private:
  // A file of the length search: kept, or removed again because it took a cluster,
  // unless the phase ended first.
  struct TProbe {
    bool kept = false;
    std::optional<TEnd> end;
  };
  struct TKept {
    std::uint64_t slot;
    std::uint32_t length;
  };

  bool Begin();
  std::int64_t FreeSpace() { return FTop->FreeSpace(); }
  // Why no further file may be made, if there is a reason.
  std::optional<TEnd> MustEnd();
  // After the free space fell: true when the fill has taken every record it can.
  bool MftFull(std::int64_t free);
  void Note(const TSmallFile& made);
  bool MakeFolders(std::uint64_t slot);
  bool MakeFile(std::uint64_t slot, std::uint32_t length, TSmallFile& made);
  std::optional<TEnd> FindLength();
  TProbe Probe(std::uint32_t length);
  bool LengthenProbes();
  TEnd FillRecords();
  // display: null on the way out of the destructor, which must not throw.
  bool Remove(IShredDisplay* display);

  IFileSystem& FFileSystem;
  IShredDisplay& FDisplay;
  const TRunStop& FStop;
  const std::string FFolder;  // the fill's: its volume is the one filled
  const TRecordTree FTree;
  const std::vector<std::byte> FZeros;
  std::unique_ptr<IHeldFolder> FTop;   // held while files are made: the volume is asked through it
  std::unique_ptr<IHeldFolder> FLeaf;  // the folder of the next file
  bool FTopMade = false;
  bool FRemoved = false;
  std::int64_t FBaseline = -1;
  std::int64_t FCluster = -1;
  std::uint32_t FLength = 0;
  std::uint64_t FNext = 0;   // the slot of the next file
  std::uint64_t FTried = 0;  // slots that may have a file or folders on the drive
  std::uint64_t FFoldersMade = 0;  // slots whose folders are all there
  std::int64_t FLastRecord = -1;    // the record of the file made last; -1: the system does not say
  std::int64_t FFreedRecord = -1;   // the record of the probe removed last
  std::optional<bool> FFreedComesBack;
  int FGrowths = 0;                 // times the free space fell and the fill went on
  std::int64_t FOldEnd = -1;        // the last record there was before the MFT first grew
  bool FOldSinceGrowth = false;     // a file got a record up to there since the last growth
  std::vector<TKept> FProbes;
};
