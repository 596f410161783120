// Modal showing, keeping the position, and the standard error dialog.
#include "framework/Form.h"

#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/MessageDialog.h"
#include "tests/support/WindowProbe.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class TModalForm : public TForm {
 public:
  explicit TModalForm(TComponent* owner);
  TEdit* Edit1 = nullptr;
  TButton* OKButton = nullptr;
  void FormShow(TComponent*) { ++Shows; }
  void OKButtonClick(TComponent*) { ++Clicks; }
  int Shows = 0;
  int Clicks = 0;
};

constexpr TControlSpec kControls[] = {
    {.Field = Field<&TModalForm::Edit1>, .Name = "Edit1", .Bounds = {8, 8, 120, 21}, .TabOrder = 0},
    {.Field = Field<&TModalForm::OKButton>, .Name = "OKButton", .Bounds = {40, 40, 75, 25}, .Caption = "OK",
     .TabOrder = 1, .Default = true, .ModalResult = mrOk, .OnClick = Handler<&TModalForm::OKButtonClick>},
};
constexpr TFormSpec kLayout{.Caption = "Modal", .ClientWidth = 160, .ClientHeight = 80,
                            .BorderStyle = TBorderStyle::bsDialog, .Position = TPosition::poScreenCenter,
                            .OnShow = Handler<&TModalForm::FormShow>, .Controls = kControls};

TModalForm::TModalForm(TComponent* owner) : TForm(owner) { LoadLayout(kLayout); }

RECT FrameOf(HWND window) {
  RECT frame{};
  ::GetWindowRect(window, &frame);
  return frame;
}

class ModalTest : public testing::Test {
 protected:
  void SetUp() override { Form = std::make_unique<TModalForm>(nullptr); }
  std::unique_ptr<TModalForm> Form;
};

TEST_F(ModalTest, AButtonsModalResultEndsTheShowingCentredFirstThenWhereItWasHidden) {
  const HWND window = Form->WindowHandle();
  RECT shown{};
  TScriptThread clickOk([&] {
    WaitFor([&] { return ::IsWindowVisible(window) != FALSE; });
    shown = FrameOf(window);
    ::PostMessageA(Form->OKButton->WindowHandle(), BM_CLICK, 0, 0);
  });
  EXPECT_EQ(Form->ShowModal(), mrOk);
  clickOk.Join();
  EXPECT_FALSE(::IsWindowVisible(window)) << "hidden, not destroyed";
  EXPECT_EQ(Form->Clicks, 1);
  EXPECT_EQ(Form->Shows, 1);
  const int width = shown.right - shown.left;
  EXPECT_NEAR(shown.left, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2, 1);

  ::SetWindowPos(window, nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT again{};
  TScriptThread closeIt([&] {
    WaitFor([&] { return ::IsWindowVisible(window) != FALSE; });
    again = FrameOf(window);
    ::PostMessageA(window, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(Form->ShowModal(), mrCancel);
  closeIt.Join();
  EXPECT_EQ(again.left, 40);
  EXPECT_EQ(again.top, 50);
  EXPECT_EQ(Form->Shows, 2);
}

TEST_F(ModalTest, EnterInAnEditPressesTheDefaultButton) {
  const HWND window = Form->WindowHandle();
  TScriptThread pressEnter([&] {
    WaitFor([&] { return ::IsWindowVisible(window) != FALSE; });
    ::PostMessageA(Form->Edit1->WindowHandle(), WM_KEYDOWN, VK_RETURN, 1);
    // If Enter went astray, end the showing anyway so the test fails instead of hanging.
    if (!WaitFor([&] { return !::IsWindowVisible(window); }, std::chrono::seconds(3)))
      ::PostMessageA(window, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(Form->ShowModal(), mrOk);
  EXPECT_EQ(Form->Clicks, 1);
}

TEST(MessageDlgTest, AnErrorShowsCentredCaptionedErrorWithTheHandIconAndOneOk) {
  TBoxSeen seen;
  TScriptThread reader([&] { seen = ReadAndCloseMessageBox(); });
  EXPECT_EQ(MessageDlg("An error occurred with automatic mailing!", mtError, mbOK, 0), mrOk);
  reader.Join();
  ASSERT_TRUE(seen.Found);
  EXPECT_EQ(seen.Caption, "Error");
  EXPECT_EQ(seen.Text, "An error occurred with automatic mailing!") << "no full stop added here";
  EXPECT_EQ(seen.Icon, ::LoadIconA(nullptr, IDI_HAND));
  EXPECT_EQ(seen.Buttons, 1);
  EXPECT_EQ(seen.FirstButton, "OK");
  const int middleX = (seen.Frame.left + seen.Frame.right) / 2;
  const int middleY = (seen.Frame.top + seen.Frame.bottom) / 2;
  EXPECT_NEAR(middleX, ::GetSystemMetrics(SM_CXSCREEN) / 2, 2);
  EXPECT_NEAR(middleY, ::GetSystemMetrics(SM_CYSCREEN) / 2, 2);
}

}  // namespace
