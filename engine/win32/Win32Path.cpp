#include "engine/win32/Win32Path.h"

#include <windows.h>

#include "base/WideText.h"

namespace {

constexpr std::wstring_view kVerbatim = L"\\\\?\\";
constexpr std::wstring_view kDevice = L"\\\\.\\";
constexpr std::wstring_view kUncVerbatim = L"\\\\?\\UNC\\";
constexpr std::wstring_view kUnc = L"\\\\";

}  // namespace

std::wstring FullPathOf(const std::wstring& name) {
  std::wstring full(name.size() + MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetFullPathNameW(name.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return {};
    if (length < full.size()) {
      full.resize(length);
      return full;
    }
    // Too small: length is the room it needs, its NUL included. The current folder
    // may have changed in between, so the answer is asked for again.
    full.resize(length);
  }
}

std::wstring Win32Path(std::string_view entry) {
  const std::wstring name = WideOf(entry);
  // A path that has the prefix already is taken by the system as it stands, and so
  // it is here. An empty one fails every call, as it should.
  if (name.empty() || name.starts_with(kVerbatim)) return name;
  std::wstring full = FullPathOf(name);
  // What Windows cannot make a full path of, its calls refuse just the same.
  if (full.empty()) return name;
  // A device ("\\.\nul" is what Windows makes of "C:\x\nul") is reached as it is:
  // behind the prefix it would be a file of that name. A full form that has the
  // prefix ("//?/C:/x" gives one) has it once.
  if (full.starts_with(kDevice) || full.starts_with(kVerbatim)) return full;
  if (full.starts_with(kUnc)) return std::wstring(kUncVerbatim) + full.substr(kUnc.size());
  return std::wstring(kVerbatim) + full;
}
