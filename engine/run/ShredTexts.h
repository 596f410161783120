#pragma once
// The texts the run shows and writes of a user's file.

#include <string>
#include <string_view>

#include "engine/ErrorTexts.h"

inline constexpr std::string_view kShreddedMarker = "SHREDDED! ... ";
inline constexpr std::string_view kCannotOpenFile = "Cannot open file %s";

// What the status line says after the user stopped a run, of the entry at hand.
inline constexpr std::string_view kStoppedInOverwrite =
    "Stopped: %s is only partly overwritten with zeros, and was not deleted";
inline constexpr std::string_view kStoppedBefore = "Stopped before %s: it and the entries after it are untouched";

// Why the run leaves an entry alone, besides the entry rules' reasons.
inline constexpr std::string_view kLinkReason =
    "it is a link (a symbolic link, a junction or a mount point); neither it nor what it points to is touched";
inline constexpr std::string_view kGoneReason =
    "its file is gone since the run began (shredded under another of its names, or removed by another program)";

// Why a run left an entry, as its row says (ListRows.h), besides why a call failed
// (ErrorTexts.h). None holds ") ... ".
inline constexpr std::string_view kChangedReason = "it changed after it was sized: another length or another file";
inline constexpr std::string_view kWriteFailedReason = "a write to it failed; it is only partly overwritten";
inline constexpr std::string_view kFlushFailedReason = "its zeros could not be flushed to the drive";
inline constexpr std::string_view kNotDeletedReason = "overwritten with zeros, but it could not be deleted";
inline constexpr std::string_view kFolderReason = "it is a folder; only files are shredded";
inline constexpr std::string_view kLengthUnknownReason = "its length could not be read";
inline constexpr std::string_view kFreeSpaceUnknownReason = "the free space of its drive could not be read";
inline constexpr std::string_view kStoppedInReason = "stopped while it was overwritten: partly zeros, not deleted";
inline constexpr std::string_view kStoppedBeforeReason = "stopped before it was reached";
inline constexpr std::string_view kStreamsUnlistedReason =
    "its named streams could not be listed, so they could not be shredded with it";
inline constexpr std::string_view kStoppedInStreamReason =
    "stopped while its named streams were shredded; its own data is untouched";
inline constexpr std::string_view kCompressedReason =
    "it is compressed by the file system, so zeros written into it would not reach the clusters that hold its "
    "data; uncompress it (Properties, Advanced), shred it, then wipe its drive's free space";

// Why a file that was overwritten and lost this name is still there: its other names.
inline constexpr std::string_view kOtherNamesStart = "its data is overwritten with zeros and this name is gone, but ";
inline std::string OtherNamesReason(std::uint32_t others) {
  return std::string(kOtherNamesStart) + "the file had " + std::to_string(others) +
         (others == 1 ? " other name, which remains" : " other names, which remain") + " as an empty file";
}
// Whether a row's reason says its name is gone with its file: that name is no free
// space to fill when the row is tried again.
inline bool NamedAFile(std::string_view reason) { return reason.starts_with(kOtherNamesStart) || reason == kGoneReason; }

// An entry the run leaves alone, and why.
inline std::string RefusedText(std::string_view entry, std::string_view reason) {
  return "Not shredded: " + std::string(entry) + ": " + std::string(reason);
}
