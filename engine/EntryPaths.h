#pragma once
// How much the engine overwrites and how it counts it: the block size, 95% of a
// drive's free space, the drive an entry names, and the progress bar's scale.

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::int32_t kBlockSize = 16384;

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

// The root of the drive an entry names: its first character upper-cased (a to z
// only), a colon and a backslash. A network path gives a root that does not exist.
std::string DriveRoot(std::string_view entry);

// The progress bar has a 32-bit range. Sizes above this are shown divided by one
// common factor, so the bar still runs from empty to full.
inline constexpr std::int64_t kLargestUnscaledSize = 2147467264;  // 2^31 - 16,384

constexpr std::int64_t ProgressDivisor(std::int64_t shredSize) {
  if (shredSize <= kLargestUnscaledSize) return 1;
  return shredSize / kLargestUnscaledSize + (shredSize % kLargestUnscaledSize != 0 ? 1 : 0);
}
