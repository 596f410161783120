#pragma once
// The texts the engine shows and writes, and the readout's digits.

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::string_view kShreddedMarker = "SHREDDED! ... ";
inline constexpr std::string_view kCannotOpenFile = "Cannot open file %s";

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

std::string StatusText(std::string_view entry, std::int64_t shredSize);

// While a fill of free space also fills the drive's free MFT records, and while it
// removes the small files it made for that.
inline constexpr std::string_view kRecordFillText = "wiping the free records of the file table on ";
std::string RecordFillText(std::string_view root, std::uint64_t done);
std::string RecordRemovalText(std::string_view root, std::uint64_t count);
