#pragma once
// The texts the run shows and writes of a user's file.

#include <string_view>

inline constexpr std::string_view kShreddedMarker = "SHREDDED! ... ";
inline constexpr std::string_view kCannotOpenFile = "Cannot open file %s";

// What the status line says after the user stopped a run, of the entry at hand.
inline constexpr std::string_view kStoppedInOverwrite =
    "Stopped: %s is only partly overwritten with zeros, and was not deleted";
inline constexpr std::string_view kStoppedBefore = "Stopped before %s: it and the entries after it are untouched";
