#pragma once
// The texts the free-space wipe shows.

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::string_view kVolumeBusy =
    "Not wiped: another Quorvane window is wiping the free space of the drive of %s; list it again once that is done";

// Why a wipe left its entry, as the entry's row says. None holds ") ... ".
inline constexpr std::string_view kVolumeBusyReason = "another Quorvane window is wiping the free space of this drive";
inline constexpr std::string_view kFillNotMadeReason = "the file to fill the free space with could not be made";
inline constexpr std::string_view kFillWriteReason = "a write to the fill failed before it reached 95% of the free space";
inline constexpr std::string_view kRecordsFailedReason =
    "the free space was overwritten, but the free records of its file table could not be wiped";
inline constexpr std::string_view kFillLeftReason = "the fill's files could not all be removed";
inline constexpr std::string_view kStoppedBeforeFillReason = "stopped before the free space was overwritten";
inline constexpr std::string_view kStoppedInFillReason = "stopped: the free space is only partly overwritten";
inline constexpr std::string_view kStoppedInRecordsReason =
    "stopped: the free records of its file table are only partly overwritten";

// What the status line says after the user stopped a wipe.
inline constexpr std::string_view kStoppedBeforeFill =
    "Stopped: the free space of the drive of %s was not overwritten; nothing of the fill was made";
inline constexpr std::string_view kStoppedInFill =
    "Stopped: the fill of %s is removed; the free space of its drive is only partly overwritten";
// A stop while the fill filled the drive's free records: the small files went too.
inline constexpr std::string_view kStoppedInRecords =
    "Stopped: the fill of %s and its small files are removed; the free records of its drive's file table are "
    "only partly overwritten";

// While a fill of free space also fills the drive's free MFT records, and while it
// removes the small files it made for that.
inline constexpr std::string_view kRecordFillText = "wiping the free records of the file table on ";
std::string RecordFillText(std::string_view root, std::uint64_t done);
std::string RecordRemovalText(std::string_view root, std::uint64_t count);
