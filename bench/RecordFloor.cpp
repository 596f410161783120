// The least Wine can take to make the record fill's files: the same tree of folders
// and small files of zeros, each file made with the fewest calls Windows has for it
// (created in its folder held open, written, closed), with no question asked of the
// file or the drive. record-bench.sh sets it beside the engine's record fill and a
// native loop. usage: record_floor FOLDER COUNT LENGTH; prints the seconds taken.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "base/WideText.h"
#include "engine/freespace/RecordTree.h"
#include "engine/win32/NtCreate.h"
#include "engine/win32/Win32Path.h"

namespace {

UniqueFile CreateIn(HANDLE folder, const std::wstring& name, bool isFolder) {
  if (isFolder)
    return NtCreateNew(folder, name, FILE_LIST_DIRECTORY | FILE_ADD_FILE | SYNCHRONIZE,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, FILE_DIRECTORY_FILE);
  return NtCreateNew(folder, name, GENERIC_WRITE | SYNCHRONIZE, 0, FILE_NON_DIRECTORY_FILE);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return std::fprintf(stderr, "usage: record_floor FOLDER COUNT LENGTH\n"), 2;
  const TRecordTree tree(argv[1]);
  const std::uint64_t count = std::strtoull(argv[2], nullptr, 10);
  const std::vector<char> zeros(std::strtoul(argv[3], nullptr, 10));
  const auto start = std::chrono::steady_clock::now();
  if (!::CreateDirectoryW(Win32Path(tree.Top()).c_str(), nullptr)) return std::fprintf(stderr, "no top folder\n"), 1;
  UniqueFile leaf;
  for (std::uint64_t slot = 0; slot < count; ++slot) {
    const int begun = TRecordTree::FoldersBegunBy(slot);
    for (int level = TRecordTree::kLevels - begun + 1; level < TRecordTree::kLevels; ++level)
      ::CreateDirectoryW(Win32Path(tree.FolderPath(slot, level)).c_str(), nullptr);
    if (begun > 0) {
      leaf = CreateIn(nullptr, NtPathOf(tree.FolderPath(slot, TRecordTree::kLevels)), true);
    }
    const UniqueFile file = CreateIn(leaf.get(), WideOf(TRecordTree::FileName(slot)), false);
    DWORD written = 0;
    if (!file || !::WriteFile(file.get(), zeros.data(), static_cast<DWORD>(zeros.size()), &written, nullptr))
      return std::fprintf(stderr, "file %llu failed\n", static_cast<unsigned long long>(slot)), 1;
  }
  std::printf("%.6f\n", std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  return 0;
}
