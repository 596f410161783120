#pragma once
// What a record fill leaves when its process is killed: it holds no handle per file
// (a drive may have a million free records), so the system cannot remove its small
// files as it removes the data fill's. The next fill beside it removes that folder
// first, and with it frees the records for its own record fill. Only a folder of
// exactly the shape a record fill makes goes: folders of one-digit names and at most
// five entries, the files only at the tree's depth, none longer than the longest
// resident data, all zeros. Anything else under that name is left as it is, whole.

#include <string>

#include "engine/FileSystem.h"
#include "engine/RunStop.h"

// True when nothing is left under the name (there was none, or it was removed). A
// stop ends the reading or the removal before its next item; what is left then is
// removed by the next fill.
bool RemoveLeftoverRecords(IFileSystem& fileSystem, const std::string& top, const TRunStop& stop);
