// The application object: the message loop, and the handler that shows an error
// leaving an event in a real message box while the loop goes on.
#include "framework/Application.h"

#include "base/Exception.h"
#include "framework/Button.h"
#include "framework/Form.h"
#include "tests/support/WindowProbe.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

namespace {

TEST(ErrorBoxTextTest, AFullStopIsAddedOnlyAfterACharacterThatSortsAfterIt) {
  EXPECT_EQ(ErrorBoxText("Disk full"), "Disk full.");
  EXPECT_EQ(ErrorBoxText("Failed to get data for 'SearchPath'"), "Failed to get data for 'SearchPath'")
      << "a quote sorts before the full stop";
  EXPECT_EQ(ErrorBoxText("List index out of bounds (3)"), "List index out of bounds (3)");
  EXPECT_EQ(ErrorBoxText("Stop!"), "Stop!");
  EXPECT_EQ(ErrorBoxText("Done."), "Done.");
  EXPECT_EQ(ErrorBoxText("a-"), "a-");   // '-' sorts before '.'
  EXPECT_EQ(ErrorBoxText("a/"), "a/.");  // '/' sorts after it
  EXPECT_EQ(ErrorBoxText("caf\xE9"), "caf\xE9.") << "bytes compare unsigned";
  EXPECT_EQ(ErrorBoxText(""), "");
}

class TLoopForm : public TForm {
 public:
  explicit TLoopForm(TComponent* owner);
  TButton* btnFail = nullptr;
  TButton* btnCount = nullptr;

  void btnFailClick(TComponent*) { throw Exception(NextError); }
  void btnCountClick(TComponent*) { ++Counted; }

  static inline std::string NextError;
  static inline std::atomic<int> Counted{0};
};

constexpr TControlSpec kControls[] = {
    {.Field = Field<&TLoopForm::btnFail>, .Name = "btnFail", .Bounds = {8, 8, 80, 25}, .Caption = "Fail",
     .TabOrder = 0, .OnClick = Handler<&TLoopForm::btnFailClick>},
    {.Field = Field<&TLoopForm::btnCount>, .Name = "btnCount", .Bounds = {8, 40, 80, 25}, .Caption = "Count",
     .TabOrder = 1, .OnClick = Handler<&TLoopForm::btnCountClick>},
};
constexpr TFormSpec kLayout{.Caption = "Loop", .ClientWidth = 200, .ClientHeight = 80, .Controls = kControls};

TLoopForm::TLoopForm(TComponent* owner) : TForm(owner) { LoadLayout(kLayout); }

TEST(ApplicationTest, AnErrorInAClickHandlerIsShownAndTheLoopGoesOnUntilTheMainFormCloses) {
  Application.SetTitle("Quorvane");
  TLoopForm* form = nullptr;
  Application.CreateForm(form);
  ASSERT_EQ(Application.MainForm(), form);
  const HWND window = form->WindowHandle();
  const HWND fail = form->btnFail->WindowHandle();
  const HWND count = form->btnCount->WindowHandle();
  TLoopForm::Counted = 0;

  TBoxSeen first;
  TBoxSeen second;
  bool counted = false;
  TScriptThread script([&] {
    WaitFor([&] { return ::IsWindowVisible(window) != FALSE; });
    TLoopForm::NextError = "Cannot open C:\\x.txt (access denied)";
    ::PostMessageA(fail, BM_CLICK, 0, 0);
    first = ReadAndCloseMessageBox();
    TLoopForm::NextError = "Disk is full";
    ::PostMessageA(fail, BM_CLICK, 0, 0);
    second = ReadAndCloseMessageBox();
    ::PostMessageA(count, BM_CLICK, 0, 0);
    counted = WaitFor([] { return TLoopForm::Counted == 1; });
    ::PostMessageA(window, WM_CLOSE, 0, 0);
  });
  Application.Run();
  script.Join();

  ASSERT_TRUE(first.Found);
  EXPECT_EQ(first.Caption, "Quorvane");
  EXPECT_EQ(first.Text, "Cannot open C:\\x.txt (access denied)");
  EXPECT_EQ(first.Icon, ::LoadIconA(nullptr, IDI_HAND));
  EXPECT_EQ(first.Buttons, 1);
  EXPECT_EQ(first.FirstButton, "OK");
  ASSERT_TRUE(second.Found);
  EXPECT_EQ(second.Text, "Disk is full.");
  EXPECT_TRUE(counted) << "the loop must go on after an error";
  EXPECT_EQ(Application.ComponentCount(), 0) << "Run destroys the forms at the end";
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_EQ(Application.MainForm(), nullptr);
}

HICON ClassIcon(HWND window) { return reinterpret_cast<HICON>(::GetClassLongPtrA(window, GCLP_HICON)); }

// This test program holds an icon of id 1 (ProgramIcon.rc.in), the id a program's
// main icon usually has: the library must not take it unasked. Each case runs in a
// process of its own, so the form's window class is registered here.
TEST(ApplicationTest, FormsCarryNoIconOfTheProgramUntilItNamesOne) {
  const TLoopForm form(nullptr);
  EXPECT_EQ(ClassIcon(form.WindowHandle()), nullptr);
}

TEST(ApplicationTest, FormsCarryTheIconTheProgramNames) {
  Application.SetIcon(1);
  const TLoopForm form(nullptr);
  const HICON named = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
  ASSERT_NE(named, nullptr);
  EXPECT_EQ(ClassIcon(form.WindowHandle()), named);
}

}  // namespace
