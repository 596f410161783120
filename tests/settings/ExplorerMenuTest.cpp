// The Explorer verbs against Wine's real registry, read back with the registry itself.
#include "settings/ExplorerMenu.h"

#include "base/Handles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

// A value's text, or "(none)" where the key or the value is missing.
std::wstring Text(const std::wstring& key, const wchar_t* name) {
  wchar_t text[1024] = {};
  DWORD size = sizeof text;
  if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
    return L"(none)";
  return text;
}

TEST(ExplorerMenuTest, AddingWritesBothVerbsAndRemovingTakesExactlyThem) {
  const std::wstring program = L"C:\\Program Files\\Quorvane\\Quorvane.exe";
  const std::wstring other = L"Software\\Classes\\*\\shell\\SomeoneElses";
  RemoveExplorerMenu();
  UniqueHKey made;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, (other + L"\\command").c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              made.put(), nullptr),
            ERROR_SUCCESS);
  EXPECT_FALSE(ExplorerMenuAdded());

  AddExplorerMenu(program);
  EXPECT_TRUE(ExplorerMenuAdded());
  for (const std::wstring_view verb : {kFileVerbKey, kFolderVerbKey}) {
    const std::wstring key(verb);
    EXPECT_EQ(Text(key, nullptr), L"Shred with Quorvane");
    EXPECT_EQ(Text(key, L"Icon"), L"\"" + program + L"\",0");
    EXPECT_EQ(Text(key + L"\\command", nullptr), L"\"" + program + L"\" \"%1\"");
  }

  RemoveExplorerMenu();
  EXPECT_FALSE(ExplorerMenuAdded());
  for (const std::wstring_view verb : {kFileVerbKey, kFolderVerbKey}) {
    UniqueHKey gone;
    EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, std::wstring(verb).c_str(), 0, KEY_READ, gone.put()), ERROR_SUCCESS);
  }
  UniqueHKey kept;
  EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, (other + L"\\command").c_str(), 0, KEY_READ, kept.put()), ERROR_SUCCESS);
  ::RegDeleteTreeW(HKEY_CURRENT_USER, other.c_str());
}

}  // namespace
