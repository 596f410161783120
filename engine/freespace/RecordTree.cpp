#include "engine/freespace/RecordTree.h"

#include "engine/EntryPaths.h"

namespace {

constexpr std::uint64_t Power(int exponent) {
  std::uint64_t value = 1;
  for (int i = 0; i < exponent; ++i) value *= TRecordTree::kEntriesPerFolder;
  return value;
}
static_assert(TRecordTree::kCapacity == Power(TRecordTree::kLevels + 1));

char Digit(std::uint64_t value) { return static_cast<char>('0' + value % TRecordTree::kEntriesPerFolder); }

}  // namespace

std::string TRecordTree::TopBeside(std::string_view fillPath) {
  return std::string(FolderOf(fillPath)) + std::string(kRecordFolderName);
}

std::string TRecordTree::FolderPath(std::uint64_t slot, int level) const {
  std::string path = FTop;
  // The digits of the slot's folder number, most significant first.
  const std::uint64_t folder = slot / kEntriesPerFolder;
  for (int i = 1; i <= level; ++i) {
    path += '\\';
    path += Digit(folder / Power(kLevels - i));
  }
  return path;
}

std::string TRecordTree::FilePath(std::uint64_t slot) const {
  return FolderPath(slot, kLevels) + '\\' + FileName(slot);
}

std::string TRecordTree::FileName(std::uint64_t slot) { return std::string(1, Digit(slot)); }

int TRecordTree::FoldersBegunBy(std::uint64_t slot) {
  int begun = 0;
  while (begun < kLevels && slot % Power(begun + 1) == 0) ++begun;
  return begun;
}

bool TRecordTree::IsEntryName(std::string_view name) {
  return name.size() == 1 && name[0] >= '0' && name[0] < '0' + kEntriesPerFolder;
}
