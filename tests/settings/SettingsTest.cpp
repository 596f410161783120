// The settings store against Wine's real registry. Every case starts from a missing
// key and checks what was stored with the registry itself.
#include "settings/Settings.h"

#include "base/Handles.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

constexpr char kKey[] = "Software\\Brenvold\\Quorvane\\";

struct TStoredValue {
  LONG Status = ERROR_FILE_NOT_FOUND;
  DWORD Type = 0;
  std::string Data;
};

UniqueHKey OpenKey() {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return UniqueHKey();
  return UniqueHKey(key);
}

TStoredValue QueryValue(const char* name) {
  TStoredValue value;
  const UniqueHKey key = OpenKey();
  if (!key) return value;
  DWORD size = 0;
  value.Status = ::RegQueryValueExA(key.get(), name, nullptr, &value.Type, nullptr, &size);
  if (value.Status != ERROR_SUCCESS) return value;
  value.Data.resize(size);
  value.Status = ::RegQueryValueExA(key.get(), name, nullptr, &value.Type,
                                    reinterpret_cast<BYTE*>(value.Data.data()), &size);
  return value;
}

void StoreRaw(const char* name, DWORD type, const std::string& data) {
  UniqueHKey key;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(), nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(::RegSetValueExA(key.get(), name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
            ERROR_SUCCESS);
}

class SettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Brenvold");
    ASSERT_FALSE(OpenKey()) << "the key must be gone before each case";
  }
};

TEST_F(SettingsTest, FirstReadGivesTheDefaultAndLeavesAnEmptyKey) {
  EXPECT_EQ(ReadSetting("SearchPath", ""), "");
  EXPECT_EQ(ReadSetting("SearchPath", "C:\\fallback\\"), "C:\\fallback\\");

  const UniqueHKey key = OpenKey();
  ASSERT_TRUE(key);
  DWORD values = 99;
  DWORD subkeys = 99;
  ASSERT_EQ(::RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                               nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(values, 0u);
  EXPECT_EQ(subkeys, 0u);
}

TEST_F(SettingsTest, AFolderRoundTripsWithItsTrailingBackslashAsRegSzWithNul) {
  WriteSetting("SearchPath", "C:\\Users\\me\\Documents\\");

  const TStoredValue stored = QueryValue("SearchPath");
  ASSERT_EQ(stored.Status, ERROR_SUCCESS);
  EXPECT_EQ(stored.Type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(stored.Data, std::string("C:\\Users\\me\\Documents\\") + '\0');
  EXPECT_EQ(ReadSetting("SearchPath", "other"), "C:\\Users\\me\\Documents\\");

  WriteSetting("SearchPath", "D:\\");
  EXPECT_EQ(ReadSetting("SearchPath", ""), "D:\\");
}

TEST_F(SettingsTest, AnEmptyValueIsOneNulByteAndReadsAsTheDefault) {
  WriteSetting("SearchPath", "");

  const TStoredValue stored = QueryValue("SearchPath");
  ASSERT_EQ(stored.Status, ERROR_SUCCESS);
  EXPECT_EQ(stored.Type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(stored.Data, std::string(1, '\0'));
  EXPECT_EQ(ReadSetting("SearchPath", "dflt"), "dflt");
}

TEST_F(SettingsTest, ExpandSzIsReadAsStoredWithoutExpansion) {
  StoreRaw("SearchPath", REG_EXPAND_SZ, std::string("%WINDIR%\\temp\\%NOSUCH%") + '\0');
  EXPECT_EQ(ReadSetting("SearchPath", ""), "%WINDIR%\\temp\\%NOSUCH%");
}

// Another program's value of another type under the name is none of ours: it reads
// as missing, and the next write replaces it.
TEST_F(SettingsTest, ANonTextValueReadsAsMissingAndIsReplacedByAWrite) {
  const DWORD number = 42;
  StoreRaw("SearchPath", REG_DWORD, std::string(reinterpret_cast<const char*>(&number), sizeof number));
  EXPECT_EQ(ReadSetting("SearchPath", "dflt"), "dflt");

  WriteSetting("SearchPath", "C:\\x\\");
  const TStoredValue stored = QueryValue("SearchPath");
  EXPECT_EQ(stored.Type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(ReadSetting("SearchPath", ""), "C:\\x\\");
}

TEST_F(SettingsTest, TextEndsAtAnEmbeddedNulAndANulFirstValueGivesTheDefault) {
  StoreRaw("SearchPath", REG_SZ, std::string("C:\\a\\\0hidden\0", 13));
  EXPECT_EQ(ReadSetting("SearchPath", ""), "C:\\a\\");

  StoreRaw("SearchPath", REG_SZ, std::string("\0C:\\b\0", 6));
  EXPECT_EQ(ReadSetting("SearchPath", "dflt"), "dflt");
}

// Another program may store text without its NUL; the read must stop at the data's end.
TEST_F(SettingsTest, TextWithoutATerminatingNulIsReadToTheEndOfItsData) {
  StoreRaw("SearchPath", REG_SZ, "C:\\nonul");
  EXPECT_EQ(ReadSetting("SearchPath", ""), "C:\\nonul");

  StoreRaw("Other", REG_SZ, "");
  EXPECT_EQ(ReadSetting("Other", "dflt"), "dflt");
}

TEST_F(SettingsTest, ValuesAreKeptApartByName) {
  WriteSetting("SearchPath", "C:\\one\\");
  WriteSetting("Another", "two");
  EXPECT_EQ(ReadSetting("SearchPath", ""), "C:\\one\\");
  EXPECT_EQ(ReadSetting("Another", ""), "two");
  EXPECT_EQ(ReadSetting("Missing", "none"), "none");
}

}  // namespace
