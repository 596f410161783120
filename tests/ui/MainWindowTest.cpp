// The main window in this process, with real controls, real drops, the real file
// dialog and real files.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <thread>

#include "tests/support/DropFiles.h"
#include "tests/support/WindowProbe.h"
#include "base/WideText.h"
#include "framework/AnsiNames.h"
#include "framework/Application.h"
#include "base/Handles.h"
#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/Label.h"
#include "framework/Menu.h"
#include "framework/OpenDialog.h"
#include "framework/ProgressBar.h"
#include "engine/win32/Win32FileSystem.h"
#include "engine/folders/FolderTally.h"
#include "engine/run/ListRows.h"
#include "engine/run/ShredTexts.h"
#include "settings/ExplorerMenu.h"
#include "settings/Settings.h"
#include "tests/support/TempFolder.h"
#include "ui/CommandLine.h"
#include "ui/DDDest.h"
#include "ui/HListBox.h"
#include "ui/ShredderIds.h"
#include "ui/about.h"
#include "ui/pShredder.h"

namespace {

void Pump() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

// Handles this thread's messages, as the program's loop would, until done() holds;
// false when it still did not after two minutes.
bool PumpUntil(const std::function<bool()>& done) {
  const ULONGLONG limit = ::GetTickCount64() + 120000;
  while (!done()) {
    if (::GetTickCount64() > limit) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    Pump();
  }
  return true;
}

// A file of `size` bytes that holds its own data only in its first and last 64 KiB;
// the rest is a hole, which takes no room until written. Big enough that no disk
// overwrites it in the moments a test needs a run to be busy.
void MakeLargeFile(const std::string& path, std::int64_t size) {
  const UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(file);
  const std::string ends(64 * 1024, 'x');
  DWORD written = 0;
  ASSERT_TRUE(::WriteFile(file.get(), ends.data(), static_cast<DWORD>(ends.size()), &written, nullptr));
  LARGE_INTEGER tail{};
  tail.QuadPart = size - static_cast<std::int64_t>(ends.size());
  ASSERT_TRUE(::SetFilePointerEx(file.get(), tail, nullptr, FILE_BEGIN));
  ASSERT_TRUE(::WriteFile(file.get(), ends.data(), static_cast<DWORD>(ends.size()), &written, nullptr));
}

// `length` bytes of a file from `offset`.
std::string FileBytesAt(const std::string& path, std::int64_t offset, DWORD length) {
  const UniqueFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  LARGE_INTEGER at{};
  at.QuadPart = offset;
  std::string bytes(length, '\0');
  DWORD read = 0;
  if (!file || !::SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) ||
      !::ReadFile(file.get(), bytes.data(), length, &read, nullptr))
    return "<cannot read>";
  bytes.resize(read);
  return bytes;
}

// "SearchPath" as the registry holds it, type and all, not as the program reads it.
std::string StoredSearchPath() {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Brenvold\\Quorvane\\", 0, KEY_READ, &opened) != ERROR_SUCCESS)
    return "<no key>";
  const UniqueHKey key(opened);
  char data[1024] = {};
  DWORD type = 0, size = sizeof data - 1;
  const LONG status = ::RegQueryValueExA(key.get(), "SearchPath", nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  if (status != ERROR_SUCCESS) return "<no value>";
  if (type != REG_SZ) return "<not REG_SZ>";
  return data;
}

// Answers the open dialog as a user would: types names into it and confirms.
void AnswerDialog(const std::wstring& typed) {
  const HWND dialog = WaitForDialog("Select the File(s) to Shred");
  if (!dialog) return;
  ::SendMessageW(::GetDlgItem(dialog, 0x47c), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
  ::PostMessageA(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Brenvold\\Quorvane");
    Application.SetTitle("Quorvane");
    frmShredder = new TfrmShredder(nullptr);
    frmAbout = new TfrmAbout(nullptr);
    form = frmShredder;
    form->Show();
    Pump();
  }
  void TearDown() override {
    delete frmAbout;
    delete frmShredder;
    frmAbout = nullptr;
    frmShredder = nullptr;
    Pump();
  }
  void Drop(const std::vector<std::string>& names) {
    ::SendMessageA(form->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(names)), 0);
  }
  // "Shred NOW!", and the window's messages until the run is over and shown.
  void RunToTheEnd() {
    form->btnWipe->Click();
    ASSERT_TRUE(PumpUntil([this] { return !form->Running(); })) << "the run did not end";
  }
  std::vector<std::string> Items() const {
    std::vector<std::string> items;
    for (int i = 0; i < form->ListBox1->Count(); ++i) items.push_back(form->ListBox1->Text(i));
    return items;
  }
  static RECT ClientRectOf(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  TfrmShredder* form = nullptr;
  TTempFolder folder;
};

TEST_F(MainWindowTest, TheWindowComesUpAsItsLayoutSays) {
  const HWND window = form->Handle();
  RECT client{};
  ::GetClientRect(window, &client);
  EXPECT_EQ(client.right, 548);
  EXPECT_EQ(client.bottom, 330);
  RECT outer{};
  ::GetWindowRect(window, &outer);
  EXPECT_EQ(outer.left, 125);
  EXPECT_EQ(outer.top, 116);
  char caption[32] = {};
  ::GetWindowTextA(window, caption, 32);
  EXPECT_STREQ(caption, "Quorvane");
  EXPECT_NE(::GetWindowLongPtrA(window, GWL_STYLE) & WS_THICKFRAME, 0);
  EXPECT_NE(::GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);

  struct Expected {
    int id;
    RECT rect;
    const char* text;
  };
  for (const Expected& e : {Expected{kIdListBox1, {16, 32, 449, 273}, ""},
                            Expected{kIdEdit1, {16, 280, 449, 301}, ""},
                            Expected{kIdLabel2, {461, 112, 546, 241}, ""},
                            Expected{kIdBtnBrowse, {456, 48, 545, 73}, "&Select File(s)"},
                            Expected{kIdButton1, {456, 80, 545, 105}, "&Don't Shred"},
                            Expected{kIdBtnWipe, {456, 248, 545, 273}, "Shred &NOW!"},
                            Expected{kIdBtnClose, {456, 280, 545, 305}, "&Close"},
                            Expected{kIdPbWiping, {0, 314, 548, 330}, ""},
                            Expected{kIdLabel1, {16, 8, 527, 24},
                                     "Drag and drop files from Windows Explorer or click the Select Files button."}}) {
    SCOPED_TRACE(e.id);
    const HWND control = ::GetDlgItem(window, e.id);
    ASSERT_NE(control, nullptr);
    const RECT r = ClientRectOf(control);
    EXPECT_EQ(r.left, e.rect.left);
    EXPECT_EQ(r.top, e.rect.top);
    EXPECT_EQ(r.right, e.rect.right);
    EXPECT_EQ(r.bottom, e.rect.bottom);
    char text[128] = {};
    ::GetWindowTextA(control, text, 128);
    EXPECT_STREQ(text, e.text);
  }
  EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(window, kIdBtnWipe)));
  EXPECT_NE(::GetWindowLongPtrA(::GetDlgItem(window, kIdListBox1), GWL_STYLE) & LBS_EXTENDEDSEL, 0);
  EXPECT_NE(::GetWindowLongPtrA(::GetDlgItem(window, kIdListBox1), GWL_STYLE) & LBS_SORT, 0);
  EXPECT_NE(::GetWindowLongPtrA(::GetDlgItem(window, kIdEdit1), GWL_STYLE) & ES_READONLY, 0);
  PBRANGE range{};
  ::SendMessageA(::GetDlgItem(window, kIdPbWiping), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iLow, 0);
  EXPECT_EQ(range.iHigh, 100);

  LOGFONTA font{};
  ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(::GetDlgItem(window, kIdLabel1), WM_GETFONT, 0, 0)), sizeof font,
               &font);
  EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
  EXPECT_EQ(font.lfWeight, FW_BOLD);
  ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(::GetDlgItem(window, kIdEdit1), WM_GETFONT, 0, 0)), sizeof font,
               &font);
  EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
  ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(::GetDlgItem(window, kIdLabel2), WM_GETFONT, 0, 0)), sizeof font,
               &font);
  EXPECT_TRUE(std::string(font.lfFaceName) == "OCR A Extended" || std::string(font.lfFaceName) == "OCRA")
      << font.lfFaceName;
}

TEST_F(MainWindowTest, OnResizeTheButtonsFollowTheRightEdgeAndTheBarTheBottom) {
  const HWND window = form->Handle();
  RECT outer{};
  ::GetWindowRect(window, &outer);
  ::SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left + 100, outer.bottom - outer.top + 50,
                 SWP_NOMOVE | SWP_NOZORDER);
  Pump();
  EXPECT_EQ(ClientRectOf(::GetDlgItem(window, kIdBtnWipe)).left, 556);
  EXPECT_EQ(ClientRectOf(::GetDlgItem(window, kIdBtnBrowse)).left, 556);
  EXPECT_EQ(ClientRectOf(::GetDlgItem(window, kIdListBox1)).right, 449);
  EXPECT_EQ(ClientRectOf(::GetDlgItem(window, kIdLabel2)).left, 461);
  const RECT bar = ClientRectOf(::GetDlgItem(window, kIdPbWiping));
  EXPECT_EQ(bar.top, 364);
  EXPECT_EQ(bar.right, 648);
}

TEST_F(MainWindowTest, DropsAreListedSortedAndEnableShredding) {
  Drop({"C:\\b.txt", "C:\\a.txt", "C:\\b.txt"});
  EXPECT_EQ(Items(), (std::vector<std::string>{"C:\\a.txt", "C:\\b.txt", "C:\\b.txt"}));
  EXPECT_TRUE(form->btnWipe->Enabled());
}

// Explorer's "Send To" starts the program with the chosen files; start-up lists
// them as a drop of them would be, each at its full path.
TEST_F(MainWindowTest, NamesOnTheCommandLineAreListedAsADropsAreAtTheirFullPaths) {
  std::wstring current(::GetCurrentDirectoryW(0, nullptr), L'\0');
  current.resize(::GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data()));
  const std::vector<std::wstring> names = CommandLineNames(
      L"\"C:\\Program Files\\Quorvane\\Quorvane.exe\" C:\\b.txt \"C:\\with blanks\\a.txt\" \"\" rel\\c.txt "
      L"C:\\x\\..\\caf\x00E9.txt");
  EXPECT_EQ(names, (std::vector<std::wstring>{L"C:\\b.txt", L"C:\\with blanks\\a.txt", current + L"\\rel\\c.txt",
                                              L"C:\\caf\x00E9.txt"}));
  EXPECT_TRUE(CommandLineNames(L"Quorvane.exe").empty());
  EXPECT_TRUE(CommandLineNames(L"").empty());

  form->DnDForm1->ReportNames(names);
  EXPECT_EQ(Items(), (std::vector<std::string>{"C:\\b.txt", "C:\\caf\xE9.txt", "C:\\with blanks\\a.txt",
                                               NarrowOf(current) + "\\rel\\c.txt"}));
  EXPECT_TRUE(form->btnWipe->Enabled());
}

// Whether the list paints when asked to now: while its drawing is held it paints
// nothing, and the marker colour stays where its first row would be drawn.
bool ListPaints(HWND list) {
  constexpr COLORREF kMarker = RGB(1, 2, 3);
  const WindowDc screen(nullptr);
  const UniqueMemoryDc memory(::CreateCompatibleDC(screen.get()));
  const UniqueHBitmap bitmap(::CreateCompatibleBitmap(screen.get(), 16, 16));
  const SelectedObject selected(memory.get(), bitmap.get());
  const UniqueHBrush marker(::CreateSolidBrush(kMarker));
  const RECT area{0, 0, 16, 16};
  ::FillRect(memory.get(), &area, marker.get());
  ::SendMessageA(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.get()), PRF_CLIENT | PRF_ERASEBKGND);
  return ::GetPixel(memory.get(), 4, 4) != kMarker;
}

// While a command runs, the list holds its drawing and the status line is painted
// without being given its text. Each command, a drop included, must leave both
// drawn when it returns, with no message handled in between.
TEST_F(MainWindowTest, EveryCommandLeavesTheListDrawnAndTheStatusLineHoldingItsText) {
  const HWND list = form->ListBox1->WindowHandle();
  const std::string path = folder / "drawn.bin";
  WriteFileBytes(path, std::string(100, 'd'));
  Drop({path, folder / "second.bin"});
  EXPECT_TRUE(ListPaints(list)) << "after a drop";
  form->ListBox1->SetSelected(1, true);
  form->Button1->Click();
  EXPECT_TRUE(ListPaints(list)) << "after Don't Shred";
  RunToTheEnd();
  EXPECT_TRUE(ListPaints(list)) << "after a run";
  EXPECT_EQ(Items(), std::vector<std::string>{"SHREDDED! ... " + path});
  EXPECT_EQ(form->Edit1->Text(), "shredding " + path + ": size is 100 bytes ...");
}

TEST_F(MainWindowTest, DontShredRemovesTheSelectionOrEverything) {
  form->Button1->Click();
  EXPECT_FALSE(form->btnWipe->Enabled());
  Drop({"C:\\1", "C:\\2", "C:\\3", "C:\\4"});
  form->ListBox1->SetSelected(1, true);
  form->ListBox1->SetSelected(3, true);
  form->Button1->Click();
  EXPECT_EQ(Items(), (std::vector<std::string>{"C:\\1", "C:\\3"}));
  EXPECT_TRUE(form->btnWipe->Enabled());
  form->Button1->Click();
  EXPECT_TRUE(Items().empty());
  EXPECT_FALSE(form->btnWipe->Enabled());
}

TEST_F(MainWindowTest, TheShredButtonRunsThePass) {
  const std::string a = folder / "a.bin", b = folder / "b.bin";
  WriteFileBytes(a, std::string(20000, 'x'));
  WriteFileBytes(b, std::string(70000, 'y'));
  const std::string missingFolder = folder / "no\\such";
  Drop({b, a, missingFolder});
  {
    TScriptThread user([&] {
      if (const HWND box = WaitForDialog("Quorvane")) PressFirstButtonAndWait(box);
    });
    RunToTheEnd();
  }
  EXPECT_EQ(Items(), (std::vector<std::string>{"SHREDDED! ... " + a, "SHREDDED! ... " + b,
                                               "NOT SHREDDED (the free space of its drive could not be read) ... " +
                                                   missingFolder}));
  EXPECT_FALSE(PathExists(a) || PathExists(b));
  EXPECT_EQ(form->pbWiping->Position(), 0);
  // A fill in a folder that is not there asks its volume in vain, and is left.
  EXPECT_EQ(form->Edit1->Text(), "shredding " + b + ": size is 70000 bytes ...");
  EXPECT_EQ(form->Label2->Caption().size(), 120u);
  EXPECT_TRUE(form->btnWipe->Enabled());
}

// A run goes on beside the window: the window answers another thread's message
// while the run overwrites a large file; names dropped meanwhile wait for the run's
// end; Stop ends the overwrite after a block, keeps the file, and gives the window
// back as after any run.
TEST_F(MainWindowTest, TheWindowAnswersThroughARunAndStopKeepsThePartlyOverwrittenFile) {
  const std::string large = folder / "large.bin", later = folder / "later.txt";
  constexpr std::int64_t kSize = std::int64_t{16} << 30;
  MakeLargeFile(large, kSize);
  WriteFileBytes(later, "later");
  Drop({large});

  form->btnWipe->Click();
  ASSERT_TRUE(form->Running());
  EXPECT_EQ(form->btnWipe->Caption(), "&Stop");
  EXPECT_TRUE(form->btnWipe->Enabled());
  EXPECT_FALSE(form->btnBrowse->Enabled());
  EXPECT_FALSE(form->Button1->Enabled());
  ASSERT_TRUE(PumpUntil([this] { return form->pbWiping->Position() > 0; })) << "the overwrite never started";

  std::atomic<bool> answered = false, asked = false;
  std::thread other([&] {
    DWORD_PTR result = 0;
    answered = ::SendMessageTimeoutA(form->Handle(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
    asked = true;
  });
  EXPECT_TRUE(PumpUntil([&] { return asked.load(); }));
  other.join();
  EXPECT_TRUE(answered) << "the window did not answer within 5 s while the run went on";

  Drop({later});
  EXPECT_EQ(Items(), std::vector<std::string>{large}) << "no row may move under a run";
  bool aboutShown = false;
  {
    TScriptThread user([&] {
      if (const HWND box = WaitForWindowOfThisProcess(nullptr, "About")) {
        aboutShown = true;
        ::PostMessageA(box, WM_CLOSE, 0, 0);
      }
    });
    form->About1Click(form);
  }
  EXPECT_TRUE(aboutShown && form->Running()) << "the About box opens while the run goes on";
  form->btnWipe->Click();
  ASSERT_TRUE(PumpUntil([this] { return !form->Running(); })) << "Stop did not end the run";

  EXPECT_EQ(form->btnWipe->Caption(), "Shred &NOW!");
  EXPECT_TRUE(form->btnWipe->Enabled() && form->btnBrowse->Enabled() && form->Button1->Enabled());
  // The stopped row carries its reason; the name dropped meanwhile sorts by its path.
  EXPECT_EQ(Items(), (std::vector<std::string>{
                         later, "NOT SHREDDED (stopped while it was overwritten: partly zeros, not deleted) ... " + large}));
  EXPECT_EQ(form->Edit1->Text(), "Stopped: " + large + " is only partly overwritten with zeros, and was not deleted");
  EXPECT_EQ(form->pbWiping->Position(), 0);
  const std::string head = FileBytesAt(large, 0, 16384);
  EXPECT_EQ(std::count(head.begin(), head.end(), '\0'), 16384) << "at least one block was written";
  EXPECT_EQ(FileBytesAt(large, kSize - 16, 16), std::string(16, 'x')) << "the overwrite went on to the end";
  EXPECT_EQ(ReadFileBytes(later), "later");
}

// A window asked to close during a run closes once the run has stopped: names handed
// over meanwhile would be lost with it, so it takes none, nor drops.
TEST_F(MainWindowTest, AWindowClosingAfterItsRunTakesNoMoreNames) {
  const std::string large = folder / "large.bin";
  MakeLargeFile(large, std::int64_t{16} << 30);
  Drop({large});
  form->btnWipe->Click();
  ASSERT_TRUE(PumpUntil([this] { return form->pbWiping->Position() > 0; })) << "the overwrite never started";
  ::SendMessageA(form->Handle(), WM_CLOSE, 0, 0);
  ASSERT_TRUE(form->Running());
  std::wstring block = HandedNamesBlock({WideOf(folder / "later.txt")});
  COPYDATASTRUCT data{kHandedNamesTag, static_cast<DWORD>(block.size() * sizeof(wchar_t)), block.data()};
  EXPECT_EQ(::SendMessageW(form->Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), FALSE);
  EXPECT_EQ(::GetWindowLongPtrA(form->Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
  ASSERT_TRUE(PumpUntil([this] { return !form->Running(); })) << "closing did not stop the run";
}

TEST_F(MainWindowTest, TheFileDialogAddsNewNamesAndRemembersTheFolder) {
  const std::string a = folder / "a.txt", b = folder / "b.txt";
  WriteFileBytes(a, "a");
  WriteFileBytes(b, "b");
  Drop({a});
  WriteSetting("SearchPath", folder.Path());  // the dialog opens there
  {
    TScriptThread user([] { AnswerDialog(L"\"a.txt\" \"b.txt\""); });
    form->btnBrowse->Click();
  }
  EXPECT_EQ(Items(), (std::vector<std::string>{a, b}));  // a was listed already
  EXPECT_EQ(StoredSearchPath(), folder.Path());

  {
    TScriptThread cancel([] {
      if (const HWND dialog = WaitForDialog("Select the File(s) to Shred"))
        ::PostMessageA(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    });
    form->Button1->Click();  // empty the list, then cancel a dialog
    form->btnBrowse->Click();
  }
  EXPECT_TRUE(Items().empty());
  EXPECT_FALSE(form->btnWipe->Enabled());
  EXPECT_EQ(StoredSearchPath(), folder.Path());
}

TEST_F(MainWindowTest, AFileInADriveRootIsRememberedWithItsBackslash) {
  const std::string name = "quorvane-root-" + std::to_string(::GetCurrentProcessId()) + ".txt";
  const std::string path = "C:\\" + name;
  WriteFileBytes(path, "root");
  {
    TScriptThread user([&] { AnswerDialog(std::wstring(path.begin(), path.end())); });
    form->btnBrowse->Click();
  }
  ::DeleteFileA(path.c_str());
  EXPECT_EQ(Items(), std::vector<std::string>{path});
  EXPECT_EQ(StoredSearchPath(), "C:\\");
  EXPECT_EQ(form->odWipe->InitialDir(), "");  // the first use had no stored folder
}

TEST_F(MainWindowTest, ALockedFileShowsCannotOpenFileCaptionedQuorvane) {
  const std::string held = folder / "held.txt";
  WriteFileBytes(held, "held");
  const UniqueFile other(::CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  Drop({held});
  TBoxSeen seen;
  std::string buttonWhileShown;
  {
    TScriptThread user([&] {
      const HWND box = WaitForDialog("Quorvane");
      if (box == nullptr) return;
      buttonWhileShown = WindowText(form->btnWipe->WindowHandle());
      seen = ReadBox(box);
      PressFirstButtonAndWait(box);
    });
    // As a click from the user: through the window procedure and its error handler,
    // which shows the error once the run is over and the window is back.
    ::SendMessageA(form->btnWipe->Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([this] { return !form->Running(); }));
  }
  EXPECT_EQ(seen.Caption, "Quorvane");
  EXPECT_EQ(seen.Text, "Cannot open file " + held + ".");
  EXPECT_EQ(buttonWhileShown, "Shred &NOW!");
  EXPECT_EQ(Items(), std::vector<std::string>{held});
}

// What the window tells Windows of its runs, recorded.
class TRecordedSignals final : public IRunSignals {
 public:
  explicit TRecordedSignals(std::vector<std::string>& calls) : FCalls(calls) {}
  void Started() override { FCalls.push_back("started"); }
  void Progress(std::uint64_t done, std::uint64_t total) override {
    FCalls.push_back("progress " + std::to_string(done) + "/" + std::to_string(total));
  }
  void Ended(bool left) override { FCalls.push_back(left ? "ended, left" : "ended"); }

 private:
  std::vector<std::string>& FCalls;
};

// However a run ends, Windows is told: the machine may sleep again, and the taskbar
// button says whether entries were left. Here a run that leaves one, and one that an
// error ends.
TEST_F(MainWindowTest, WindowsIsToldOfEveryRunFromItsStartToItsEnd) {
  std::vector<std::string> calls;
  form->SetRunSignals(std::make_unique<TRecordedSignals>(calls));
  const std::string done = folder / "done.txt", held = folder / "held.txt";
  WriteFileBytes(done, "done");
  WriteFileBytes(held, "held");
  Drop({done, "B:\\missing.txt"});
  for (int run = 0; run < 2; ++run) {
    const UniqueFile other(run == 0 ? INVALID_HANDLE_VALUE
                                    : ::CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (run == 1) Drop({held});
    calls.clear();
    {
      TScriptThread user([] { ReadAndCloseMessageBox("Quorvane"); });
      ::SendMessageA(form->btnWipe->Handle(), BM_CLICK, 0, 0);
      EXPECT_TRUE(PumpUntil([this] { return !form->Running(); }));
    }
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls.front(), "started");
    EXPECT_EQ(calls.back(), "ended, left");
    for (std::size_t i = 1; i + 1 < calls.size(); ++i) EXPECT_EQ(calls[i].rfind("progress ", 0), 0u) << calls[i];
  }
}

// A run that leaves an entry says so at its end, and the row says why: here a
// free-space wipe of a drive another window is wiping (the hold this test takes).
TEST_F(MainWindowTest, ARunThatLeavesAnEntrySaysWhyAtItsEnd) {
  const std::string done = folder / "done.txt", wipe = folder / "wipe";
  WriteFileBytes(done, "done");
  TWin32FileSystem fileSystem;
  const auto hold = fileSystem.HoldVolume(folder.Path());
  ASSERT_TRUE(hold);
  Drop({done, wipe});
  TBoxSeen seen;
  {
    TScriptThread user([&] {
      const HWND box = WaitForDialog("Quorvane");
      if (box == nullptr) return;
      seen = ReadBox(box);
      PressFirstButtonAndWait(box);
    });
    ::SendMessageA(form->btnWipe->Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([this] { return !form->Running(); }));
  }
  const std::string why = "another Quorvane window is wiping the free space of this drive";
  EXPECT_EQ(Items(), (std::vector<std::string>{"SHREDDED! ... " + done, "NOT SHREDDED (" + why + ") ... " + wipe}));
  EXPECT_EQ(seen.Text, "1 of 2 entries shredded; 1 was not:\n\n" + wipe + ": " + why +
                           "\n\nEach of them says why in the list. \"Shred NOW!\" tries them again.");
}

// A run that holds a folder asks first, "No" its default: "No" touches nothing and
// ends quietly (a row an earlier run left is not told of again), "Yes" shreds the
// folder whole, and a folder dropped while the question is up waits for the run's end.
TEST_F(MainWindowTest, AFolderIsShreddedWholeOnlyAfterYes) {
  const std::string tree = folder / "tree", later = folder / "later", noDrive = "B:\\missing.txt";
  MakeFolders(tree + "\\inner");
  MakeFolders(later);
  WriteFileBytes(tree + "\\a.txt", "aaaa");
  WriteFileBytes(tree + "\\inner\\b.txt", "bb");
  const std::string left = LeftRow(kFreeSpaceUnknownReason, noDrive);
  Drop({noDrive});
  {
    TScriptThread user([] { ReadAndCloseMessageBox("Quorvane"); });
    RunToTheEnd();
  }
  Drop({tree});
  for (const bool yes : {false, true}) {
    SCOPED_TRACE(yes);
    std::vector<TBoxSeen> boxes;
    bool noIsDefault = false;
    std::atomic<bool> ended = false;
    {
      // Every box of the run, in turn, until the run has ended: the question first. A
      // box at the run's end holds the window's thread until it is closed, so none
      // comes after `ended`.
      TScriptThread user([&] {
        for (;;) {
          const HWND box = FindDialogOfThisProcess("Quorvane");
          if (box == nullptr) {
            if (ended) break;
            ::Sleep(10);
            continue;
          }
          boxes.push_back(ReadBox(box));
          if (boxes.size() > 1) {
            PressFirstButtonAndWait(box);
            continue;
          }
          const auto style = [&](int id) { return ::GetWindowLongA(::GetDlgItem(box, id), GWL_STYLE) & BS_TYPEMASK; };
          noIsDefault = style(IDNO) == BS_DEFPUSHBUTTON && style(IDYES) == BS_PUSHBUTTON;
          if (yes) ::SendMessageA(form->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({later})), 0);
          ::PostMessageA(box, WM_COMMAND, yes ? IDYES : IDNO, 0);
          WaitFor([&] { return !::IsWindow(box); });
        }
      });
      ::SendMessageA(form->btnWipe->Handle(), BM_CLICK, 0, 0);
      EXPECT_TRUE(PumpUntil([this] { return !form->Running(); }));
      ended = true;
    }
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes[0].Text, FolderQuestionText({{tree, 2, 6, 0}}));
    EXPECT_TRUE(noIsDefault);
    if (!yes) {
      EXPECT_EQ(boxes.size(), 1u) << boxes.back().Text;
      EXPECT_EQ(Items(), (std::vector<std::string>{tree, left}));
      EXPECT_EQ(ReadFileBytes(tree + "\\inner\\b.txt"), "bb");
    } else {
      ASSERT_EQ(boxes.size(), 2u);
      EXPECT_EQ(boxes[1].Text.rfind("1 of 2 entries shredded; 1 was not:", 0), 0u) << boxes[1].Text;
    }
  }
  EXPECT_EQ(Items(), (std::vector<std::string>{later, "SHREDDED! ... " + tree, left}));
  EXPECT_FALSE(PathExists(tree));
  EXPECT_TRUE(PathExists(later));
}

// The file dialog opens a folder rather than choose it; the File menu's folder picker
// lists folders, starting where the file dialog does.
TEST_F(MainWindowTest, TheFolderPickerListsAChosenFolder) {
  const std::string tree = folder / "tree";
  MakeFolders(tree);
  WriteSetting("SearchPath", folder.Path());
  const TMenuItem* item = form->MainMenu1->FindItem("SelectFolders1");
  ASSERT_NE(item, nullptr);
  {
    TScriptThread user([&] {
      const HWND dialog = WaitForDialog("Select the Folder(s) to Shred Whole");
      if (!dialog) return;
      const std::vector<HWND> edits = ChildrenOfClass(dialog, "Edit");
      if (edits.empty()) return;
      ::SendMessageA(edits.front(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(tree.c_str()));
      ::PostMessageA(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    });
    ::SendMessageA(form->Handle(), WM_COMMAND, item->Command(), 0);
  }
  EXPECT_EQ(Items(), std::vector<std::string>{tree});
  EXPECT_EQ(StoredSearchPath(), folder.Path());
  EXPECT_TRUE(form->btnWipe->Enabled());
}

// The File menu adds the program to Explorer's menu and takes it off again, and says
// which it will do next.
TEST_F(MainWindowTest, TheFileMenuAddsAndRemovesExplorersVerbs) {
  RemoveExplorerMenu();
  delete frmShredder;
  frmShredder = form = new TfrmShredder(nullptr);
  const TMenuItem* item = form->MainMenu1->FindItem("ExplorerMenu1");
  ASSERT_NE(item, nullptr);
  const auto caption = [&] {
    char text[64] = {};
    ::GetMenuStringA(form->MainMenu1->Handle(), item->Command(), text, static_cast<int>(std::size(text)), MF_BYCOMMAND);
    return std::string(text);
  };
  EXPECT_EQ(caption(), "Add to &Explorer's menu");
  ::SendMessageA(form->Handle(), WM_COMMAND, item->Command(), 0);
  EXPECT_TRUE(ExplorerMenuAdded());
  EXPECT_EQ(caption(), "Remove from &Explorer's menu");
  ::SendMessageA(form->Handle(), WM_COMMAND, item->Command(), 0);
  EXPECT_FALSE(ExplorerMenuAdded());
  EXPECT_EQ(caption(), "Add to &Explorer's menu");
}

TEST_F(MainWindowTest, TheAboutBoxOpensFromTheMenu) {
  const HMENU menu = ::GetMenu(form->Handle());
  ASSERT_NE(menu, nullptr);
  char text[32] = {};
  ::GetMenuStringA(menu, 1, text, static_cast<int>(std::size(text)), MF_BYPOSITION);
  ASSERT_STREQ(text, "&About");
  const UINT about = ::GetMenuItemID(menu, 1);
  ASSERT_NE(about, static_cast<UINT>(-1)) << "a command of its own, not a submenu";
  bool shown = false;
  {
    TScriptThread user([&] {
      if (const HWND box = WaitForWindowOfThisProcess(nullptr, "About")) {
        shown = ::IsWindowEnabled(form->Handle()) == FALSE;  // modal: the main window waits
        ::PostMessageA(box, WM_CLOSE, 0, 0);
      }
    });
    // What the menu bar sends when the user picks the item.
    ::SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(about, 0), 0);
  }
  EXPECT_TRUE(shown);
  EXPECT_TRUE(::IsWindow(form->Handle()));
  EXPECT_TRUE(::IsWindowEnabled(form->Handle()));
}

// "Łódź.txt" has no form in code page 1252; best fit would make it "Lódz.txt", and a
// file of that name in the same folder would be shredded instead. It is left out,
// from a drop and from the dialog alike, and the user is told.
class ForeignNameTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    ASSERT_NE(::GetACP(), static_cast<UINT>(CP_UTF8)) << "test programs run without the UTF-8 manifest";
    foreign = WideOf(folder.Path()) + L"\x0141\x00F3" L"d\x017A.txt";
    const UniqueFile file(::CreateFileW(foreign.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(file);
    WriteFileBytes(neighbour, "the neighbour's own data");
    WriteFileBytes(other, "other");
  }
  void ExpectOneBoxNamingTheForeignFile(const std::vector<TBoxSeen>& shown) {
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].Caption, "Quorvane");
    EXPECT_NE(shown[0].WideText.find(L"\n" + foreign), std::wstring::npos) << shown[0].Text;
  }
  void ExpectShreddingLeavesTheNeighbour() {
    RunToTheEnd();
    EXPECT_EQ(Items(), std::vector<std::string>{"SHREDDED! ... " + other});
    EXPECT_EQ(ReadFileBytes(neighbour), "the neighbour's own data");
    EXPECT_NE(::GetFileAttributesW(foreign.c_str()), INVALID_FILE_ATTRIBUTES);
  }

  std::wstring foreign;
  const std::string neighbour = folder / "L\xF3" "dz.txt";
  const std::string other = folder / "other.txt";
};

TEST_F(ForeignNameTest, ADroppedNameOutsideTheCodePageIsLeftOutAndNeverReachesItsNeighbour) {
  std::vector<TBoxSeen> shown;
  {
    TDialogWatcher watcher;
    ::SendMessageA(form->Handle(), WM_DROPFILES,
                   reinterpret_cast<WPARAM>(MakeWideDrop({foreign, WideOf(other)})), 0);
    shown = watcher.Shown();
  }
  ExpectOneBoxNamingTheForeignFile(shown);
  EXPECT_EQ(Items(), std::vector<std::string>{other});
  ExpectShreddingLeavesTheNeighbour();
}

TEST_F(ForeignNameTest, AChosenNameOutsideTheCodePageIsLeftOutAndNeverReachesItsNeighbour) {
  WriteSetting("SearchPath", folder.Path());
  TBoxSeen seen;
  {
    TScriptThread user([&] {
      AnswerDialog(L"\"\x0141\x00F3" L"d\x017A.txt\" \"other.txt\"");
      seen = ReadAndCloseMessageBox("Quorvane");
    });
    form->btnBrowse->Click();
  }
  ExpectOneBoxNamingTheForeignFile({seen});
  EXPECT_EQ(Items(), std::vector<std::string>{other});
  ExpectShreddingLeavesTheNeighbour();
}

TEST_F(ForeignNameTest, ANameOnTheCommandLineOutsideTheCodePageIsLeftOutAndNeverReachesItsNeighbour) {
  std::vector<TBoxSeen> shown;
  {
    TDialogWatcher watcher;
    const std::wstring commandLine = L"Quorvane.exe \"" + foreign + L"\" \"" + WideOf(other) + L"\"";
    form->DnDForm1->ReportNames(CommandLineNames(commandLine.c_str()));
    shown = watcher.Shown();
  }
  ExpectOneBoxNamingTheForeignFile(shown);
  EXPECT_EQ(Items(), std::vector<std::string>{other});
  ExpectShreddingLeavesTheNeighbour();
}

// A file dropped twice, the second time in other letter case (é and É are one
// letter to the file system), is shredded at its first entry and marked at the
// second, where its name is missing by then. On the test share the drive's free
// space cannot be had, so a missing name is skipped there rather than filled:
// without the run's memory of what it marked, the second entry stays unmarked.
TEST_F(MainWindowTest, AFileDroppedTwiceInOtherCaseIsShreddedOnceAndMarkedTwice) {
  const std::string id = std::to_string(::GetCurrentProcessId());
  const std::string path = "\\\\quorvane\\share\\twice-\xE9-" + id + ".txt";
  const std::string again = "\\\\quorvane\\share\\TWICE-\xC9-" + id + ".TXT";
  WriteFileBytes(path, std::string(5000, 'T'));
  Drop({path, again});
  RunToTheEnd();
  EXPECT_FALSE(PathExists(path));
  const std::vector<std::string> items = Items();
  EXPECT_EQ(items.size(), 2u);
  for (const std::string& item : items) EXPECT_EQ(item.rfind("SHREDDED! ... ", 0), 0u) << item;
  EXPECT_NE(form->Edit1->Text().find(": size is 5000 bytes ..."), std::string::npos) << form->Edit1->Text();
}

}  // namespace
