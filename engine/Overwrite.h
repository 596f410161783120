#pragma once
// Zeros written over a file block by block, as the run and the free-space wipe both
// write them, and what the display shows meanwhile: the readout's digits for each
// block and the bar across the file.

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/FileSystem.h"
#include "engine/RunStop.h"
#include "engine/ShredDisplay.h"

inline constexpr std::int32_t kBlockSize = 16384;

// The progress bar has a 32-bit range. Sizes above this are shown divided by one
// common factor, so the bar still runs from empty to full.
inline constexpr std::int64_t kLargestUnscaledSize = 2147467264;  // 2^31 - 16,384

constexpr std::int64_t ProgressDivisor(std::int64_t shredSize) {
  if (shredSize <= kLargestUnscaledSize) return 1;
  return shredSize / kLargestUnscaledSize + (shredSize % kLargestUnscaledSize != 0 ? 1 : 0);
}

// 122 digits, each followed by a blank.
inline constexpr std::string_view kDigitPattern =
    "0 1 0 1 1 0 1 0 0 1 1 1 0 1 1 0 1 0 1 1 0 1 0 0 1 1 0 0 1 0 1 0 1 1 0 0 0 1 1 0 0 1 1 1 0 1 "
    "1 0 1 0 1 1 0 1 0 0 1 1 1 0 1 0 0 1 1 1 0 1 1 0 1 0 1 1 0 1 0 0 1 1 0 0 1 0 1 0 1 1 0 1 0 0 "
    "1 1 1 0 1 1 0 1 0 1 1 0 1 0 0 1 1 0 0 1 0 1 0 1 1 0 0 0 1 1 ";
inline constexpr std::size_t kReadoutLength = 120;
static_assert(kDigitPattern.size() == 244);

// The readout window for a block: it starts at the odd 1-based position made from
// the block length modulo 100, so it always begins with a digit.
constexpr std::string_view ReadoutWindow(std::int64_t blockLength) {
  std::int64_t start = blockLength % 100;
  if (start % 2 == 0) ++start;
  return kDigitPattern.substr(static_cast<std::size_t>(start - 1), kReadoutLength);
}

// What the status line says of a file while it is overwritten.
std::string StatusText(std::string_view entry, std::int64_t shredSize);

// The block size for an overwrite of that many bytes: the whole of it up to one
// block.
constexpr std::int32_t BlockSizeFor(std::int64_t size) {
  return static_cast<std::int32_t>(size < kBlockSize ? size : kBlockSize);
}

enum class TOverwrite { Complete, Failed, Stopped };

// Writes size bytes of zeros from where the file stands, in blocks of blockSize,
// with the readout and the bar after each. A stop is looked at after each block but
// the last, so a stopped overwrite has always written some. Nothing is flushed.
TOverwrite OverwriteWithZeros(IWritableFile& file, std::int64_t size, std::int32_t blockSize, IShredDisplay& display,
                              const TRunStop& stop);

// Puts the bar back to 0 however the overwrite ends, exceptions included.
class TProgressReset {
 public:
  explicit TProgressReset(IShredDisplay& display) noexcept : FDisplay(display) {}
  TProgressReset(const TProgressReset&) = delete;
  TProgressReset& operator=(const TProgressReset&) = delete;
  ~TProgressReset() { FDisplay.SetProgressPosition(0); }

 private:
  IShredDisplay& FDisplay;
};
