#pragma once
// How an entry names its file to the system's wide file calls. Every call of the
// Win32 file system takes its paths through Win32Path, so that a path is read the
// same way by all of them, at any length.

#include <string>
#include <string_view>

// The entry (8-bit text in the ANSI code page, UTF-8 under the program's manifest)
// as a wide path that Windows takes exactly as given, at any length up to its 32,767
// characters: a full path behind the prefix "\\?\" ("\\?\UNC\" for
// "\\server\share\..."), with '/' read as '\' and nothing else changed. Without the
// prefix Windows would rewrite it (a trailing dot or blank goes, "a.txt." reaches
// "a.txt") and refuse it over 260 characters. A path that is not full is left as it
// is: the engine acts only on full ones (EntryRules.h). The prefix is for the system
// only: what the user sees is the entry as given.
std::wstring Win32Path(std::string_view entry);

// A name from the command line as a full path, once, when it is listed: joined to the
// current folder (of its drive), "." and ".." taken as Windows takes them, every name
// in it spelt as given, trailing dots and blanks included. A share's path, or one of
// the system's own forms, is left as it is.
std::wstring AbsolutePathOf(const std::wstring& name);

// The full path Windows makes of a name (GetFullPathNameW): absolute against the
// current folder, backslashes, no "." or "..", no trailing dots and blanks. Empty
// when it makes none.
std::wstring FullPathOf(const std::wstring& name);
