#pragma once
// Names from the system's wide (UTF-16) side, brought to the program's 8-bit text.
// Only an exact conversion will do: a name the ANSI code page cannot hold must not
// become a neighbouring one ("Łódź.txt" as "Lódz.txt" on code page 1252), because
// everything after the list works on the 8-bit name and would reach that other file.

#include <cstddef>
#include <string>
#include <vector>

// Names taken from wide text: those that convert exactly (ExactNarrowOf, in
// base/WideText.h), in their order, and those that do not, as the system gave them.
struct TAnsiNames {
  std::vector<std::string> Listed;
  std::vector<std::wstring> LeftOut;
};
TAnsiNames AnsiNamesOf(const std::vector<std::wstring>& wide);

// The text of the one message that tells the user which names were not listed and
// why; shows at most the first kShownNames of them.
inline constexpr std::size_t kShownNames = 20;
std::wstring LeftOutNamesText(const std::vector<std::wstring>& leftOut, unsigned codePage);

// Tells the user in one message box, captioned with the application's title, which
// names were not listed. Does nothing when there are none.
void ReportLeftOutNames(const std::vector<std::wstring>& leftOut);
