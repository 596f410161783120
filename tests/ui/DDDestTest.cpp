#include "tests/support/DropFiles.h"
#include "ui/DDDest.h"

#include "tests/support/WindowProbe.h"
#include "framework/Application.h"
#include "framework/Errors.h"
#include "framework/Form.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr UINT kOwnersMessage = WM_APP + 7;
constexpr LRESULT kOwnersAnswer = 1234;
constexpr POINT kDropPoint = {40, 25};

// A form with a drop target from its layout, as the main window has one, and a
// procedure of its own that answers one private message.
class TDropForm : public TForm {
 public:
  TDropForm();
  TDnDForm* DnDForm1 = nullptr;

  void DnDForm1DnDStart(TComponent* Sender, int Count, int X, int Y);
  void DnDForm1DnDItem(TComponent* Sender, const std::string& Item);
  void DnDForm1DnDFinish(TComponent* Sender);

  std::vector<std::string> Calls;
  HGLOBAL Drop = nullptr;  // the drop being delivered, to see when it is released
  int FailAtItem = -1;
  int OwnerDestroyed = 0;

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

// A freed handle may be handed out again at once (the error box allocates), so a
// released drop is one whose handle no longer holds our DROPFILES block.
bool Released(HGLOBAL drop) {
  if (::GlobalSize(drop) < sizeof(DROPFILES)) return true;
  const auto* header = static_cast<const DROPFILES*>(::GlobalLock(drop));
  if (header == nullptr) return true;
  const bool ours =
      header->pFiles == sizeof(DROPFILES) && header->pt.x == kDropPoint.x && header->pt.y == kDropPoint.y;
  ::GlobalUnlock(drop);
  return !ours;
}

void TDropForm::DnDForm1DnDStart(TComponent* Sender, int Count, int X, int Y) {
  EXPECT_EQ(Sender, DnDForm1);
  Calls.push_back("start " + std::to_string(Count) + " " + std::to_string(X) + "," + std::to_string(Y));
}

void TDropForm::DnDForm1DnDItem(TComponent* Sender, const std::string& Item) {
  EXPECT_EQ(Sender, DnDForm1);
  if (Drop != nullptr) {
    EXPECT_FALSE(Released(Drop));
  }
  if (static_cast<int>(Calls.size()) == FailAtItem) throw EOutOfResources("Unable to insert a line");
  Calls.push_back(Item);
}

void TDropForm::DnDForm1DnDFinish(TComponent* Sender) {
  EXPECT_EQ(Sender, DnDForm1);
  Calls.push_back(Released(Drop) ? "finish, released" : "finish, still held");
}

LRESULT TDropForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kOwnersMessage) return kOwnersAnswer;
  if (message == WM_DESTROY) ++OwnerDestroyed;
  return TForm::WndProc(message, wParam, lParam);
}

const TControlSpec kDropRows[] = {
    {.Field = Field<&TDropForm::DnDForm1>, .Name = "DnDForm1",
     .Setup = DnDProperties<true, Handler<&TDropForm::DnDForm1DnDItem>, Handler<&TDropForm::DnDForm1DnDStart>,
                            Handler<&TDropForm::DnDForm1DnDFinish>>},
};

TDropForm::TDropForm() : TForm(nullptr) {
  LoadLayout({.Caption = "drop", .ClientWidth = 300, .ClientHeight = 200, .Controls = kDropRows});
}

bool AcceptsFiles(HWND window) { return (::GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0; }

class DDDestTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Application.SetTitle("Quorvane");
    Form = std::make_unique<TDropForm>();
    Window = Form->WindowHandle();
  }

  // Delivers a drop the way the shell does; the target owns the memory from here on.
  LRESULT DropOn(const std::vector<std::string>& names) { return Deliver(MakeDrop(names, kDropPoint)); }

  LRESULT Deliver(HGLOBAL drop) {
    Form->Drop = drop;
    return ::SendMessageA(Window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  }

  std::unique_ptr<TDropForm> Form;
  HWND Window = nullptr;
};

const std::vector<std::string> kThreeFiles = {R"(C:\b\second.txt)", R"(C:\a\first.txt)", R"(D:\third)"};

TEST_F(DDDestTest, ReportsStartItemsInTheShellsOrderThenFinishAfterRelease) {
  EXPECT_EQ(DropOn(kThreeFiles), 0);
  const std::vector<std::string> expected = {"start 3 40,25", kThreeFiles[0], kThreeFiles[1], kThreeFiles[2],
                                             "finish, released"};
  EXPECT_EQ(Form->Calls, expected);
  EXPECT_TRUE(Released(Form->Drop));
}

TEST_F(DDDestTest, OnlyTheSetHandlersAreCalled) {
  Form->DnDForm1->OnDnDStart.Clear();
  Form->DnDForm1->OnDnDFinish.Clear();
  EXPECT_EQ(DropOn(kThreeFiles), 0);
  EXPECT_EQ(Form->Calls, kThreeFiles);

  Form->Calls.clear();
  Form->DnDForm1->OnDnDItem.Clear();
  EXPECT_EQ(DropOn(kThreeFiles), 0);
  EXPECT_TRUE(Form->Calls.empty());
  EXPECT_TRUE(Released(Form->Drop));
}

TEST_F(DDDestTest, FolderAndLongNamesArriveWhole) {
  const TTempFolder folder;
  const std::string folderPath = folder.Path().substr(0, folder.Path().size() - 1);
  const std::string longName = folder.Path() + std::string(300, 'n') + ".txt";
  ASSERT_GT(longName.size(), 300u);
  Form->DnDForm1->OnDnDStart.Clear();
  Form->DnDForm1->OnDnDFinish.Clear();
  DropOn({folderPath, longName});
  EXPECT_EQ(Form->Calls, (std::vector<std::string>{folderPath, longName}));
}

TEST_F(DDDestTest, ActiveTellsTheShellOnlyOnAChange) {
  EXPECT_TRUE(Form->DnDForm1->Active());
  EXPECT_TRUE(AcceptsFiles(Window));

  Form->DnDForm1->SetActive(false);
  EXPECT_FALSE(AcceptsFiles(Window));

  // Behind the component's back: setting the value it already has must not call
  // the shell, so the style stays as it is now.
  ::SetWindowLongPtrA(Window, GWL_EXSTYLE, ::GetWindowLongPtrA(Window, GWL_EXSTYLE) | WS_EX_ACCEPTFILES);
  Form->DnDForm1->SetActive(false);
  EXPECT_TRUE(AcceptsFiles(Window));

  Form->DnDForm1->SetActive(true);
  ::SetWindowLongPtrA(Window, GWL_EXSTYLE, ::GetWindowLongPtrA(Window, GWL_EXSTYLE) & ~WS_EX_ACCEPTFILES);
  Form->DnDForm1->SetActive(true);
  EXPECT_FALSE(AcceptsFiles(Window));

  // Active only decides whether the shell sends drops; one that comes is handled.
  Form->DnDForm1->SetActive(false);
  DropOn({kThreeFiles[0]});
  EXPECT_EQ(Form->Calls.size(), 3u);
}

TEST_F(DDDestTest, OtherMessagesReachTheOwnersProcedure) {
  EXPECT_EQ(::SendMessageA(Window, kOwnersMessage, 0, 0), kOwnersAnswer);
  ::SetWindowTextA(Window, "renamed");
  EXPECT_EQ(Form->Caption(), "renamed");
}

TEST_F(DDDestTest, DestroyingTheWindowClearsActiveAndReachesTheOwner) {
  ::DestroyWindow(Window);
  EXPECT_FALSE(Form->DnDForm1->Active());
  EXPECT_EQ(Form->OwnerDestroyed, 1);
  Form.reset();  // the component and the form still go cleanly
}

TEST_F(DDDestTest, ItsProcedureIsTheWindowsUntilItGoes) {
  const auto classProc = ::GetClassLongPtrA(Window, GCLP_WNDPROC);
  EXPECT_NE(::GetWindowLongPtrA(Window, GWLP_WNDPROC), classProc);
  delete Form->DnDForm1;
  EXPECT_EQ(::GetWindowLongPtrA(Window, GWLP_WNDPROC), classProc);
  EXPECT_EQ(::SendMessageA(Window, kOwnersMessage, 0, 0), kOwnersAnswer);
}

// A component made in code is never loaded: it must neither take the procedure
// over nor, when it goes, write anything back.
TEST_F(DDDestTest, AComponentMadeInCodeLeavesTheProcedureAlone) {
  delete Form->DnDForm1;
  const auto before = ::GetWindowLongPtrA(Window, GWLP_WNDPROC);
  auto* inCode = new TDnDForm(Form.get());
  EXPECT_EQ(inCode->TargetWindow(), Window);
  EXPECT_FALSE(inCode->Active());
  EXPECT_EQ(::GetWindowLongPtrA(Window, GWLP_WNDPROC), before);
  delete inCode;
  EXPECT_EQ(::GetWindowLongPtrA(Window, GWLP_WNDPROC), before);
  EXPECT_EQ(::SendMessageA(Window, kOwnersMessage, 0, 0), kOwnersAnswer);
}

TEST_F(DDDestTest, AnOwnerThatIsNoFormIsRefused) {
  TComponent plain(nullptr);
  try {
    TDnDForm refused(&plain);
    FAIL() << "a non-form owner was accepted";
  } catch (const EInvalidCast& error) {
    EXPECT_EQ(error.Message(), "Invalid class typecast");
  }
  EXPECT_EQ(plain.ComponentCount(), 0);
  EXPECT_THROW(TDnDForm(nullptr), EInvalidCast);
}

TEST_F(DDDestTest, AnErrorInAHandlerEndsOnlyThatDropAndIsShown) {
  Form->FailAtItem = 2;  // after the start event and the first name
  LRESULT result = -1;
  std::vector<TBoxSeen> shown;
  {
    TDialogWatcher watcher;
    result = DropOn(kThreeFiles);
    shown = watcher.Shown();
  }
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Form->Calls, (std::vector<std::string>{"start 3 40,25", kThreeFiles[0]}));
  EXPECT_TRUE(Released(Form->Drop));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Caption, "Quorvane");
  EXPECT_EQ(shown[0].Text, "Unable to insert a line.");

  // The program goes on: the next drop is reported in full.
  Form->FailAtItem = -1;
  Form->Calls.clear();
  DropOn({kThreeFiles[1]});
  EXPECT_EQ(Form->Calls, (std::vector<std::string>{"start 1 40,25", kThreeFiles[1], "finish, released"}));
}

// The shell writes wide names. One the ANSI code page has no exact form of must
// not arrive as a neighbouring name (best fit makes "Łódź" "Lódz" on code page
// 1252), and a broken UTF-16 name has no 8-bit form at all; the rest of the drop
// is reported, and the user is told in one box which names were left out.
TEST_F(DDDestTest, WideNamesTheCodePageCannotHoldAreLeftOutAndNamedInOneBox) {
  ASSERT_NE(::GetACP(), static_cast<UINT>(CP_UTF8)) << "test programs run without the UTF-8 manifest";
  // Ł, ź, Ω and 文: no single legacy code page holds them all.
  const std::wstring foreign = L"C:\\\x0141\x00F3" L"d\x017A-\x03A9-\x6587.txt";
  const std::wstring broken = L"C:\\half\xD800.txt";
  std::vector<TBoxSeen> shown;
  {
    TDialogWatcher watcher;
    Deliver(MakeWideDrop({L"C:\\b\\second.txt", foreign, L"C:\\caf\x00E9.txt", broken}, kDropPoint));
    shown = watcher.Shown();
  }
  EXPECT_EQ(Form->Calls, (std::vector<std::string>{"start 4 40,25", "C:\\b\\second.txt", "C:\\caf\xE9.txt",
                                                   "finish, released"}));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Caption, "Quorvane");
  const std::wstring& text = shown[0].WideText;
  EXPECT_NE(text.find(L"\n" + foreign), std::wstring::npos) << shown[0].Text;
  EXPECT_NE(text.find(L"\n" + broken), std::wstring::npos) << shown[0].Text;
  EXPECT_NE(text.find(L"code page (" + std::to_wstring(::GetACP()) + L")"), std::wstring::npos) << shown[0].Text;
  EXPECT_EQ(text.find(L"second.txt"), std::wstring::npos) << "only the names left out";

  // A drop whose names all fit shows nothing.
  Form->Calls.clear();
  {
    TDialogWatcher watcher;
    Deliver(MakeWideDrop({L"C:\\caf\x00E9.txt"}, kDropPoint));
    shown = watcher.Shown();
  }
  EXPECT_EQ(Form->Calls, (std::vector<std::string>{"start 1 40,25", "C:\\caf\xE9.txt", "finish, released"}));
  EXPECT_TRUE(shown.empty());
}

// Names from the command line go the way of a drop's, point (0, 0): the same events
// in the same order, and the same one box about names the code page cannot hold.
TEST_F(DDDestTest, NamesFromElsewhereAreReportedAsADropsAreWithTheSameOneBox) {
  const std::wstring foreign = L"C:\\\x0141\x00F3" L"d\x017A.txt";
  std::vector<TBoxSeen> shown;
  {
    TDialogWatcher watcher;
    Form->DnDForm1->ReportNames({L"C:\\b\\second.txt", foreign, L"C:\\a\\first.txt"});
    shown = watcher.Shown();
  }
  EXPECT_EQ(Form->Calls, (std::vector<std::string>{"start 3 0,0", "C:\\b\\second.txt", "C:\\a\\first.txt",
                                                   "finish, released"}));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Caption, "Quorvane");
  EXPECT_NE(shown[0].WideText.find(L"\n" + foreign), std::wstring::npos) << shown[0].Text;
}

// The names are read from the drop's own memory and from nothing past it: a name
// whose NUL is not inside the block is not reported (cut, it could name another
// file), and a header that points outside the block gives no names at all. Past
// each block lie bytes that are no NUL, as they would be in a real heap.
TEST_F(DDDestTest, AMalformedDropIsReadOnlyWithinItsMemory) {
  using namespace std::string_literals;
  Deliver(MakeRawDrop("C:\\one\0C:\\two"s, false, 0, kDropPoint));
  EXPECT_EQ(Form->Calls, (std::vector<std::string>{"start 1 40,25", "C:\\one", "finish, released"}));

  Form->Calls.clear();
  const std::wstring wide = L"C:\\one\0C:\\two"s;
  Deliver(MakeRawDrop(std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t)), true,
                      0, kDropPoint));
  EXPECT_EQ(Form->Calls, (std::vector<std::string>{"start 1 40,25", "C:\\one", "finish, released"}));

  Form->Calls.clear();
  Deliver(MakeRawDrop("C:\\one\0\0"s, false, 4000, kDropPoint));
  EXPECT_EQ(Form->Calls, (std::vector<std::string>{"start 0 40,25", "finish, released"}));
}

// Names another start hands over are taken as a copy, listed only once the message
// has been answered (the start must not wait for a message box), and read within
// the block as a drop is: a cut name is not taken. Other WM_COPYDATA is the owner's.
TEST_F(DDDestTest, HandedNamesAreListedAfterTheAnswerAndOnlyWithinTheirBlock) {
  using namespace std::string_literals;
  std::wstring block = HandedNamesBlock({L"C:\\one", L"", L"C:\\two"});
  block.back() = L'C';  // the list's end gives way to a name cut short
  block += L":\\cut"s;
  COPYDATASTRUCT data{kHandedNamesTag, static_cast<DWORD>(block.size() * sizeof(wchar_t)),
                      const_cast<wchar_t*>(block.data())};
  EXPECT_EQ(::SendMessageW(Window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), TRUE);
  EXPECT_TRUE(Form->Calls.empty());
  for (MSG message; ::PeekMessageW(&message, Window, 0, 0, PM_REMOVE);) ::DispatchMessageW(&message);
  EXPECT_EQ(Form->Calls, (std::vector<std::string>{"start 2 0,0", "C:\\one", "C:\\two", "finish, released"}));

  data.dwData = 7;
  EXPECT_EQ(::SendMessageW(Window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)), FALSE);
}

std::vector<UINT> gAllowed;
BOOL WINAPI RecordFilter(HWND, UINT message, DWORD action, void*) {
  if (action == 1) gAllowed.push_back(message);  // MSGFLT_ALLOW
  return TRUE;
}

// An elevated window lets in what a drop needs: the drop message and the one that
// carries its memory, and no other message (not names handed over: a start without
// its rights has a window of its own).
TEST(AllowDropMessagesTest, LetsInTheDropsMessagesOnly) {
  gAllowed.clear();
  AllowDropMessages(nullptr, &RecordFilter);
  std::sort(gAllowed.begin(), gAllowed.end());
  EXPECT_EQ(gAllowed, (std::vector<UINT>{0x0049, WM_DROPFILES}));
}

}  // namespace
