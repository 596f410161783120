#pragma once
// Which entries the engine may act on at all. An entry names exactly one file (or,
// when no file has the name, the place of a fill) only when it is a full path on a
// drive letter or a share, as the shell and the file dialog give them: anything else
// could reach a device, a whole volume, another file's stream, or whatever the
// current folder is. Decided on the text alone, before anything is asked of the
// system, so that a refused entry touches nothing.

#include <string_view>

// Why an entry is refused; kAccepted for one the engine may act on.
enum class TEntryRefusal {
  kAccepted,
  kDevice,      // a device or a volume itself: \\.\..., \\?\GLOBALROOT\..., \??\...
  kDeviceName,  // a name Windows takes for a device in any folder: CON, NUL, COM1, ...
  kStream,      // a named stream of a file: a ':' after the drive
  kNotFull,     // a relative path, or one with "." or ".." or empty parts
  kWildcards,   // '*' or '?', which match other files
  kRoot,        // a drive's or a volume's root, listed as such
};

TEntryRefusal CheckEntry(std::string_view entry);

// What the user is told of a refused entry; empty for an accepted one.
std::string_view RefusalText(TEntryRefusal refusal);
