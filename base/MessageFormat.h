#pragma once
// "%s"-style texts: the program's messages have exactly one place holder, "%s" (or
// "%d" in a number's place). The value goes in once, at the template's first place
// holder; what the value holds is never looked at, so a path with "%d" or "%s" in it
// is shown as it is.

#include <cstddef>
#include <string>
#include <string_view>

inline std::string FormatMessage1(std::string_view pattern, std::string_view value) {
  for (std::size_t at = pattern.find('%'); at != std::string_view::npos; at = pattern.find('%', at + 1)) {
    if (at + 1 < pattern.size() && (pattern[at + 1] == 's' || pattern[at + 1] == 'd')) {
      std::string text(pattern.substr(0, at));
      text += value;
      text += pattern.substr(at + 2);
      return text;
    }
  }
  return std::string(pattern);
}
