#pragma once
// How an entry names its file to the system's wide file calls. Every call of the
// Win32 file system takes its paths through Win32Path, so that a path is read the
// same way by all of them, at any length.

#include <string>
#include <string_view>

// The entry (8-bit text in the ANSI code page, UTF-8 under the program's manifest)
// as a wide path that Windows takes at any length up to its 32,767 characters: made
// absolute and normal as Windows makes a path (separators, "." and "..", trailing
// dots and blanks, against the current folder), behind the prefix "\\?\" ("\\?\UNC\"
// for "\\server\share\..."). Without the prefix Windows refuses a path over 260
// characters unless the system's long-path option is on. The prefix is for the
// system only: what the user sees is the entry as given.
std::wstring Win32Path(std::string_view entry);

// The full path Windows makes of a name (GetFullPathNameW): absolute against the
// current folder, backslashes, no "." or "..", no trailing dots and blanks. Empty
// when it makes none.
std::wstring FullPathOf(const std::wstring& name);
