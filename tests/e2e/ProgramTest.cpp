// The built Quorvane.exe as a user runs it, driven from this separate process.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "tests/e2e/RemoteProgram.h"
#include "tests/e2e/Screenshot.h"
#include "tests/support/TempFolder.h"
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

class ProgramTest : public ::testing::Test {
 protected:
  TTempFolder folder;
  TRemoteProgram program{ProgramPath()};

  // By its wide name: this process's code page is not UTF-8, the program's is.
  std::string MakeFile(const std::string& name, const std::string& bytes) {
    const std::string path = folder / name;
    const UniqueFile file(::CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return path;
  }
  // A file of `size` bytes whose first and last 64 KiB are its own data and whose
  // rest is a hole: no disk overwrites it in the moments a test needs a run busy.
  std::string MakeLargeFile(const std::string& name, std::int64_t size) {
    const std::string path = MakeFile(name, std::string(64 * 1024, 'x'));
    const UniqueFile file(::CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
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
    for (int i = 0; i < 6000 && program.ProgressPosition() == 0; ++i) ::Sleep(10);
    EXPECT_GT(program.ProgressPosition(), 0) << "the overwrite never started";
    return large;
  }
  static bool Exists(const std::string& path) {
    return ::GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
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

  ASSERT_TRUE(program.Run());
  EXPECT_EQ(program.ListItems(), (std::vector<std::string>{"SHREDDED! ... " + a, "SHREDDED! ... " + b, sub,
                                                           "SHREDDED! ... " + wide}));
  EXPECT_FALSE(Exists(a) || Exists(b) || Exists(wide));
  EXPECT_TRUE(Exists(sub));
  EXPECT_TRUE(Enabled(kIdBtnWipe));  // a run leaves the button as it was
  EXPECT_EQ(program.ProgressPosition(), 0);
  // The last entry the run started on is the UTF-8 name.
  EXPECT_EQ(program.Text(kIdEdit1), "shredding " + wide + ": size is 3000 bytes ...");

  // The window system puts the program's last drawing on screen in its own time.
  const RECT readout{461, 112, 546, 241};
  auto shot = std::make_unique<TScreenshot>(program.Window());
  for (int i = 0; i < 100 && shot->Count(readout, Red) <= 50; ++i, ::Sleep(50))
    shot = std::make_unique<TScreenshot>(program.Window());
  shot->SaveBmp(OutputPath("e2e-after-run.bmp"));
  ASSERT_EQ(shot->Width(), 548);
  ASSERT_EQ(shot->Height(), 330);
  EXPECT_GT(shot->Count({0, 0, 14, 300}, Black), 14 * 300 * 9 / 10) << "the client area is black";
  EXPECT_GT(shot->Count({20, 140, 440, 270}, Light), 400 * 100 * 9 / 10) << "the list is where the layout puts it";
  EXPECT_GT(shot->Count(readout, Red), 50) << "the readout shows red digits";
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
  for (int i = 0; i < 200 && !box; ++i, ::Sleep(50)) box = program.FindMessageBox();
  ASSERT_NE(box, nullptr);
  char caption[64] = {};
  ::GetWindowTextA(box, caption, 64);
  EXPECT_STREQ(caption, "Quorvane");
  wchar_t text[1024] = {};
  ::SendMessageW(::GetDlgItem(box, 0xFFFF), WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  EXPECT_EQ(WideToUtf8(text), "Cannot open file " + held + ".");
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
  EXPECT_EQ(program.ListItems(), std::vector<std::string>{large});
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

}  // namespace
