#include "settings/Settings.h"

#include "base/Handles.h"
#include "settings/RegistryError.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

// Relative to HKEY_CURRENT_USER; the trailing backslash is part of the name the
// program has always used, so it stays.
constexpr char kKeyPath[] = "Software\\Brenvold\\Quorvane\\";

// Opens (creating when missing) with full access, for reads too. Empty on failure.
UniqueHKey OpenSettingsKey() {
  HKEY key = nullptr;
  const LONG status = ::RegCreateKeyExA(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        KEY_ALL_ACCESS, nullptr, &key, nullptr);
  return UniqueHKey(status == ERROR_SUCCESS ? key : nullptr);
}

// The text part of REG_SZ data: up to the first NUL, and never past the bytes the
// registry said it returned (data written by others need not end in NUL).
std::string TextOfData(const std::vector<char>& data, DWORD size) {
  const std::string_view bytes(data.data(), size);
  return std::string(bytes.substr(0, bytes.find('\0')));
}

std::string ReadText(HKEY key, const std::string& name) {
  DWORD size = 0;
  if (::RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0)
    return {};
  std::vector<char> data(size);
  DWORD type = 0;
  if (::RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) !=
      ERROR_SUCCESS)
    throw ERegistryException("Failed to get data for '%s'", name);
  if (type != REG_SZ && type != REG_EXPAND_SZ) throw ERegistryException("Invalid data type for '%s'", name);
  return TextOfData(data, std::min<DWORD>(size, static_cast<DWORD>(data.size())));
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
