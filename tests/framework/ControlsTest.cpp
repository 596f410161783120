// Labels, progress bars, panels and images on a real form.
#include "framework/Label.h"

#include "framework/Edit.h"
#include "framework/Form.h"
#include "framework/Image.h"
#include "framework/Panel.h"
#include "framework/ProgressBar.h"

#include <gtest/gtest.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

class TControlsForm : public TForm {
 public:
  explicit TControlsForm(TComponent* owner);

  TPanel* Panel1 = nullptr;
  TImage* ProgramIcon = nullptr;
  TLabel* Version = nullptr;
  TLabel* Link = nullptr;
  TLabel* Readout = nullptr;
  TProgressBar* Bar = nullptr;
  TEdit* Status = nullptr;

  void LinkClick(TComponent* Sender) { LinkClicks += Sender == Link ? 1 : 100; }
  int LinkClicks = 0;
};

constexpr TControlSpec kControls[] = {
    {.Field = Field<&TControlsForm::Panel1>, .Name = "Panel1", .Bounds = {8, 8, 281, 161},
     .BevelOuter = TBevelCut::bvLowered, .BevelInner = TBevelCut::bvRaised},
    {.Field = Field<&TControlsForm::ProgramIcon>, .Name = "ProgramIcon", .Parent = "Panel1",
     .Bounds = {16, 8, 32, 32}, .Icon = 1, .Stretch = true},
    {.Field = Field<&TControlsForm::Version>, .Name = "Version", .Parent = "Panel1", .Bounds = {208, 40, 58, 13},
     .Caption = "version 1.00", .AutoSize = true, .Alignment = TAlignment::taRightJustify},
    {.Field = Field<&TControlsForm::Link>, .Name = "Link", .Parent = "Panel1", .Bounds = {56, 112, 180, 14},
     .Caption = "http://example.invalid/", .Font = {.Name = "Arial", .Height = 11, .Underline = true, .Color = clBlue},
     .Cursor = TCursor::crHandPoint, .Transparent = true, .AutoSize = true,
     .OnClick = Handler<&TControlsForm::LinkClick>},
    {.Field = Field<&TControlsForm::Readout>, .Name = "Readout", .Bounds = {100, 180, 85, 129},
     .Constraints = {85, 129, 85, 129}},
    {.Field = Field<&TControlsForm::Bar>, .Name = "Bar", .Bounds = {0, 200, 298, 13}, .Align = TAlign::alBottom},
    {.Field = Field<&TControlsForm::Status>, .Name = "Status", .Bounds = {190, 172, 100, 21}, .ReadOnly = true},
};

constexpr TFormSpec kLayout{.Caption = "Controls", .ClientWidth = 298, .ClientHeight = 213,
                            .BorderStyle = TBorderStyle::bsDialog, .Controls = kControls};

TControlsForm::TControlsForm(TComponent* owner) : TForm(owner) { LoadLayout(kLayout); }

SIZE TextSize(HWND control, const char* text) {
  const WindowDc dc(control);
  const SelectedObject font(dc.get(), reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0)));
  SIZE size{};
  ::GetTextExtentPoint32A(dc.get(), text, static_cast<int>(strlen(text)), &size);
  return size;
}

class ControlsTest : public testing::Test {
 protected:
  void SetUp() override {
    Form = std::make_unique<TControlsForm>(nullptr);
    Form->Show();
  }
  std::unique_ptr<TControlsForm> Form;
};

TEST_F(ControlsTest, AutoSizedLabelsFitTheirTextAndARightAlignedOneKeepsItsRightEdge) {
  const SIZE text = TextSize(Form->Version->WindowHandle(), "version 1.00");
  EXPECT_EQ(Form->Version->Width(), text.cx);
  EXPECT_EQ(Form->Version->Left() + Form->Version->Width(), 208 + 58);
  RECT frame{};
  ::GetWindowRect(Form->Version->WindowHandle(), &frame);
  EXPECT_EQ(frame.right - frame.left, text.cx) << "the window follows";

  Form->Link->SetCaption("mailto:x");
  EXPECT_EQ(Form->Link->Width(), TextSize(Form->Link->WindowHandle(), "mailto:x").cx);
  EXPECT_EQ(Form->Link->Left(), 56);
}

TEST_F(ControlsTest, SizeConstraintsHoldALabelAtItsFixedSize) {
  Form->Readout->SetBounds({100, 180, 300, 10});
  EXPECT_EQ(Form->Readout->Width(), 85);
  EXPECT_EQ(Form->Readout->Height(), 129);
  RECT frame{};
  ::GetWindowRect(Form->Readout->WindowHandle(), &frame);
  EXPECT_EQ(frame.right - frame.left, 85);
  EXPECT_EQ(frame.bottom - frame.top, 129);
}

TEST_F(ControlsTest, ALinkLabelIsTransparentShowsAHandAndReportsClicksThroughItsPanel) {
  const HWND panel = Form->Panel1->WindowHandle();
  const HWND link = Form->Link->WindowHandle();
  ASSERT_EQ(::GetParent(link), panel);

  const WindowDc dc(link);
  const auto brush = ::SendMessageA(panel, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                                    reinterpret_cast<LPARAM>(link));
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), ::GetStockObject(NULL_BRUSH));
  EXPECT_EQ(::GetBkMode(dc.get()), TRANSPARENT);
  EXPECT_EQ(::GetTextColor(dc.get()), ColorToRGB(clBlue));

  EXPECT_TRUE(::SendMessageA(panel, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_HAND));
  EXPECT_FALSE(::SendMessageA(panel, WM_SETCURSOR, reinterpret_cast<WPARAM>(Form->Version->WindowHandle()),
                              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));

  ::SendMessageA(panel, WM_COMMAND, MAKEWPARAM(Form->Link->ControlId(), STN_CLICKED), reinterpret_cast<LPARAM>(link));
  EXPECT_EQ(Form->LinkClicks, 1);
  EXPECT_NE(::GetWindowLongPtrA(link, GWL_STYLE) & SS_NOTIFY, 0) << "the static itself must report clicks";
}

TEST_F(ControlsTest, AnOpaqueLabelPaintsWithItsParentsColour) {
  const WindowDc dc(Form->Readout->WindowHandle());
  const auto brush = reinterpret_cast<HBRUSH>(::SendMessageA(Form->WindowHandle(), WM_CTLCOLORSTATIC,
                                                              reinterpret_cast<WPARAM>(dc.get()),
                                                              reinterpret_cast<LPARAM>(Form->Readout->WindowHandle())));
  LOGBRUSH seen{};
  ASSERT_NE(::GetObjectA(brush, sizeof seen, &seen), 0);
  EXPECT_EQ(seen.lbColor, ColorToRGB(clBtnFace));
  Form->Readout->SetFontColor(clRed);
  ::SendMessageA(Form->WindowHandle(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.get()),
                 reinterpret_cast<LPARAM>(Form->Readout->WindowHandle()));
  EXPECT_EQ(::GetTextColor(dc.get()), ColorToRGB(clRed));
}

TEST_F(ControlsTest, TheProgressBarHasA32BitRangeItsPositionAndBackgroundColour) {
  const HWND bar = Form->Bar->WindowHandle();
  EXPECT_EQ(::SendMessageA(bar, PBM_GETRANGE, TRUE, 0), 0);
  EXPECT_EQ(::SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 100);

  Form->Bar->SetMax(2'000'000'000);
  Form->Bar->SetPosition(1'500'000'000);
  EXPECT_EQ(::SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 2'000'000'000);
  EXPECT_EQ(Form->Bar->Position(), 1'500'000'000);

  Form->Bar->SetBackgroundColor(RGBColor(128, 128, 128));
  EXPECT_EQ(static_cast<COLORREF>(::SendMessageA(bar, PBM_GETBKCOLOR, 0, 0)), RGB(128, 128, 128));

  RECT place{};
  ::GetWindowRect(bar, &place);
  ::MapWindowPoints(nullptr, Form->WindowHandle(), reinterpret_cast<POINT*>(&place), 2);
  EXPECT_EQ(place.left, 0);
  EXPECT_EQ(place.right, 298);
  EXPECT_EQ(place.bottom, 213) << "aligned to the bottom edge";
}

TEST_F(ControlsTest, ADialogFormCannotBeResizedAndItsPanelHoldsItsChildren) {
  const LONG_PTR style = ::GetWindowLongPtrA(Form->WindowHandle(), GWL_STYLE);
  EXPECT_EQ(style & WS_THICKFRAME, 0);
  EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX), 0);
  EXPECT_EQ(::GetParent(Form->ProgramIcon->WindowHandle()), Form->Panel1->WindowHandle());
  EXPECT_NE(Form->ProgramIcon->Icon(), nullptr);
  RECT client{};
  ::GetClientRect(Form->WindowHandle(), &client);
  EXPECT_EQ(client.right, 298);
  EXPECT_EQ(client.bottom, 213);
}

}  // namespace

