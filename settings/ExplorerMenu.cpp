#include "settings/ExplorerMenu.h"

#include "base/Handles.h"
#include "base/WideText.h"

#include <windows.h>

namespace {

bool KeyExists(const std::wstring& path) {
  UniqueHKey key;
  return ::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

void SetText(HKEY key, const wchar_t* name, const std::wstring& text, std::string_view shown) {
  if (::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for '%s'", shown);
}

UniqueHKey CreateKey(const std::wstring& path) {
  UniqueHKey key;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS)
    throw ERegistryException("Failed to create the key '%s'", NarrowOf(path));
  return key;
}

void AddVerb(const std::wstring& path, const std::wstring& program) {
  const UniqueHKey verb = CreateKey(path);
  SetText(verb.get(), nullptr, WideOf(kExplorerVerbCaption), "(Default)");
  SetText(verb.get(), L"Icon", L"\"" + program + L"\",0", "Icon");
  // Without it Explorer offers the verb for at most 15 chosen items.
  SetText(verb.get(), L"MultiSelectModel", L"Player", "MultiSelectModel");
  const UniqueHKey command = CreateKey(path + L"\\command");
  SetText(command.get(), nullptr, L"\"" + program + L"\" \"%1\"", "command");
}

}  // namespace

bool ExplorerMenuAdded() {
  return KeyExists(std::wstring(kFileVerbKey) + L"\\command") && KeyExists(std::wstring(kFolderVerbKey) + L"\\command");
}

void AddExplorerMenu(const std::wstring& program) {
  try {
    AddVerb(std::wstring(kFileVerbKey), program);
    AddVerb(std::wstring(kFolderVerbKey), program);
  } catch (...) {
    RemoveExplorerMenu();
    throw;
  }
}

void RemoveExplorerMenu() {
  for (const std::wstring_view path : {kFileVerbKey, kFolderVerbKey})
    ::RegDeleteTreeW(HKEY_CURRENT_USER, std::wstring(path).c_str());
}
