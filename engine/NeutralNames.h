#pragma once
// Names that tell nothing: fixed-length random upper-case letters and digits, for
// the names a shredded file passes through and for a fill's extra files. Fixed
// length and no extension, so they say nothing of any original's length or type;
// a plain short name, which FAT stores in one entry without a long name.

#include <cstddef>
#include <random>
#include <string>
#include <string_view>

inline constexpr std::size_t kNeutralNameLength = 8;

class TNeutralNames {
 public:
  TNeutralNames();
  // A new name in the folder (a path prefix as FolderOf gives it), of the given
  // length. It may be taken already: whoever uses it must not replace what has it.
  std::string NewName(std::string_view folder, std::size_t length = kNeutralNameLength);

 private:
  std::mt19937_64 FRandom;
};

// The folder part of a path, with its separator: "C:\a\" of "C:\a\b.txt", "C:" of
// "C:b.txt", nothing for a bare name.
std::string_view FolderOf(std::string_view path);
