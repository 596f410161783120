#pragma once
// "Shred with Quorvane" on Explorer's right-click menu: a verb for every file and one
// for folders, as the current user's own (under HKEY_CURRENT_USER\Software\Classes),
// so no administrator rights are needed. The verb only lists what was chosen in a
// Quorvane window; nothing is shredded until the user presses "Shred NOW!".

#include "settings/RegistryError.h"

#include <string>
#include <string_view>

inline constexpr std::string_view kExplorerVerbCaption = "Shred with Quorvane";
// The verbs' keys, relative to HKEY_CURRENT_USER.
inline constexpr std::wstring_view kFileVerbKey = L"Software\\Classes\\*\\shell\\Quorvane.Shred";
inline constexpr std::wstring_view kFolderVerbKey = L"Software\\Classes\\Directory\\shell\\Quorvane.Shred";

// Whether both verbs are there, each with its command.
bool ExplorerMenuAdded();
// Writes both verbs for the program at this full path: captioned, with the program's
// icon, and the command `"program" "%1"`. Raises ERegistryException when a key or
// value cannot be written; what was written by then is removed again.
void AddExplorerMenu(const std::wstring& program);
// Deletes the two verbs' keys, and nothing else.
void RemoveExplorerMenu();
