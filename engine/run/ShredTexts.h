#pragma once
// The texts the engine shows and writes, and the readout's digits.

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::string_view kShreddedMarker = "SHREDDED! ... ";
inline constexpr std::string_view kCannotOpenFile = "Cannot open file %s";

// What the status line says after the user stopped a run, of the entry at hand.
inline constexpr std::string_view kStoppedInOverwrite =
    "Stopped: %s is only partly overwritten with zeros, and was not deleted";
inline constexpr std::string_view kStoppedInFill =
    "Stopped: the fill of %s is removed; the free space of its drive is only partly overwritten";
// A stop while the fill filled the drive's free records: the small files went too.
inline constexpr std::string_view kStoppedInRecords =
    "Stopped: the fill of %s and its small files are removed; the free records of its drive's file table are "
    "only partly overwritten";
inline constexpr std::string_view kStoppedBefore = "Stopped before %s: it and the entries after it are untouched";

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
