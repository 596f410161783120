#include "framework/AnsiNames.h"

#include "base/WideText.h"
#include "framework/Application.h"

#include <windows.h>

TAnsiNames AnsiNamesOf(const std::vector<std::wstring>& wide) {
  TAnsiNames names;
  for (const std::wstring& name : wide) {
    if (auto ansi = ExactNarrowOf(name))
      names.Listed.push_back(std::move(*ansi));
    else
      names.LeftOut.push_back(name);
  }
  return names;
}

std::wstring LeftOutNamesText(const std::vector<std::wstring>& leftOut, unsigned codePage) {
  const bool one = leftOut.size() == 1;
  std::wstring text = one ? L"This name was not listed" : L"These names were not listed";
  text += L": this system's code page (" + std::to_wstring(codePage) + L") has no exact form for " +
          (one ? L"it" : L"them") + L", and a name changed to fit could be that of another file.\n";
  for (std::size_t index = 0; index < leftOut.size() && index < kShownNames; ++index) text += L"\n" + leftOut[index];
  if (leftOut.size() > kShownNames) text += L"\n... and " + std::to_wstring(leftOut.size() - kShownNames) + L" more";
  return text;
}

void ReportLeftOutNames(const std::vector<std::wstring>& leftOut) {
  if (leftOut.empty()) return;
  const std::wstring text = LeftOutNamesText(leftOut, ::GetACP());
  const std::wstring caption = WideOf(Application.Title());
  ::MessageBoxW(::GetActiveWindow(), text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
}
