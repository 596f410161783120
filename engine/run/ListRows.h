#pragma once
// What a row of the list says after a run: the entry's path alone, the path marked
// "SHREDDED! ... ", or the path left with its reason, "NOT SHREDDED (in use by
// another program) ... C:\a.txt". A row left with a reason is tried again by the next
// run, as its path; a marked row never is.

#include <string>
#include <string_view>

#include "engine/run/ShredTexts.h"

inline constexpr std::string_view kLeftMarker = "NOT SHREDDED (";
inline constexpr std::string_view kLeftMarkerEnd = ") ... ";

inline bool IsShreddedRow(std::string_view row) { return row.starts_with(kShreddedMarker); }
// A reason holds no ") ... ", so the first one ends it.
inline bool IsLeftRow(std::string_view row) {
  return row.starts_with(kLeftMarker) && row.find(kLeftMarkerEnd, kLeftMarker.size()) != std::string_view::npos;
}
inline std::string LeftRow(std::string_view reason, std::string_view entry) {
  return std::string(kLeftMarker) + std::string(reason) + std::string(kLeftMarkerEnd) + std::string(entry);
}
// The path a row names, without what an earlier run put before it.
inline std::string_view EntryOfRow(std::string_view row) {
  if (IsShreddedRow(row)) return row.substr(kShreddedMarker.size());
  if (!IsLeftRow(row)) return row;
  return row.substr(row.find(kLeftMarkerEnd, kLeftMarker.size()) + kLeftMarkerEnd.size());
}
// The reason of a row left by a run; empty for any other row.
inline std::string_view ReasonOfRow(std::string_view row) {
  if (!IsLeftRow(row)) return {};
  return row.substr(kLeftMarker.size(), row.find(kLeftMarkerEnd, kLeftMarker.size()) - kLeftMarker.size());
}
