// Paths past 260 characters and on a network share, through the real file system.
// Wine's wide calls take long paths with or without the \\?\ prefix, and Windows'
// only with it (or with its long-path option on): a run that works here proves that
// no 8-bit call is left, and the path tests prove the prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "base/WideText.h"
#include "engine/EntryPaths.h"
#include "engine/run/ShredEngine.h"
#include "engine/win32/Win32FileSystem.h"
#include "engine/win32/Win32Path.h"
#include "tests/support/EngineRig.h"
#include "tests/support/TempFolder.h"

namespace {

// The test's own way to the current folder, for what a relative path must become.
std::wstring CurrentFolder() {
  std::wstring folder(::GetCurrentDirectoryW(0, nullptr), L'\0');
  folder.resize(::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
  return folder;
}

// A full path reaches the system exactly as listed: a trailing dot or blank is the
// name's own, and only a command-line name is made full, once.
TEST(Win32PathTest, AnEntryReachesTheSystemExactlyBehindThePrefix) {
  EXPECT_EQ(Win32Path("C:\\d\\c.txt. "), L"\\\\?\\C:\\d\\c.txt. ");
  EXPECT_EQ(Win32Path("C:/x/z.txt"), L"\\\\?\\C:\\x\\z.txt");
  EXPECT_EQ(Win32Path("\\\\quorvane\\share\\b.txt."), L"\\\\?\\UNC\\quorvane\\share\\b.txt.");
  EXPECT_EQ(Win32Path("C:\\caf\xE9.txt"), L"\\\\?\\C:\\caf\x00E9.txt") << "the ANSI code page, 1252 here";
  const std::string deep = "C:\\" + std::string(200, 'd') + "\\" + std::string(200, 'e') + "\\f.txt";
  EXPECT_EQ(Win32Path(deep), L"\\\\?\\" + WideOf(deep));
  // What has the prefix is the caller's own; a device stays a device; nothing names nothing.
  EXPECT_EQ(Win32Path("\\\\?\\C:\\a\\..\\b"), L"\\\\?\\C:\\a\\..\\b");
  EXPECT_EQ(Win32Path("\\\\.\\C:"), L"\\\\.\\C:");
  EXPECT_EQ(Win32Path(""), L"");

  EXPECT_EQ(AbsolutePathOf(L"rel\\x.txt. "), CurrentFolder() + L"\\rel\\x.txt. ");
  EXPECT_EQ(AbsolutePathOf(L"C:\\a\\..\\b\\.\\c.txt."), L"C:\\b\\c.txt.");
  EXPECT_EQ(AbsolutePathOf(L"C:/x//y/z.txt"), L"C:\\x\\y\\z.txt");
  EXPECT_EQ(AbsolutePathOf(L"C:\\..\\.."), L"C:\\");
  EXPECT_EQ(AbsolutePathOf(L"\\\\quorvane\\share\\a"), L"\\\\quorvane\\share\\a");
}

// The real file system, with the renames of a scrub as it answered them.
class TWatchedFileSystem final : public TWin32FileSystem {
 public:
  struct TRename {
    std::string From, To;
    bool Done;
  };
  std::vector<TRename> Renames;

  bool Rename(const std::string& from, const std::string& to) override {
    const bool done = TWin32FileSystem::Rename(from, to);
    Renames.push_back({from, to, done});
    return done;
  }
};

// Unix limits hold under a Wine drive: 4,096 bytes for a whole path (and 255 for a
// name, which FolderForPath keeps to).
constexpr std::size_t kUnixPathRoom = 4095;

// The Unix path Wine keeps a Windows path at: how much of the Unix room a folder
// takes. Empty on Windows.
std::string UnixPathOf(const std::string& path) {
  using UnixName = char*(__cdecl*)(const wchar_t*);
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (unixName == nullptr) return {};
  char* const name = unixName(WideOf(path).c_str());
  if (name == nullptr) return {};
  std::string result = name;
  ::HeapFree(::GetProcessHeap(), 0, name);
  return result;
}

class Win32LongPathTest : public ::testing::Test {
 protected:
  TTempFolder temp;
  TEngineRigOn<TWatchedFileSystem> rig;

  // A file of size bytes whose path is length characters long.
  std::string MakeLongFile(const std::string& base, std::size_t length, std::size_t size) {
    const std::string name = "Quarterly-Merger-Plan.docx";
    const std::string folder = FolderForPath(base, name, length);
    if (const std::string unixBase = UnixPathOf(base); !unixBase.empty()) {
      EXPECT_LE(unixBase.size() + (length - base.size()), kUnixPathRoom)
          << "the Wine drive's Unix folder " << unixBase << " leaves no room for a path of " << length;
    }
    MakeFolders(folder);
    const std::string path = folder + name;
    WriteFileBytes(path, std::string(size, 'Q'));
    EXPECT_EQ(path.size(), length);
    return path;
  }

  // Every name in a folder, "." and ".." aside, by the test's own long path.
  static std::vector<std::wstring> NamesIn(const std::string& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const UniqueFind find(::FindFirstFileW((LongPathOf(folder) + L"*").c_str(), &found));
    if (!find) return names;
    do {
      const std::wstring name = found.cFileName;
      if (name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(find.get(), &found));
    return names;
  }

  // Shredded: marked, shown without the prefix, overwritten in full, renamed three
  // times in its own folder and gone, with nothing left beside it.
  void ExpectShredded(const std::string& path, std::size_t size) {
    EXPECT_EQ(rig.Run({path}), std::vector<std::string>{"SHREDDED! ... " + path});
    EXPECT_EQ(rig.display.status, "shredding " + path + ": size is " + std::to_string(size) + " bytes ...");
    EXPECT_EQ(rig.display.max, static_cast<std::int32_t>(size));
    EXPECT_FALSE(PathExists(path));
    const std::string folder(FolderOf(path));
    EXPECT_TRUE(NamesIn(folder).empty());
    ASSERT_EQ(rig.fs.Renames.size(), 3u);
    for (const auto& rename : rig.fs.Renames) {
      EXPECT_TRUE(rename.Done) << rename.From << " to " << rename.To;
      EXPECT_EQ(FolderOf(rename.To), folder);
    }
  }
};

TEST_F(Win32LongPathTest, FilesUnderLongPathsAreShreddedScrubbedAndMarked) {
  for (const std::size_t length : {300u, 600u, 2000u}) {
    SCOPED_TRACE(length);
    rig.fs.Renames.clear();
    ExpectShredded(MakeLongFile(temp.Path(), length, 20000), 20000);
  }
}

TEST_F(Win32LongPathTest, AFileUnderALongPathOnANetworkShareIsShredded) {
  const std::string share = "\\\\quorvane\\share\\long-" + std::to_string(::GetCurrentProcessId()) + "\\";
  MakeFolders(share);
  const std::string path = MakeLongFile(share, 400, 5000);
  ExpectShredded(path, 5000);
  RemoveTree(share);
}

// A fill that one file cannot hold goes on in files of new names in the same folder.
TEST_F(Win32LongPathTest, AFillsExtraFileIsMadeAndRemovedInALongFolder) {
  const std::string folder = FolderForPath(temp.Path(), "FILL0001", 700);
  MakeFolders(folder);
  const std::string extra = folder + "FILL0001";
  {
    const auto file = rig.fs.CreateFill(extra);
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(rig.fs.NameExists(extra));
    EXPECT_EQ(rig.fs.CreateFill(extra), nullptr) << "a taken name is refused";
  }
  EXPECT_FALSE(rig.fs.NameExists(extra)) << "removed at its close";
}

// The free records' tree of small files, made and read back in a long folder.
TEST_F(Win32LongPathTest, SmallFilesAndFoldersAreMadeListedAndRemovedInALongFolder) {
  const std::string folder = FolderForPath(temp.Path(), "00\\00", 700);
  MakeFolders(folder);
  const std::string sub = folder + "00";
  auto held = rig.fs.CreateHeldFolder(sub);
  ASSERT_TRUE(held);
  const std::byte zeros[100]{};
  EXPECT_TRUE(held->CreateSmallFile("00", zeros, sizeof zeros).made);
  held.reset();
  const auto entries = rig.fs.ListFolder(sub);
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 1u);
  EXPECT_EQ((*entries)[0].name, "00");
  EXPECT_EQ((*entries)[0].size, 100);
  const auto read = rig.fs.ReadSmallFile(sub + "\\00", sizeof zeros);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->size(), sizeof zeros);
  EXPECT_TRUE(rig.fs.Delete(sub + "\\00"));
  EXPECT_TRUE(rig.fs.RemoveFolder(sub));
  EXPECT_TRUE(NamesIn(folder).empty());
}

}  // namespace
