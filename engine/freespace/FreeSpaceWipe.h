#pragma once
// The wipe of a drive's free space, started by a listed name that is no file: a fill
// of zeros up to 95% of the free space (FreeSpaceFill.h), then, while the fill still
// holds that space, small files in every free record of the drive's file table
// (RecordFill.h); then all of it goes. A killed wipe's leftovers go first
// (LeftoverRecords.h).

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/FileSystem.h"
#include "engine/NeutralNames.h"
#include "engine/RunStop.h"
#include "engine/ShredDisplay.h"

// 95% of a drive's free space, rounded to the nearest byte with an exact half going
// to the even neighbour; -1 (a drive that cannot be queried) stays -1.
constexpr std::int64_t NinetyFivePercent(std::int64_t freeSpace) {
  if (freeSpace < 0) return -1;
  // free * 19 / 20 without overflow: split off whole twenties first.
  const std::int64_t twenties = freeSpace / 20;
  const std::int64_t rest = freeSpace % 20;  // 0..19
  std::int64_t result = twenties * 19 + (rest * 19) / 20;
  const std::int64_t remainder = (rest * 19) % 20;  // in twentieths of a byte
  if (remainder > 10 || (remainder == 10 && result % 2 != 0)) ++result;
  return result;
}

class TFreeSpaceWipe {
 public:
  // A stop takes effect within one block of the fill or one small file.
  TFreeSpaceWipe(IFileSystem& fileSystem, IShredDisplay& display, const TRunStop& stop, TNeutralNames& names) noexcept
      : FFileSystem(fileSystem), FDisplay(display), FStop(stop), FNames(names) {}

  // How much a fill under this name writes: 95% of the free space of the volume that
  // holds its folder (which need not be its drive's), or -1.
  std::int64_t FillSize(const std::string& path);

  // Fills size bytes under path, a name the wipe makes anew, flushes them, fills the
  // free records, and removes everything it made. Returns size, or -1 when the fill
  // could not be made, a write or the flush failed, or the record fill failed, was
  // stopped or left anything. At a stop the status line says what became of it.
  std::int64_t Wipe(const std::string& path, std::int64_t size);
  // Why the last Wipe returned -1, for the entry's row.
  std::string_view Why() const noexcept { return FWhy; }

 private:
  std::int64_t Left(std::string_view why) noexcept {
    FWhy = why;
    return -1;
  }

  IFileSystem& FFileSystem;
  IShredDisplay& FDisplay;
  const TRunStop& FStop;
  TNeutralNames& FNames;
  std::string_view FWhy;
};
