#pragma once
// Where a new name sorts among a folder's names. NTFS keeps each folder's names
// sorted, upper-cased, in index blocks; a deleted entry is closed up by moving the
// entries behind it in its block down over it, and the bytes the block no longer
// uses keep what was there. Behind the last entry of a block only the block's end
// marker moves, so most of that entry's name stays. A rename first adds the new
// name, then removes the old one: a new name that sorts right after the file's own
// goes in right behind it in the same block, and moves over it when the old entry
// goes. Renamed so, a file leaves no byte of its name in its folder's index.

#include <optional>
#include <string>
#include <string_view>

// The names that sort after a name and before the next name in its folder, and tell
// no more of the name than its neighbours do: every name made of the prefix, one of
// the characters `next` and anything after them.
struct TNameGap {
  std::string prefix;
  std::string next;  // in the order the file systems sort them
};

// The gap after `name` given the folder's names that sort right before and right
// after it (either may be missing). A name in the gap shares with `name` at most the
// longer of the prefixes its neighbours share with it, so it shows nothing that is
// not on view in the folder already. Nothing when no such name exists: behind "a1"
// comes "a2", and every name between them begins "a1".
std::optional<TNameGap> FindNameGap(std::string_view name, const std::optional<std::string>& before,
                                    const std::optional<std::string>& after);
