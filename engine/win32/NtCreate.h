#pragma once
// Files and folders made through the system's own call, which can name them relative
// to a folder held open: the record fill makes many small files that way without the
// system walking their whole path again each time.

#include <windows.h>

#include <string>
#include <string_view>

#include "base/Handles.h"

// Makes name (relative to the open folder root, or a full path in the system's own
// form, NtPathOf, when root is null) as a file or, with FILE_DIRECTORY_FILE in
// options, a folder, for synchronous use; never opens one that is there. Null on
// failure.
UniqueFile NtCreateNew(HANDLE root, const std::wstring& name, ACCESS_MASK access, ULONG share, ULONG options);

// An entry's path in the system's own form, "\??\C:\..." (behind "\??\" as behind
// "\\?\", taken as it is); empty for a path Win32Path leaves without the prefix.
std::wstring NtPathOf(std::string_view entry);
