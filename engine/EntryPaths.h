#pragma once
// The folder of an entry's path. Every part of the engine, and the window, takes it
// from here; which entries are paths at all is EntryRules.h's.

#include <string>
#include <string_view>

// The folder part of a path, with its separator: "C:\a\" of "C:\a\b.txt", "C:" of
// "C:b.txt", nothing for a bare name. A ':' after the drive is part of a name: Linux
// drives under Wine hold names with one.
std::string_view FolderOf(std::string_view path);
