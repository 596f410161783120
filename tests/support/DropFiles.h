#pragma once
// What the shell hands a window on a drop: a DROPFILES header in global memory, then
// the names, each ended by a NUL, and one more NUL after the last. The shell itself
// writes wide names; older programs write ANSI ones.

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

HGLOBAL MakeDrop(const std::vector<std::string>& names, POINT at = {50, 50});
HGLOBAL MakeWideDrop(const std::vector<std::wstring>& names, POINT at = {50, 50});

// A malformed drop: the header, then exactly these bytes and no more, so a name may
// run to the block's end without its NUL. pFiles 0 gives the usual offset. The block
// is cut down from a larger one full of 'x', so what lies past its end is no NUL.
HGLOBAL MakeRawDrop(std::string_view bytes, bool wide, DWORD pFiles = 0, POINT at = {50, 50});
