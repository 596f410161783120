#include "settings/Settings.h"

#include "base/Handles.h"
#include "base/WideText.h"
#include "settings/RegistryError.h"

#include <windows.h>

#include <algorithm>

namespace {

// Relative to HKEY_CURRENT_USER; the trailing backslash is part of the name the
// program has always used, so it stays.
constexpr char kKeyPath[] = "Software\\Brenvold\\Quorvane\\";

// Opens (creating when missing) with full access, for reads too. Empty on failure.
UniqueHKey OpenSettingsKey() {
  UniqueHKey key;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS)
    key.reset();
  return key;
}

// Text only, and read as stored (a REG_EXPAND_SZ is not expanded). A value of any
// other type is none of the program's: it reads as missing, and the next write
// replaces it.
constexpr DWORD kTextTypes = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;

// Up to the first NUL, and never past the bytes the registry returned: data written
// by others need not end in NUL.
std::string ReadText(HKEY key, const std::string& name) {
  const std::wstring wideName = WideOf(name);
  DWORD size = 0;
  LONG status = ::RegGetValueW(key, nullptr, wideName.c_str(), kTextTypes, nullptr, nullptr, &size);
  // Until the read fits: the value may grow between the two calls.
  for (;;) {
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) {
      if (status == ERROR_FILE_NOT_FOUND || status == ERROR_UNSUPPORTED_TYPE) return {};
      throw ERegistryException("Failed to get data for '%s'", name);
    }
    // Room for a NUL the data may lack.
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    DWORD read = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    status = ::RegGetValueW(key, nullptr, wideName.c_str(), kTextTypes, nullptr, text.data(), &read);
    if (status == ERROR_SUCCESS) {
      text.resize(std::min<std::size_t>(read / sizeof(wchar_t), text.size()));
      return NarrowOf(std::wstring_view(text).substr(0, text.find(L'\0')));
    }
    size = std::max<DWORD>(read, size + sizeof(wchar_t));
  }
}

}  // namespace

void WriteSetting(std::string_view name, std::string_view value) {
  const UniqueHKey key = OpenSettingsKey();
  if (!key) return;
  const std::string nameText(name);
  const std::string text(value);  // c_str() supplies the NUL that is stored with it
  if (::RegSetValueExA(key.get(), nameText.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1)) != ERROR_SUCCESS)
    throw ERegistryException("Failed to set data for '%s'", name);
}

std::string ReadSetting(std::string_view name, std::string_view defaultValue) {
  const UniqueHKey key = OpenSettingsKey();
  if (!key) return std::string(defaultValue);
  std::string text = ReadText(key.get(), std::string(name));
  return text.empty() ? std::string(defaultValue) : text;
}
