#include "framework/AnsiNames.h"

#include "framework/Application.h"

#include <windows.h>

std::wstring WideOfAnsi(std::string_view text) {
  if (text.empty()) return {};
  const int size = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  if (size > 0) ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return wide;
}

std::optional<std::string> AnsiNameOf(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  // UTF-8 holds every character, so only broken UTF-16 can fail, and the call takes
  // no best-fit flag and no default character there; a legacy code page reports a
  // character it lacks through the used-default flag.
  const bool utf8 = ::GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* const usedDefaultOut = utf8 ? nullptr : &usedDefault;
  const int length = static_cast<int>(wide.size());
  const int size = ::WideCharToMultiByte(CP_ACP, flags, wide.data(), length, nullptr, 0, nullptr, usedDefaultOut);
  if (size <= 0 || usedDefault) return std::nullopt;
  std::string text(static_cast<std::size_t>(size), '\0');
  if (::WideCharToMultiByte(CP_ACP, flags, wide.data(), length, text.data(), size, nullptr, usedDefaultOut) != size ||
      usedDefault)
    return std::nullopt;
  // The way back must give the very same name: whatever a code page does that the
  // flags above do not catch, a name that does not round-trip is not the user's.
  if (WideOfAnsi(text) != wide) return std::nullopt;
  return text;
}

TAnsiNames AnsiNamesOf(const std::vector<std::wstring>& wide) {
  TAnsiNames names;
  for (const std::wstring& name : wide) {
    if (auto ansi = AnsiNameOf(name))
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
  const std::wstring caption = WideOfAnsi(Application.Title());
  ::MessageBoxW(::GetActiveWindow(), text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
}
