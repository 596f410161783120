#pragma once
// How the engine reads an entry's text as a path: the drive it lies on and the
// folder that holds it. Every part of the engine, and the window, takes these rules
// from here.

#include <string>
#include <string_view>

// The root of the drive an entry names: its first character upper-cased (a to z
// only), a colon and a backslash. A network path gives a root that does not exist.
std::string DriveRoot(std::string_view entry);

// The folder part of a path, with its separator: "C:\a\" of "C:\a\b.txt", "C:" of
// "C:b.txt", nothing for a bare name. A ':' after the drive is part of a name: Linux
// drives under Wine hold names with one.
std::string_view FolderOf(std::string_view path);
