// The engine on real files under the real file system.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/Handles.h"
#include "engine/scrub/MetadataScrub.h"
#include "engine/run/ShredEngine.h"
#include "engine/Overwrite.h"
#include "engine/EntryRules.h"
#include "engine/run/ListRows.h"
#include "engine/run/ShredTexts.h"
#include "engine/win32/Win32FileSystem.h"
#include "tests/support/EngineRig.h"
#include "tests/support/TempFolder.h"

namespace {

class Win32ShredTest : public ::testing::Test {
 protected:
  TTempFolder folder;
  TEngineRigOn<TWin32FileSystem> rig;

  std::string MakeFile(const std::string& name, std::size_t size) {
    const std::string path = folder / name;
    WriteFileBytes(path, std::string(size, 'Q'));
    return path;
  }
};

bool AllZero(const std::string& bytes) { return bytes.find_first_not_of('\0') == std::string::npos; }

// Every name in a folder, "." and ".." aside.
std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  const UniqueFind find(::FindFirstFileA((folder + "*").c_str(), &found));
  if (!find) return names;
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (::FindNextFileA(find.get(), &found));
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(Win32ShredTest, FilesAreOverwrittenInBlocksWithTheirReadoutsAndProgress) {
  struct Case {
    std::size_t size;
    std::vector<std::size_t> readoutStarts;  // 1-based positions in the digit pattern
  };
  for (const Case& c : {Case{0, {}}, Case{100, {1}}, Case{16384, {85}}, Case{16385, {85, 1}},
                        Case{20000, {85, 17}}}) {
    SCOPED_TRACE(c.size);
    const std::string path = MakeFile("f" + std::to_string(c.size), c.size);
    rig.display = TRecordingDisplay{};
    EXPECT_EQ(rig.Shred(path), static_cast<std::int64_t>(c.size));

    EXPECT_EQ(rig.display.status, "shredding " + path + ": size is " + std::to_string(c.size) + " bytes ...");
    ASSERT_EQ(rig.display.readouts.size(), c.readoutStarts.size());
    for (std::size_t i = 0; i < c.readoutStarts.size(); ++i)
      EXPECT_EQ(rig.display.readouts[i], kDigitPattern.substr(c.readoutStarts[i] - 1, 120));
    EXPECT_EQ(rig.display.min, 0);
    EXPECT_EQ(rig.display.max, static_cast<std::int32_t>(c.size));
    std::vector<std::int32_t> expected{0};
    for (std::size_t done = 0; done < c.size;) {
      done += std::min<std::size_t>(16384, c.size - done);
      expected.push_back(static_cast<std::int32_t>(done));
    }
    expected.push_back(0);
    EXPECT_EQ(rig.display.positions, expected);

    const std::string after = ReadFileBytes(path);
    EXPECT_EQ(after.size(), c.size);
    EXPECT_TRUE(AllZero(after));
  }
}

TEST_F(Win32ShredTest, RunOverwritesDeletesAndMarksInListOrder) {
  const auto c = MakeFile("c.txt", 5000);
  const auto a = MakeFile("a.txt", 100);
  const auto b = MakeFile("b.txt", 40000);
  MakeFile("keep.txt", 10);
  rig.Run({c, a, b});
  // Gone under every name they passed through; the file not listed is untouched.
  EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::string>{"keep.txt"});
  EXPECT_EQ(ReadFileBytes(folder / "keep.txt"), std::string(10, 'Q'));
  EXPECT_EQ(rig.list.items, (std::vector<std::string>{"SHREDDED! ... " + c, "SHREDDED! ... " + a, "SHREDDED! ... " + b}));
  EXPECT_FALSE(PathExists(a) || PathExists(b) || PathExists(c));
  EXPECT_EQ(rig.display.status, "shredding " + b + ": size is 40000 bytes ...");
  EXPECT_EQ(rig.display.position, 0);
  EXPECT_EQ(rig.display.max, 40000);
}

TEST_F(Win32ShredTest, AReadOnlyFileIsClearedThenShredded) {
  const auto path = MakeFile("ro.txt", 300);
  ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(rig.Run({path})[0], "SHREDDED! ... " + path);
  EXPECT_FALSE(PathExists(path));
}

TEST_F(Win32ShredTest, AReadOnlyFolderGoesWholeEmptyEntriesAndUnqueryableDrivesAreSkipped) {
  const std::string dir = folder / "sub";
  ASSERT_TRUE(::CreateDirectoryA(dir.c_str(), nullptr));
  MakeFile("sub\\inner.txt", 100);
  ::SetFileAttributesA(dir.c_str(), FILE_ATTRIBUTE_READONLY);
  const std::string unc = "\\\\nosuchserver\\share\\missing.txt";
  const std::string noDrive = "B:\\missing.txt";  // no test maps B:
  EXPECT_EQ(rig.Run({dir, "", unc, noDrive}),
            (std::vector<std::string>{"SHREDDED! ... " + dir, LeftRow(RefusalText(CheckEntry("")), ""),
                                      LeftRow(kFreeSpaceUnknownReason, unc), LeftRow(kFreeSpaceUnknownReason, noDrive)}));
  EXPECT_TRUE(NamesIn(folder.Path()).empty());
  EXPECT_EQ(rig.engine.ShredSize(unc).Bytes, -1);
  EXPECT_EQ(rig.engine.ShredSize(noDrive).Bytes, -1);
  EXPECT_EQ(rig.display.status, "Not shredded: : it is not a full path of a file");  // the last entry told of
}

// Linux drives, WSL and \\?\ tools make names that end in a dot or a blank; the system's
// path rules would take "a.txt." for its neighbour "a.txt". Each is shredded as itself.
TEST_F(Win32ShredTest, ANameEndingInADotOrABlankIsShreddedAsItselfNeverItsNeighbour) {
  const std::string neighbour = MakeFile("a.txt", 3000);
  const std::string dotted = MakeFile("a.txt.", 2000);
  const std::string blank = MakeFile("x ", 1000);
  EXPECT_EQ(rig.Run({dotted, blank}),
            (std::vector<std::string>{"SHREDDED! ... " + dotted, "SHREDDED! ... " + blank}));
  EXPECT_EQ(ReadFileBytes(neighbour), std::string(3000, 'Q'));
  EXPECT_FALSE(PathExists(dotted));
  EXPECT_FALSE(PathExists(blank));
}

TEST_F(Win32ShredTest, ALowerCaseDriveLetterSelectsTheSameDrive) {
  // M: is a tmpfs in the test prefix: a lower-case letter that selected any
  // other drive would show C:'s free space, or none.
  ULARGE_INTEGER onM{}, onC{}, total{}, totalFree{};
  // scripts/wine-prefix.sh maps M: on every call: unmapped, the prefix is broken.
  ASSERT_TRUE(::GetDiskFreeSpaceExA("M:\\", &onM, &total, &totalFree))
      << "drive M: (the prefix's tmpfs) is not mapped";
  ASSERT_TRUE(::GetDiskFreeSpaceExA("C:\\", &onC, &total, &totalFree));
  const double tolerance = 64.0 * 1024 * 1024;  // the free space moves as other tests write
  if (std::abs(static_cast<double>(onM.QuadPart) - static_cast<double>(onC.QuadPart)) < 4 * tolerance)
    GTEST_SKIP() << "M: and C: have the same free space here, so the drives cannot be told apart";
  const double expected = 0.95 * static_cast<double>(onM.QuadPart);
  EXPECT_NEAR(static_cast<double>(rig.engine.ShredSize("M:\\no-such-file-here").Bytes), expected, tolerance);
  EXPECT_NEAR(static_cast<double>(rig.engine.ShredSize("m:\\no-such-file-here").Bytes), expected, tolerance);
}

TEST_F(Win32ShredTest, AFileHeldOpenEndsTheRunWithItsPath) {
  const auto first = MakeFile("1.txt", 10);
  const auto held = MakeFile("2.txt", 10);
  const auto third = MakeFile("3.txt", 10);
  const UniqueFile other(::CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(other);
  try {
    rig.Run({first, held, third});
    FAIL() << "the run went past a file it could not open";
  } catch (const EFOpenError& error) {
    EXPECT_EQ(error.Message(), "Cannot open file " + held);
  }
  EXPECT_EQ(rig.list.items, (std::vector<std::string>{"SHREDDED! ... " + first, held, third}));
  EXPECT_EQ(ReadFileBytes(third), std::string(10, 'Q'));
}

TEST_F(Win32ShredTest, AFileThatStaysAfterDeletionIsLeftUnmarkedEmptyUnderItsOwnName) {
  const auto path = MakeFile("pending.txt", 5000);
  const auto next = MakeFile("next.txt", 10);
  // An attribute-only handle lets the overwrite in, and keeps the file after DeleteFileA.
  const UniqueFile watcher(::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(watcher);
  EXPECT_EQ(rig.Run({path, next}),
            (std::vector<std::string>{LeftRow(kNotDeletedReason, path), "SHREDDED! ... " + next}));
  // It is back under its own name, for a later run, with nothing left to tell.
  EXPECT_EQ(NamesIn(folder.Path()), std::vector<std::string>{"pending.txt"});
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.nFileSizeLow, 0u);
  const auto written = static_cast<std::int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
  EXPECT_EQ(written, kScrubFileTime);
}

// The scrub's renames and a fill's files take names that may be taken by then.
TEST_F(Win32ShredTest, NeitherARenameNorAFillFileReplacesAFile) {
  const auto a = MakeFile("a.txt", 10);
  const auto b = MakeFile("b.txt", 20);
  EXPECT_FALSE(rig.fs.Rename(a, b));
  EXPECT_EQ(rig.fs.CreateFill(b), nullptr);
  EXPECT_EQ(ReadFileBytes(a), std::string(10, 'Q'));
  EXPECT_EQ(ReadFileBytes(b), std::string(20, 'Q'));
  EXPECT_TRUE(rig.fs.Rename(a, folder / "c.txt"));
  EXPECT_EQ(NamesIn(folder.Path()), (std::vector<std::string>{"b.txt", "c.txt"}));
}

// What the scrub reads to find a file's neighbours: every name in the folder, folders
// too, and nothing for a folder that cannot be read.
TEST_F(Win32ShredTest, AFolderListingHoldsItsFilesAndFoldersWithoutTheDots) {
  MakeFile("b.txt", 1);
  MakeFile("A.txt", 1);
  ASSERT_TRUE(::CreateDirectoryA((folder / "sub").c_str(), nullptr));
  MakeFile("sub\\inner.txt", 1);
  auto names = rig.fs.ListNames(folder.Path());
  ASSERT_TRUE(names);
  std::sort(names->begin(), names->end());
  EXPECT_EQ(*names, (std::vector<std::string>{"A.txt", "b.txt", "sub"}));
  EXPECT_FALSE(rig.fs.ListNames(folder / "no-such-folder\\"));
}

// The scrub sorts whole folders with CompareNames, which orders plain ASCII names
// itself: they must come out as the system orders them, case and punctuation alike.
TEST_F(Win32ShredTest, AsciiNamesCompareAsTheSystemComparesThem) {
  using CompareOrdinal = int(WINAPI*)(const wchar_t*, int, const wchar_t*, int, BOOL);
  const auto compare = reinterpret_cast<CompareOrdinal>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "CompareStringOrdinal")));
  ASSERT_NE(compare, nullptr);
  const std::vector<std::string> names = {"a", "A", "b", "_", "[", "~", "-", " ", "0", "9", "Z", "z", "{", "@",
                                          "ab", "aB", "a_", "a-", "A.txt", "a.TXT", "a~", "`", "^", ""};
  for (const auto& a : names)
    for (const auto& b : names) {
      const std::wstring wa(a.begin(), a.end()), wb(b.begin(), b.end());
      const int expected = compare(wa.c_str(), static_cast<int>(wa.size()), wb.c_str(), static_cast<int>(wb.size()), TRUE) - 2;
      EXPECT_EQ(rig.fs.CompareNames(a, b), expected) << "\"" << a << "\" and \"" << b << "\"";
    }
}

TEST_F(Win32ShredTest, AFillInAFolderThatDoesNotExistIsSkipped) {
  const std::string missing = folder / "no-such-folder\\file.txt";
  EXPECT_EQ(rig.Run({missing})[0], LeftRow(kFreeSpaceUnknownReason, missing));
  EXPECT_FALSE(PathExists(missing));
}

// The operations the record fill and its clean-up stand on: nothing of that name is
// ever replaced or emptied, and a listing and a read tell exactly what is there.
TEST_F(Win32ShredTest, SmallFilesAndFoldersNeverReplaceWhatIsThere) {
  const std::string data(100, 'Z');
  const auto* bytes = reinterpret_cast<const std::byte*>(data.data());
  const std::string held = folder / "h";
  const auto heldFolder = rig.fs.CreateHeldFolder(held);
  ASSERT_TRUE(heldFolder);
  EXPECT_FALSE(rig.fs.CreateHeldFolder(held));
  EXPECT_GT(heldFolder->FreeSpace(), 0);
  const TSmallFile made = heldFolder->CreateSmallFile("0", bytes, 100);
  EXPECT_TRUE(made.made);
  EXPECT_GE(made.allocation, 0);
  EXPECT_GE(made.record, 0);
  EXPECT_FALSE(heldFolder->CreateSmallFile("0", bytes, 5).made);
  const std::string small = held + "\\0";
  EXPECT_EQ(ReadFileBytes(small), data);

  const std::string sub = folder / "1";
  EXPECT_TRUE(rig.fs.CreateFolder(sub));
  EXPECT_FALSE(rig.fs.CreateFolder(sub));
  EXPECT_FALSE(rig.fs.CreateFolder(small));
  MakeFile("1\\kept", 3);
  EXPECT_FALSE(rig.fs.RemoveFolder(sub));

  auto entries = rig.fs.ListFolder(held);
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 1u);
  EXPECT_EQ((*entries)[0].name, "0");
  EXPECT_FALSE((*entries)[0].folder);
  EXPECT_EQ((*entries)[0].size, 100);
  entries = rig.fs.ListFolder(sub);
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 1u);
  EXPECT_EQ((*entries)[0].name, "kept");
  EXPECT_FALSE(rig.fs.ListFolder(small));

  EXPECT_FALSE(rig.fs.ReadSmallFile(small, 99));
  const auto read = rig.fs.ReadSmallFile(small, 100);
  ASSERT_TRUE(read);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(read->data()), read->size()), data);
}

}  // namespace
