// The built Quorvane.exe as a user runs it, driven from this separate process.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "settings/ExplorerMenu.h"
#include "tests/e2e/RemoteProgram.h"
#include "tests/e2e/Screenshot.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowProbe.h"
#include "ui/ShredderIds.h"

namespace {

std::string ProgramPath() {
  char self[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path = self;
  path.resize(path.find_last_of('\\'));  // tests\e2e
  path.resize(path.find_last_of('\\'));  // tests
  path.resize(path.find_last_of('\\'));  // the build folder
  return path + "\\ui\\Quorvane.exe";
}

std::string OutputPath(const std::string& name) {
  const std::string exe = ProgramPath();
  return exe.substr(0, exe.find_last_of('\\') + 1) + name;
}

bool Black(COLORREF c) { return GetRValue(c) < 16 && GetGValue(c) < 16 && GetBValue(c) < 16; }
bool Red(COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) < 60; }
bool Light(COLORREF c) { return GetRValue(c) > 200 && GetGValue(c) > 200 && GetBValue(c) > 200; }

// Paths in UTF-8, the program's code page, by their wide names: this process's code
// page is not UTF-8.
void MakeUtf8File(const std::string& path, const std::string& bytes) {
  const UniqueFile file(
      ::CreateFileW(LongPathOf(path, CP_UTF8).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
bool Exists(const std::string& path) {
  return ::GetFileAttributesW(LongPathOf(path, CP_UTF8).c_str()) != INVALID_FILE_ATTRIBUTES;
}

class ProgramTest : public ::testing::Test {
 protected:
  TTempFolder folder;
  TRemoteProgram program{ProgramPath()};

  std::string MakeFile(const std::string& name, const std::string& bytes) {
    const std::string path = folder / name;
    MakeUtf8File(path, bytes);
    return path;
  }
  // A file of `size` bytes whose first and last 64 KiB are its own data and whose
  // rest is a hole: no disk overwrites it in the moments a test needs a run busy.
  std::string MakeLargeFile(const std::string& name, std::int64_t size) {
    const std::string path = MakeFile(name, std::string(64 * 1024, 'x'));
    const UniqueFile file(
        ::CreateFileW(LongPathOf(path, CP_UTF8).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER tail{};
    tail.QuadPart = size - 64 * 1024;
    ::SetFilePointerEx(file.get(), tail, nullptr, FILE_BEGIN);
    const std::string ends(64 * 1024, 'x');
    DWORD written = 0;
    ::WriteFile(file.get(), ends.data(), static_cast<DWORD>(ends.size()), &written, nullptr);
    return path;
  }
  // Starts a run on a large file and returns once it is overwriting it.
  std::string StartALongRun() {
    const std::string large = MakeLargeFile("large.bin", std::int64_t{16} << 30);
    program.Drop({large});
    program.Click(kIdBtnWipe);
    WaitFor([&] { return program.ProgressPosition() > 0; }, std::chrono::seconds(60));
    EXPECT_GT(program.ProgressPosition(), 0) << "the overwrite never started";
    return large;
  }
  bool Enabled(int id) const { return ::IsWindowEnabled(program.Control(id)) != FALSE; }
};

TEST_F(ProgramTest, DroppedFilesAreShreddedAndMarkedAndTheScreenShowsIt) {
  EXPECT_FALSE(Enabled(kIdBtnWipe));
  const auto b = MakeFile("b.txt", std::string(20000, 'B'));
  const auto a = MakeFile("a.txt", std::string(100, 'A'));
  // Outside any single 8-bit code page: it must still reach the right file.
  const auto wide = MakeFile("\xC3\xBC-\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB-\xE6\x96\x87.txt", std::string(3000, 'W'));
  const std::string sub = folder / "sub";
  ASSERT_TRUE(::CreateDirectoryA(sub.c_str(), nullptr));

  program.Drop({b, a, wide, sub});
  EXPECT_TRUE(Enabled(kIdBtnWipe));
  const std::vector<std::string> sorted{a, b, sub, wide};
  ASSERT_EQ(program.ListItems(), sorted);

  // A run that holds a folder asks first; "Yes" shreds it whole with the files.
  program.ClickAsync(kIdBtnWipe);
  HWND box = nullptr;
  WaitFor([&] { return (box = program.FindMessageBox()) != nullptr; });
  ASSERT_NE(box, nullptr);
  wchar_t told[1024] = {};
  ::SendMessageW(::GetDlgItem(box, 0xFFFF), WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(told));
  EXPECT_EQ(NarrowOf(told, CP_UTF8).rfind("Shred this folder whole, with everything in it?\n\n" + sub +
                                           ": 0 files, 0 bytes\n\n", 0),
            0u)
      << NarrowOf(told, CP_UTF8);
  ::PostMessageA(box, WM_COMMAND, IDYES, 0);
  ASSERT_TRUE(program.WaitForRunEnd());
  ASSERT_TRUE(program.WaitIdle());
  EXPECT_EQ(program.ListItems(), (std::vector<std::string>{"SHREDDED! ... " + a, "SHREDDED! ... " + b,
                                                           "SHREDDED! ... " + sub, "SHREDDED! ... " + wide}));
  EXPECT_FALSE(Exists(a) || Exists(b) || Exists(wide) || Exists(sub));
  EXPECT_TRUE(Enabled(kIdBtnWipe));  // a run leaves the button as it was
  EXPECT_EQ(program.ProgressPosition(), 0);
  // The last entry the run started on is the UTF-8 name.
  EXPECT_EQ(program.Text(kIdEdit1), "shredding " + wide + ": size is 3000 bytes ... (file 3 of 3)");

  // The window system puts the program's last drawing on screen in its own time.
  const RECT readout{461, 112, 546, 241};
  auto shot = std::make_unique<TScreenshot>(program.Window());
  WaitFor([&] {
    shot = std::make_unique<TScreenshot>(program.Window());
    return shot->Count(readout, Red) > 50;
  }, std::chrono::seconds(5));
  shot->SaveBmp(OutputPath("e2e-after-run.bmp"));
  ASSERT_EQ(shot->Width(), 548);
  ASSERT_EQ(shot->Height(), 330);
  EXPECT_GT(shot->Count({0, 0, 14, 300}, Black), 14 * 300 * 9 / 10) << "the client area is black";
  EXPECT_GT(shot->Count({20, 140, 440, 270}, Light), 400 * 100 * 9 / 10) << "the list is where the layout puts it";
  EXPECT_GT(shot->Count(readout, Red), 50) << "the readout shows red digits";
  EXPECT_TRUE(program.Close());
}

// Past the 512 characters in which Wine's 8-bit list-box messages convert a row
// (on the stack: a longer row overwrites the return address with its own text).
TEST_F(ProgramTest, AnEntryOf600CharactersGoesThroughAWholeRun) {
  const std::string name = "Quarterly-Merger-Plan.docx";
  const std::string sub = FolderForPath(folder.Path(), name, 600).substr(folder.Path().size());
  MakeFolders(folder / sub);
  const std::string path = MakeFile(sub + name, std::string(5000, 'L'));
  ASSERT_EQ(path.size(), 600u);
  program.Drop({path});
  ASSERT_EQ(program.ListItems(), std::vector<std::string>{path});
  ASSERT_TRUE(program.Run());
  EXPECT_EQ(program.ListItems(), std::vector<std::string>{"SHREDDED! ... " + path});
  EXPECT_EQ(program.Text(kIdEdit1), "shredding " + path + ": size is 5000 bytes ...") << "no prefix shows";
  EXPECT_FALSE(Exists(path));
  EXPECT_TRUE(program.Close());
}

TEST_F(ProgramTest, AFileHeldOpenStopsTheRunWithAMessage) {
  const auto first = MakeFile("1.txt", "one");
  const auto held = MakeFile("2.txt", "two");
  const auto third = MakeFile("3.txt", "three");
  const UniqueFile other(::CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  program.Drop({first, held, third});
  program.ClickAsync(kIdBtnWipe);
  HWND box = nullptr;
  WaitFor([&] { return (box = program.FindMessageBox()) != nullptr; });
  ASSERT_NE(box, nullptr);
  char caption[64] = {};
  ::GetWindowTextA(box, caption, 64);
  EXPECT_STREQ(caption, "Quorvane");
  wchar_t text[1024] = {};
  ::SendMessageW(::GetDlgItem(box, 0xFFFF), WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  EXPECT_EQ(NarrowOf(text, CP_UTF8), "Cannot open file " + held + ".");
  ::PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(program.WaitIdle());
  EXPECT_EQ(program.ListItems(), (std::vector<std::string>{"SHREDDED! ... " + first, held, third}));
  EXPECT_EQ(ReadFileBytes(third), "three");
  EXPECT_TRUE(program.Close());
}

// The window answers a second program all through a run, and Esc stops the run as
// the button does: the file is kept, partly overwritten, and said to be so.
TEST_F(ProgramTest, TheWindowAnswersDuringARunAndEscStopsIt) {
  const std::string large = StartALongRun();
  EXPECT_EQ(program.Text(kIdBtnWipe), "&Stop");
  EXPECT_TRUE(Enabled(kIdBtnWipe));
  EXPECT_FALSE(Enabled(kIdBtnBrowse) || Enabled(kIdButton1));
  double slowest = 0;
  for (int i = 0; i < 20; ++i) slowest = std::max(slowest, program.AnswerTime(5000));
  std::printf("the slowest of 20 answers during the run took %.1f ms\n", slowest);
  EXPECT_GE(slowest, 0) << "the window did not answer within 5 s";

  ::PostMessageA(program.Control(kIdBtnWipe), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  ::PostMessageA(program.Control(kIdBtnWipe), WM_KEYUP, VK_ESCAPE, 0xC0010001);
  ASSERT_TRUE(program.WaitForRunEnd(60000)) << "Esc did not stop the run";
  EXPECT_TRUE(Enabled(kIdBtnWipe) && Enabled(kIdBtnBrowse) && Enabled(kIdButton1));
  EXPECT_EQ(program.ListItems(),
            std::vector<std::string>{"NOT SHREDDED (stopped while it was overwritten: partly zeros, not deleted) ... " +
                                     large});
  EXPECT_EQ(program.Text(kIdEdit1), "Stopped: " + large + " is only partly overwritten with zeros, and was not deleted");
  EXPECT_TRUE(Exists(large));
  EXPECT_TRUE(program.Close());
}

// Closing the window during a run stops it, and then the program ends by itself.
TEST_F(ProgramTest, ClosingDuringARunStopsItAndEndsTheProgram) {
  const std::string large = StartALongRun();
  const ULONGLONG asked = ::GetTickCount64();
  ::PostMessageA(program.Window(), WM_CLOSE, 0, 0);
  ASSERT_EQ(program.WaitForExit(60000), 0) << "the program did not end by itself";
  std::printf("the program ended %llu ms after it was asked to close\n", ::GetTickCount64() - asked);
  EXPECT_TRUE(Exists(large)) << "a file stopped halfway is kept";
}

TEST_F(ProgramTest, DontShredRemovesTheSelectionOrEverything) {
  const auto a = MakeFile("a", "a");
  const auto b = MakeFile("b", "b");
  const auto c = MakeFile("c", "c");
  program.Drop({a, b, c});
  const HWND list = program.Control(kIdListBox1);
  ::SendMessageA(list, LB_SETSEL, TRUE, 1);
  program.Click(kIdButton1);
  EXPECT_EQ(program.ListItems(), (std::vector<std::string>{a, c}));
  EXPECT_TRUE(Enabled(kIdBtnWipe));
  program.Click(kIdButton1);
  EXPECT_TRUE(program.ListItems().empty());
  EXPECT_FALSE(Enabled(kIdBtnWipe));
  EXPECT_TRUE(Exists(a) && Exists(b) && Exists(c));  // removing is not shredding
  EXPECT_TRUE(program.Close());
}

// Explorer's "Send To" starts the program with the chosen files as its arguments.
class StartedWithNamesTest : public ::testing::Test {
 protected:
  TTempFolder folder;
};

TEST_F(StartedWithNamesTest, TheNamesAreListedAtTheirFullPathsAndReachTheirFiles) {
  const std::string absolute = folder / "a.txt";
  const std::string blanks = folder / "with blanks\\b c.txt";
  const std::string foreign = folder / "\xC3\xBC-\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB-\xE6\x96\x87.txt";  // UTF-8
  MakeFolders(folder / "with blanks");
  MakeFolders(folder / "sub");
  const std::string relative = folder / "sub\\relative.txt";
  for (const std::string& path : {absolute, blanks, foreign, relative}) MakeUtf8File(path, std::string(300, 'S'));
  const std::wstring arguments = L"\"" + WideOf(absolute) + L"\" \"" + WideOf(blanks) + L"\" sub\\relative.txt \"" +
                                 WideOf(foreign, CP_UTF8) + L"\"";
  TRemoteProgram program(ProgramPath(), arguments, folder.Path());
  ASSERT_TRUE(program.WaitIdle());
  // Sorted by the list's collation, where "\xC3\xBC" sorts with "u".
  EXPECT_EQ(program.ListItems(), (std::vector<std::string>{absolute, relative, foreign, blanks}));
  EXPECT_TRUE(::IsWindowEnabled(program.Control(kIdBtnWipe)));

  // A start with no names while the window is open only brings it to the front.
  EXPECT_EQ(RunCommandLine(L"\"" + WideOf(ProgramPath()) + L"\"", 20000), 0);
  ASSERT_TRUE(program.WaitIdle());
  EXPECT_EQ(program.ListItems().size(), 4u);

  ASSERT_TRUE(program.Run());
  const auto items = program.ListItems();
  ASSERT_EQ(items.size(), 4u);
  for (const std::string& item : items) EXPECT_EQ(item.rfind("SHREDDED! ... ", 0), 0u) << item;
  for (const std::string& path : {absolute, relative, blanks, foreign}) EXPECT_FALSE(Exists(path)) << path;
  EXPECT_TRUE(program.Close());
}

// The command Explorer runs for an item, as the File menu registered it.
std::wstring ExplorerCommand(const wchar_t* verbKey, const std::string& item) {
  wchar_t command[1024] = {};
  DWORD size = sizeof command;
  const std::wstring key = std::wstring(verbKey) + L"\\command";
  if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, command, &size) != ERROR_SUCCESS)
    return L"";
  std::wstring line = command;
  if (const auto at = line.find(L"%1"); at != std::wstring::npos) line.replace(at, 2, WideOf(item, CP_UTF8));
  return line;
}

// Explorer starts its verb once for each chosen item: each start hands its name to
// the open window and ends, and that one window lists them all.
TEST_F(StartedWithNamesTest, ExplorersVerbsListEveryChosenItemInTheOneOpenWindow) {
  const std::string file = folder / "chosen.txt";
  const std::string chosenFolder = folder / "chosen folder";
  MakeUtf8File(file, "S");
  MakeFolders(chosenFolder);
  TRemoteProgram program(ProgramPath());
  // Registered as the File menu registers them (the main window's tests click it).
  AddExplorerMenu(WideOf(ProgramPath()));
  const std::wstring forFile = ExplorerCommand(kFileVerbKey.data(), file);
  const std::wstring forFolder = ExplorerCommand(kFolderVerbKey.data(), chosenFolder);
  RemoveExplorerMenu();
  ASSERT_FALSE(forFile.empty());
  ASSERT_FALSE(forFolder.empty());

  EXPECT_EQ(RunCommandLine(forFile, 20000), 0);
  EXPECT_EQ(RunCommandLine(forFolder, 20000), 0);
  // The window lists handed names once it has answered the start that handed them.
  WaitFor([&] { return program.ListItems().size() == 2; });
  auto items = program.ListItems();
  std::sort(items.begin(), items.end());
  EXPECT_EQ(items, (std::vector<std::string>{chosenFolder, file}));
  EXPECT_TRUE(program.Close());
}

// Explorer may start its verb for each chosen item all at once: one start opens the
// window, and every other one hands its name to it and ends.
TEST_F(StartedWithNamesTest, StartsAtOnceEndInOneWindowWithAllTheirNames) {
  std::vector<std::string> files;
  std::vector<UniqueFile> starts;
  std::vector<DWORD> ids;
  for (int i = 0; i < 4; ++i) {
    files.push_back(folder / ("at once " + std::to_string(i) + ".txt"));
    MakeUtf8File(files.back(), "S");
  }
  for (const std::string& file : files) {
    ids.push_back(0);
    starts.push_back(StartCommandLine(L"\"" + WideOf(ProgramPath()) + L"\" \"" + WideOf(file, CP_UTF8) + L"\"", &ids.back()));
  }
  // However the test ends, no start of it stays behind to take the next test's names.
  struct TEndStarts {
    std::vector<UniqueFile>& Starts;
    ~TEndStarts() {
      for (const UniqueFile& start : Starts)
        if (start) ::TerminateProcess(start.get(), 99);
    }
  } endStarts{starts};
  const auto ended = [&] {
    return std::count_if(starts.begin(), starts.end(),
                         [](const UniqueFile& start) { return ::WaitForSingleObject(start.get(), 0) == WAIT_OBJECT_0; });
  };
  ASSERT_TRUE(WaitFor([&] { return ended() == 3; }, std::chrono::seconds(60))) << ended() << " of 4 starts ended";
  const auto open = std::find_if(starts.begin(), starts.end(),
                                 [](const UniqueFile& start) { return ::WaitForSingleObject(start.get(), 0) != WAIT_OBJECT_0; });
  ASSERT_NE(open, starts.end());
  const DWORD openId = ids[static_cast<std::size_t>(open - starts.begin())];
  TRemoteProgram program(std::move(*open), openId);
  for (const UniqueFile& start : starts) {
    DWORD code = 99;
    if (start) ::GetExitCodeProcess(start.get(), &code);
    EXPECT_TRUE(!start || code == 0) << code;
  }
  WaitFor([&] { return program.ListItems().size() == files.size(); });
  auto items = program.ListItems();
  std::sort(items.begin(), items.end());
  EXPECT_EQ(items, files);
  EXPECT_TRUE(program.Close());
}

// Under the program's UTF-8 code page only broken UTF-16 has no 8-bit form.
TEST_F(StartedWithNamesTest, ANameTheCodePageCannotHoldIsNamedInOneMessage) {
  const std::wstring broken = WideOf(folder / "half") + L"\xD800.txt";
  const std::string fits = folder / "fits.txt";
  TRemoteProgram program(ProgramPath(), L"\"" + broken + L"\" \"" + WideOf(fits) + L"\"");
  HWND box = nullptr;
  WaitFor([&] { return (box = program.FindMessageBox()) != nullptr; });
  ASSERT_NE(box, nullptr);
  wchar_t text[4096] = {};
  ::SendMessageW(::GetDlgItem(box, 0xFFFF), WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
  EXPECT_NE(std::wstring(text).find(L"\n" + broken), std::wstring::npos) << NarrowOf(text, CP_UTF8);
  EXPECT_NE(std::wstring(text).find(L"code page (65001)"), std::wstring::npos) << NarrowOf(text, CP_UTF8);
  ::PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(program.WaitIdle());
  EXPECT_EQ(program.ListItems(), std::vector<std::string>{fits});
  EXPECT_TRUE(program.Close());
}

// Windows takes paths over 260 characters without the prefix only from a program
// that says it is ready for them; Wine reads neither setting, so it is read here.
TEST(ProgramManifestTest, SaysTheProgramTakesLongPathsAndUtf8) {
  const HMODULE exe = ::LoadLibraryExW(WideOf(ProgramPath()).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(exe, nullptr);
  const HRSRC found = ::FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
  ASSERT_NE(found, nullptr);
  const auto* data = static_cast<const char*>(::LockResource(::LoadResource(exe, found)));
  const std::string manifest(data, ::SizeofResource(exe, found));
  ::FreeLibrary(exe);
  EXPECT_NE(manifest.find("<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true"
                          "</longPathAware>"),
            std::string::npos);
  EXPECT_NE(manifest.find("<activeCodePage xmlns=\"http://schemas.microsoft.com/SMI/2019/WindowsSettings\">UTF-8"
                          "</activeCodePage>"),
            std::string::npos);
}

}  // namespace
