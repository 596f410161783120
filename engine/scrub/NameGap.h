#pragma once
// Where a new name sorts among a folder's names. NTFS keeps each folder's names
// sorted, upper-cased, in index blocks, so a name that sorts after a file's name and
// before the next one goes into the block that holds (or held) the file's entry, at
// its place. The scrub gives a file such a name to make that block grow back over
// what the file's removed entry left there (see MetadataScrub.h).

#include <optional>
#include <string>
#include <string_view>

#include "engine/NeutralNames.h"

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

// A new name in the folder (a path prefix as FolderOf gives it) that lies in the
// gap: its prefix, one of its characters (a letter or digit where it offers one),
// then random ones up to the length; no shorter than that takes, whatever the
// length asked.
std::string NameInGap(TNeutralNames& names, std::string_view folder, const TNameGap& gap, std::size_t length);
