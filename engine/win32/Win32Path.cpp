#include "engine/win32/Win32Path.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "base/WideText.h"

namespace {

constexpr std::wstring_view kVerbatim = L"\\\\?\\";
constexpr std::wstring_view kUncVerbatim = L"\\\\?\\UNC\\";
constexpr std::wstring_view kUnc = L"\\\\";

bool IsDrivePath(std::wstring_view path) {
  return path.size() >= 3 && path[1] == L':' && path[2] == L'\\' &&
         ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
}

// The parts of a path between its separators, empty ones included.
std::vector<std::wstring_view> PartsOf(std::wstring_view path) {
  std::vector<std::wstring_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t end = path.find(L'\\', start);
    parts.push_back(path.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start));
    if (end == std::wstring_view::npos) return parts;
    start = end + 1;
  }
}

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
  std::wstring name = WideOf(entry);
  // A path that has the prefix already is taken by the system as it stands, and so
  // it is here. An empty one fails every call, as it should.
  if (name.empty() || name.starts_with(kVerbatim)) return name;
  std::replace(name.begin(), name.end(), L'/', L'\\');
  if (IsDrivePath(name)) return std::wstring(kVerbatim) + name;
  // A share; the system's own forms ("\\.\", "\\?") are never made a file's path.
  if (name.starts_with(kUnc) && name.size() > 2 && name[2] != L'.' && name[2] != L'?')
    return std::wstring(kUncVerbatim) + name.substr(kUnc.size());
  return name;
}

std::wstring AbsolutePathOf(const std::wstring& name) {
  std::wstring path = name;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  // A share, or one of the system's own forms: nothing to join it to.
  if (path.empty() || path.starts_with(kUnc)) return path;
  std::wstring base;
  std::wstring_view rest = path;
  if (IsDrivePath(path)) {
    base = path.substr(0, 2);
    rest.remove_prefix(3);
  } else if (path.size() >= 2 && path[1] == L':') {
    base = FullPathOf(path.substr(0, 2));  // that drive's current folder
    rest.remove_prefix(2);
  } else if (path.front() == L'\\') {
    base = FullPathOf(L"\\");  // the current drive's root
    rest.remove_prefix(1);
  } else {
    base = FullPathOf(L".");
  }
  if (base.empty()) return name;
  while (base.size() > 2 && base.back() == L'\\') base.pop_back();
  // The root stays ("C:", or "\\server\share"); "." and ".." go as Windows would take
  // them; every name keeps its own spelling, trailing dots and blanks included.
  const std::size_t rootParts = base.starts_with(kUnc) ? 4 : 1;
  std::vector<std::wstring> parts;
  for (const std::wstring_view part : PartsOf(base)) parts.emplace_back(part);
  for (const std::wstring_view part : PartsOf(rest)) {
    if (part.empty() || part == L".") continue;
    if (part == L"..") {
      if (parts.size() > rootParts) parts.pop_back();
      continue;
    }
    parts.emplace_back(part);
  }
  std::wstring joined;
  for (std::size_t i = 0; i < parts.size(); ++i) joined += (i == 0 ? L"" : L"\\") + parts[i];
  if (parts.size() == rootParts) joined += L'\\';
  return joined;
}
