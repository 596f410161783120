#include "engine/EntryRules.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr std::string_view kVerbatim = "\\\\?\\";
constexpr std::string_view kVerbatimUnc = "\\\\?\\UNC\\";
constexpr std::string_view kDeviceSpace = "\\\\.\\";
constexpr std::string_view kObjectSpace = "\\??\\";
constexpr std::string_view kVolume = "Volume{";

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool StartsWithNoCase(std::string_view text, std::string_view start) {
  return text.size() >= start.size() &&
         std::equal(start.begin(), start.end(), text.begin(), [](char a, char b) { return Upper(a) == Upper(b); });
}
bool IsDriveLetter(char c) { return Upper(c) >= 'A' && Upper(c) <= 'Z'; }

std::vector<std::string_view> Parts(std::string_view path) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i < path.size() && !IsSeparator(path[i])) continue;
    parts.push_back(path.substr(start, i - start));
    start = i + 1;
  }
  return parts;
}

// Windows reads a device in a name's part before its first dot, with trailing dots
// and blanks dropped: "nul", "NUL.txt", "con .log" and "COM1." are all devices.
bool IsDeviceName(std::string_view name) {
  name = name.substr(0, name.find('.'));
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  std::string upper;
  for (const char c : name) upper += Upper(c);
  for (const std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (upper == device) return true;
  if (upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) && upper[3] >= '1' && upper[3] <= '9')
    return true;
  // The superscript digits ¹ ² ³ count too, in the ANSI code page and in UTF-8.
  for (const std::string_view digit : {"\xB9", "\xB2", "\xB3", "\xC2\xB9", "\xC2\xB2", "\xC2\xB3"})
    if ((upper.starts_with("COM") || upper.starts_with("LPT")) && upper.size() == 3 + digit.size() &&
        upper.substr(3) == digit)
      return true;
  return false;
}

// The parts below a root: every one a plain name, at least one.
TEntryRefusal CheckBelowRoot(const std::vector<std::string_view>& below) {
  if (below.empty() || (below.size() == 1 && below[0].empty())) return TEntryRefusal::kRoot;
  for (const std::string_view part : below) {
    if (part.empty() || part == "." || part == "..") return TEntryRefusal::kNotFull;
    if (part.find_first_of("*?") != std::string_view::npos) return TEntryRefusal::kWildcards;
    if (part.find(':') != std::string_view::npos) return TEntryRefusal::kStream;
  }
  for (const std::string_view part : below)
    if (IsDeviceName(part)) return TEntryRefusal::kDeviceName;
  return TEntryRefusal::kAccepted;
}

// "X:\rest": a drive letter, a colon, a separator.
TEntryRefusal CheckOnDrive(std::string_view path) {
  if (path.size() < 3 || !IsDriveLetter(path[0]) || path[1] != ':' || !IsSeparator(path[2]))
    return TEntryRefusal::kNotFull;
  return CheckBelowRoot(Parts(path.substr(3)));
}

// "server\share\rest", after the leading two separators.
TEntryRefusal CheckOnShare(std::string_view path) {
  const auto parts = Parts(path);
  if (parts.size() < 2 || parts[0].empty() || parts[1].empty()) return TEntryRefusal::kNotFull;
  if (parts[0].find_first_of("*?:") != std::string_view::npos ||
      parts[1].find_first_of("*?:") != std::string_view::npos)
    return TEntryRefusal::kNotFull;
  return CheckBelowRoot({parts.begin() + 2, parts.end()});
}

// "Volume{GUID}\rest" after the verbatim prefix: a volume that has no drive letter.
TEntryRefusal CheckOnVolume(std::string_view path) {
  const auto end = path.find('}');
  if (end == std::string_view::npos) return TEntryRefusal::kDevice;
  if (end + 1 == path.size()) return TEntryRefusal::kRoot;  // the volume itself
  if (!IsSeparator(path[end + 1])) return TEntryRefusal::kDevice;
  return CheckBelowRoot(Parts(path.substr(end + 2)));
}

}  // namespace

TEntryRefusal CheckEntry(std::string_view entry) {
  if (StartsWithNoCase(entry, kVerbatimUnc)) return CheckOnShare(entry.substr(kVerbatimUnc.size()));
  if (entry.starts_with(kVerbatim)) {
    const std::string_view rest = entry.substr(kVerbatim.size());
    if (StartsWithNoCase(rest, kVolume)) return CheckOnVolume(rest);
    if (rest.size() >= 2 && IsDriveLetter(rest[0]) && rest[1] == ':') return CheckOnDrive(rest);
    return TEntryRefusal::kDevice;  // GLOBALROOT and every other object of the system
  }
  if (entry.starts_with(kDeviceSpace) || entry.starts_with(kObjectSpace) || entry.starts_with("\\\\?") ||
      entry.starts_with("//./") || entry.starts_with("//?/"))
    return TEntryRefusal::kDevice;
  if (entry.size() >= 2 && IsSeparator(entry[0]) && IsSeparator(entry[1])) return CheckOnShare(entry.substr(2));
  return CheckOnDrive(entry);
}

std::string_view RefusalText(TEntryRefusal refusal) {
  switch (refusal) {
    case TEntryRefusal::kAccepted:
      return {};
    case TEntryRefusal::kDevice:
      return "it names a device or a volume, not a file";
    case TEntryRefusal::kDeviceName:
      return "Windows takes its name for a device (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9)";
    case TEntryRefusal::kStream:
      return "it names a stream of a file (a ':' after the drive), not a file";
    case TEntryRefusal::kNotFull:
      return "it is not a full path of a file";
    case TEntryRefusal::kWildcards:
      return "it holds a wildcard (* or ?), which would match other files";
    case TEntryRefusal::kRoot:
      return "it names a drive or a volume as a whole; list a name that is not there in it to wipe its free space";
  }
  return {};
}
