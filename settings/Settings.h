#pragma once
// The program's per-user settings: named text values under one fixed registry key
// of the current user. Nothing is cached; every call opens the key, does its one
// read or write and closes it again.

#include "settings/RegistryError.h"

#include <string>
#include <string_view>

// Stores value as text under name, whatever type the value had before. A key that
// cannot be opened writes nothing and reports nothing; a refused write raises
// ERegistryException "Failed to set data for '<name>'".
void WriteSetting(std::string_view name, std::string_view value);

// The stored text, or defaultValue when the key cannot be opened or the value is
// missing, empty or starts with NUL. Text after an embedded NUL is not returned.
// Raises ERegistryException for a value that is not text or cannot be read.
std::string ReadSetting(std::string_view name, std::string_view defaultValue);
