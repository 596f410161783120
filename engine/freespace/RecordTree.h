#pragma once
// Where the record fill puts its small files: a tree of folders under one folder of a
// fixed name beside the fill, every folder holding at most five entries of one
// character each. Measured on NTFS (ntfs-3g, 1 KiB records): a folder's index keeps
// five such entries inside the folder's own record, and the sixth gives it an index
// block, a cluster. Windows keeps one attribute less in each record, so five fit there
// too; 4 KiB records hold over forty. So the tree takes no cluster at all, and every
// folder in it is one more record filled.
//
// Names are digits, which are valid short names as they stand: NTFS then keeps one
// name per file, not a long and a short one. Every file has a name of the same
// length, so the longest data that stays inside one file's record stays in all.

#include <cstdint>
#include <string>
#include <string_view>

// Tells a user who finds it after a killed run what it is, and that it may go.
inline constexpr std::string_view kRecordFolderName = "Quorvane free-space wipe - safe to delete";

class TRecordTree {
 public:
  static constexpr int kEntriesPerFolder = 5;
  // Folders between the top folder and the files: room for 5^11 (48,828,125) files,
  // more free records than the MFT of any drive in use has.
  static constexpr int kLevels = 10;
  static constexpr std::uint64_t kCapacity = 48828125;
  // No file is longer: no data this long stays inside a record, even of 4 KiB.
  static constexpr std::uint32_t kLongestFile = 4096;

  // The fixed folder beside a fill of this path.
  static std::string TopBeside(std::string_view fillPath);

  explicit TRecordTree(std::string top) : FTop(std::move(top)) {}
  const std::string& Top() const noexcept { return FTop; }

  // Files are numbered from 0 in the order they are made.
  std::string FilePath(std::uint64_t slot) const;
  // The name of a slot's file within its folder.
  static std::string FileName(std::uint64_t slot);
  // The folder at level (1 to kLevels) that holds the file of this slot.
  std::string FolderPath(std::uint64_t slot, int level) const;
  // How many of the deepest folders of a slot's path begin with it: those must be made
  // before its file, and can go once its file has gone and every later one has.
  static int FoldersBegunBy(std::uint64_t slot);

  // The names the tree uses, and whether a name is one of them.
  static bool IsEntryName(std::string_view name);

 private:
  std::string FTop;
};
