#pragma once
// Names that tell nothing: fixed-length random upper-case letters and digits, for
// the names a shredded file passes through and for a fill's extra files. Fixed
// length and no extension, so they say nothing of any original's length or type;
// a plain short name, which FAT stores in one entry without a long name.

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

inline constexpr std::size_t kNeutralNameLength = 8;

class TNeutralNames {
 public:
  // Letters and digits: valid in a name on every file system, in any case.
  static constexpr std::string_view kPlain = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

  TNeutralNames();
  // The same names in the same order every time: for runs that must be reproducible.
  explicit TNeutralNames(std::uint64_t seed) : FRandom(seed) {}
  // A new name in the folder (a path prefix as FolderOf gives it), of the given
  // length. It may be taken already: whoever uses it must not replace what has it.
  std::string NewName(std::string_view folder, std::size_t length = kNeutralNameLength);
  // One of the characters, drawn at random.
  char Pick(std::string_view characters);

 private:
  std::mt19937_64 FRandom;
};
