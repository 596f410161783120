#pragma once
// The texts the run shows and writes of a user's file.

#include <string>
#include <string_view>

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

// An entry the run leaves alone, and why.
inline std::string RefusedText(std::string_view entry, std::string_view reason) {
  return "Not shredded: " + std::string(entry) + ": " + std::string(reason);
}
