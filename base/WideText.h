#pragma once
// The one way between the program's 8-bit text and the system's wide text (UTF-16).
// The 8-bit side is in a code page: the ANSI one unless told otherwise, which is
// UTF-8 under the program's manifest. For Windows builds, like Handles.h.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// The text as the system's ...A calls read it: a byte the code page has no character
// for becomes what the system makes of it there.
inline std::wstring WideOf(std::string_view text, UINT codePage = CP_ACP) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int size = ::MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
  if (size <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), size);
  return wide;
}

// Whether 8-bit text in the code page is UTF-8, which takes other flags.
inline bool IsUtf8(UINT codePage) { return codePage == CP_UTF8 || (codePage == CP_ACP && ::GetACP() == CP_UTF8); }

// For texts the program wrote itself (a row, a caption), which come back as they
// went in. A character the code page lacks becomes its default character ("?"),
// never a best-fit neighbour ("L" for "Ł") that could be the name of another file:
// with a wildcard in it, the text names no file at all.
inline std::string NarrowOf(std::wstring_view wide, UINT codePage = CP_ACP) {
  if (wide.empty()) return {};
  const DWORD flags = IsUtf8(codePage) ? 0 : WC_NO_BEST_FIT_CHARS;
  const int length = static_cast<int>(wide.size());
  const int size = ::WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return {};
  std::string text(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(codePage, flags, wide.data(), length, text.data(), size, nullptr, nullptr);
  return text;
}

// The text in the code page only where it has an exact form: nothing for a character
// it lacks (no best-fit stand-in is taken), or under UTF-8 for broken UTF-16 such as
// an unpaired surrogate. For names from outside (drops, the dialog, the command
// line): a name changed to fit would be the name of another file.
inline std::optional<std::string> ExactNarrowOf(std::wstring_view wide, UINT codePage = CP_ACP) {
  if (wide.empty()) return std::string();
  // UTF-8 holds every character, so only broken UTF-16 can fail, and the call takes
  // no best-fit flag and no default character there; a legacy code page reports a
  // character it lacks through the used-default flag.
  const bool utf8 = IsUtf8(codePage);
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  BOOL* const usedDefaultOut = utf8 ? nullptr : &usedDefault;
  const int length = static_cast<int>(wide.size());
  const int size = ::WideCharToMultiByte(codePage, flags, wide.data(), length, nullptr, 0, nullptr, usedDefaultOut);
  if (size <= 0 || usedDefault) return std::nullopt;
  std::string text(static_cast<std::size_t>(size), '\0');
  if (::WideCharToMultiByte(codePage, flags, wide.data(), length, text.data(), size, nullptr, usedDefaultOut) !=
          size ||
      usedDefault)
    return std::nullopt;
  // The way back must give the very same name: whatever a code page does that the
  // flags above do not catch, a name that does not round-trip is not the user's.
  if (WideOf(text, codePage) != wide) return std::nullopt;
  return text;
}
