#pragma once
// What the shell hands a window on a drop: a DROPFILES header in global memory, then
// ANSI names, each ended by a NUL, and one more NUL after the last.

#include <windows.h>

#include <string>
#include <vector>

HGLOBAL MakeDrop(const std::vector<std::string>& names, POINT at = {50, 50});
