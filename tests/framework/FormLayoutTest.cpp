// A form built from a stored layout, checked against the real windows it made.
#include "framework/Form.h"

#include "framework/Button.h"
#include "framework/Edit.h"
#include "framework/Label.h"
#include "framework/ListBox.h"
#include "framework/Menu.h"
#include "framework/ProgressBar.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Takes a snapshot of the form when it is told that loading is over.
class TLoadProbe : public TComponent {
 public:
  using TComponent::TComponent;
  void Loaded() override;

  bool SetupRan = false;
  int LoadedCalls = 0;
  int ComponentsAtLoaded = 0;
  std::string LastCaptionAtLoaded;
  bool MenuAtLoaded = false;
};

// Another polymorphic base first, so the form's TForm part is not at its start: the
// layout's handlers must still reach the right object.
struct IElsewhere {
  virtual ~IElsewhere() = default;
  int Padding = 0;
};

class TLayoutForm : public IElsewhere, public TForm {
 public:
  explicit TLayoutForm(TComponent* owner);
  void Loaded() override { FormLoadedAfterProbe = Probe->LoadedCalls == 1; }

  TLabel* Label1 = nullptr;
  TListBox* ListBox1 = nullptr;
  TEdit* Edit1 = nullptr;
  TLabel* Label2 = nullptr;
  TButton* btnBrowse = nullptr;
  TButton* Button1 = nullptr;
  TButton* btnWipe = nullptr;
  TProgressBar* pbWiping = nullptr;
  TMainMenu* MainMenu1 = nullptr;
  TLoadProbe* Probe = nullptr;

  void btnBrowseClick(TComponent* Sender) { Clicks.push_back({this, Sender}); }
  void Exit1Click(TComponent* Sender) { Clicks.push_back({this, Sender}); }

  std::vector<std::pair<TLayoutForm*, TComponent*>> Clicks;
  bool FormLoadedAfterProbe = false;
};

void TLoadProbe::Loaded() {
  ++LoadedCalls;
  auto& form = static_cast<TLayoutForm&>(*static_cast<TForm*>(Owner()));
  ComponentsAtLoaded = form.ComponentCount();
  LastCaptionAtLoaded = form.pbWiping != nullptr ? form.btnWipe->Caption() : "";
  MenuAtLoaded = ::GetMenu(form.WindowHandle()) != nullptr;
}

constexpr TMenuItemSpec kMenu[] = {
    {.Name = "File1", .Caption = "&File"},
    {.Name = "Exit1", .Caption = "E&xit", .Level = 1, .OnClick = Handler<&TLayoutForm::Exit1Click>},
    {.Name = "About1", .Caption = "&About"},
};

constexpr TControlSpec kControls[] = {
    {.Field = Field<&TLayoutForm::Probe>,
     .Name = "Probe",
     .Setup = [](TForm&, TComponent& probe) { static_cast<TLoadProbe&>(probe).SetupRan = true; }},
    {.Field = Field<&TLayoutForm::Label1>, .Name = "Label1", .Bounds = {16, 8, 511, 16},
     .Caption = "Drag and drop files here.",
     .Font = {.Name = "MS Sans Serif", .Height = 13, .Bold = true, .Color = clSilver}, .Transparent = true,
     .WordWrap = true},
    {.Field = Field<&TLayoutForm::ListBox1>, .Name = "ListBox1", .Bounds = {16, 32, 433, 241}, .TabOrder = 6,
     .Cursor = TCursor::crHandPoint, .MultiSelect = true, .Sorted = true},
    {.Field = Field<&TLayoutForm::Edit1>, .Name = "Edit1", .Bounds = {16, 280, 433, 21}, .TabOrder = 4,
     .ReadOnly = true},
    {.Field = Field<&TLayoutForm::Label2>, .Name = "Label2", .Bounds = {461, 112, 85, 129},
     .Font = {.Name = "OCR A Extended", .Height = 11, .Charset = ANSI_CHARSET, .Color = clRed}, .WordWrap = true,
     .Constraints = {85, 129, 85, 129}},
    {.Field = Field<&TLayoutForm::btnBrowse>, .Name = "btnBrowse", .Bounds = {456, 48, 89, 25},
     .Caption = "&Select File(s)", .Anchors = akTop | akRight, .TabOrder = 0,
     .OnClick = Handler<&TLayoutForm::btnBrowseClick>},
    {.Field = Field<&TLayoutForm::Button1>, .Name = "Button1", .Bounds = {456, 80, 89, 25},
     .Caption = "&Don't Shred", .Anchors = akTop | akRight, .TabOrder = 5},
    {.Field = Field<&TLayoutForm::btnWipe>, .Name = "btnWipe", .Bounds = {456, 248, 89, 25},
     .Caption = "Shred &NOW!", .Anchors = akTop | akRight, .TabOrder = 1, .Enabled = false},
    {.Field = Field<&TLayoutForm::pbWiping>, .Name = "pbWiping", .Bounds = {0, 314, 548, 16},
     .Align = TAlign::alBottom, .TabOrder = 3},
    {.Field = Field<&TLayoutForm::MainMenu1>, .Name = "MainMenu1", .MenuItems = kMenu},
};

constexpr TFormSpec kLayout{.Caption = "Layout test",
                            .Left = 125,
                            .Top = 116,
                            .ClientWidth = 548,
                            .ClientHeight = 330,
                            .Color = clBlack,
                            .Controls = kControls};

TLayoutForm::TLayoutForm(TComponent* owner) : TForm(owner) { LoadLayout(kLayout); }

TBounds PlaceInParent(HWND control) {
  RECT frame{};
  ::GetWindowRect(control, &frame);
  ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&frame), 2);
  return {frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top};
}

LOGFONTA FontOf(HWND control) {
  LOGFONTA font{};
  const auto handle = reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
  ::GetObjectA(handle, sizeof font, &font);
  return font;
}

std::string Text(HWND window) {
  char text[256] = {};
  ::GetWindowTextA(window, text, static_cast<int>(std::size(text)));
  return text;
}

LONG_PTR StyleOf(HWND window) { return ::GetWindowLongPtrA(window, GWL_STYLE); }

#define EXPECT_BOUNDS(control, l, t, w, h)                                \
  do {                                                                    \
    const TBounds seen = PlaceInParent((control)->WindowHandle());        \
    EXPECT_EQ(seen.Left, l) << #control;                                  \
    EXPECT_EQ(seen.Top, t) << #control;                                   \
    EXPECT_EQ(seen.Width, w) << #control;                                 \
    EXPECT_EQ(seen.Height, h) << #control;                                \
  } while (false)

class FormLayoutTest : public testing::Test {
 protected:
  void SetUp() override {
    Form = std::make_unique<TLayoutForm>(nullptr);
    Form->Show();
  }
  std::unique_ptr<TLayoutForm> Form;
};

TEST_F(FormLayoutTest, TheWindowsHaveTheStoredPlacesSizesAndCaptions) {
  RECT client{};
  ::GetClientRect(Form->WindowHandle(), &client);
  EXPECT_EQ(client.right, 548);
  EXPECT_EQ(client.bottom, 330);
  EXPECT_NE(::GetMenu(Form->WindowHandle()), nullptr) << "the client size is the one below the menu bar";
  RECT frame{};
  ::GetWindowRect(Form->WindowHandle(), &frame);
  EXPECT_EQ(frame.left, 125);
  EXPECT_EQ(frame.top, 116);
  EXPECT_EQ(Text(Form->WindowHandle()), "Layout test");

  EXPECT_BOUNDS(Form->Label1, 16, 8, 511, 16);
  EXPECT_BOUNDS(Form->ListBox1, 16, 32, 433, 241);
  EXPECT_BOUNDS(Form->Edit1, 16, 280, 433, 21);
  EXPECT_BOUNDS(Form->Label2, 461, 112, 85, 129);
  EXPECT_BOUNDS(Form->btnBrowse, 456, 48, 89, 25);
  EXPECT_BOUNDS(Form->btnWipe, 456, 248, 89, 25);
  EXPECT_BOUNDS(Form->pbWiping, 0, 314, 548, 16);

  EXPECT_EQ(Text(Form->Label1->WindowHandle()), "Drag and drop files here.");
  EXPECT_EQ(Text(Form->btnBrowse->WindowHandle()), "&Select File(s)");
  EXPECT_EQ(Text(Form->Button1->WindowHandle()), "&Don't Shred");
  EXPECT_EQ(Text(Form->Edit1->WindowHandle()), "");
  EXPECT_EQ(Form->ListBox1->Name(), "ListBox1");
}

TEST_F(FormLayoutTest, EachControlDrawsWithItsStoredFontOrTheForms) {
  const LOGFONTA instruction = FontOf(Form->Label1->WindowHandle());
  EXPECT_STREQ(instruction.lfFaceName, "MS Sans Serif");
  EXPECT_EQ(instruction.lfHeight, -13);
  EXPECT_EQ(instruction.lfWeight, FW_BOLD);

  const LOGFONTA readout = FontOf(Form->Label2->WindowHandle());
  EXPECT_STREQ(readout.lfFaceName, "OCR A Extended");
  EXPECT_EQ(readout.lfHeight, -11);
  EXPECT_EQ(readout.lfCharSet, ANSI_CHARSET);
  EXPECT_EQ(readout.lfWeight, FW_NORMAL);

  for (const TControl* inherits : {static_cast<TControl*>(Form->Edit1), static_cast<TControl*>(Form->btnWipe)}) {
    const LOGFONTA font = FontOf(inherits->WindowHandle());
    EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(font.lfHeight, -11);
  }
  EXPECT_EQ(Form->Label1->FontColor(), clSilver);
  EXPECT_EQ(Form->Edit1->FontColor(), clWindowText);
  EXPECT_EQ(Form->Label2->Color(), clBlack) << "a label shows its parent's colour";
}

TEST_F(FormLayoutTest, KindsGetTheirStoredStylesAndTheTabOrderIsTheStoredOne) {
  const HWND listBox = Form->ListBox1->WindowHandle();
  for (const LONG_PTR bit : {LONG_PTR{LBS_EXTENDEDSEL}, LONG_PTR{LBS_SORT}, LONG_PTR{LBS_NOINTEGRALHEIGHT}})
    EXPECT_EQ(StyleOf(listBox) & bit, bit);
  // The list shows each scroll bar only while it is needed, so make it needed.
  ::SendMessageA(listBox, LB_SETHORIZONTALEXTENT, 2000, 0);
  for (int i = 0; i < 40; ++i) Form->ListBox1->Add("row " + std::to_string(i));
  EXPECT_NE(StyleOf(listBox) & WS_HSCROLL, 0);
  EXPECT_NE(StyleOf(listBox) & WS_VSCROLL, 0);
  EXPECT_NE(StyleOf(Form->Edit1->WindowHandle()) & ES_READONLY, 0);
  EXPECT_FALSE(::IsWindowEnabled(Form->btnWipe->WindowHandle()));
  EXPECT_EQ(StyleOf(Form->Label2->WindowHandle()) & SS_TYPEMASK, SS_LEFT) << "word wrap";

  // Tab order 0 btnBrowse, 1 btnWipe (disabled, skipped), 4 Edit1, 5 Button1, 6 ListBox1.
  const HWND form = Form->WindowHandle();
  std::vector<HWND> walk{Form->btnBrowse->WindowHandle()};
  for (int i = 0; i < 4; ++i) walk.push_back(::GetNextDlgTabItem(form, walk.back(), FALSE));
  EXPECT_EQ(walk, (std::vector<HWND>{Form->btnBrowse->WindowHandle(), Form->Edit1->WindowHandle(),
                                      Form->Button1->WindowHandle(), Form->ListBox1->WindowHandle(),
                                      Form->btnBrowse->WindowHandle()}));
}

// The ids worked out from the table are the ones the windows get, with a component
// that is no control in front of the controls and one behind them.
TEST_F(FormLayoutTest, ControlIdWorkedOutFromTheTableIsTheIdEachWindowGets) {
  for (const TControlSpec& row : kControls) {
    const auto* control = dynamic_cast<const TControl*>(Form->FindComponent(row.Name));
    const int expected = control == nullptr ? -1 : ::GetDlgCtrlID(control->WindowHandle());
    EXPECT_EQ(ControlId(kControls, row.Name), expected) << row.Name;
  }
  static_assert(ControlId(kControls, "Label1") == kFirstControlId);
  static_assert(ControlId(kControls, "Probe") == -1 && ControlId(kControls, "NoSuchRow") == -1);
}

TEST_F(FormLayoutTest, AnchorsKeepRightAnchoredButtonsAtTheirDistanceAndTheBarAtTheBottom) {
  Form->SetClientSize(648, 430);
  EXPECT_BOUNDS(Form->btnBrowse, 556, 48, 89, 25);
  EXPECT_BOUNDS(Form->btnWipe, 556, 248, 89, 25);
  EXPECT_BOUNDS(Form->ListBox1, 16, 32, 433, 241);
  EXPECT_BOUNDS(Form->Label2, 461, 112, 85, 129);
  EXPECT_BOUNDS(Form->pbWiping, 0, 414, 648, 16);

  Form->SetClientSize(500, 300);
  EXPECT_BOUNDS(Form->btnBrowse, 408, 48, 89, 25);
  EXPECT_BOUNDS(Form->pbWiping, 0, 284, 500, 16);

  Form->SetClientSize(548, 330);
  EXPECT_BOUNDS(Form->btnBrowse, 456, 48, 89, 25);
  EXPECT_BOUNDS(Form->pbWiping, 0, 314, 548, 16);
}

TEST_F(FormLayoutTest, LoadedRunsOnceAfterEveryStoredPropertyThenOnTheForm) {
  const TLoadProbe& probe = *Form->Probe;
  EXPECT_TRUE(probe.SetupRan);
  EXPECT_EQ(probe.LoadedCalls, 1);
  EXPECT_EQ(probe.ComponentsAtLoaded, 10) << "every row made before any Loaded";
  EXPECT_EQ(probe.LastCaptionAtLoaded, "Shred &NOW!");
  EXPECT_TRUE(probe.MenuAtLoaded);
  EXPECT_TRUE(Form->FormLoadedAfterProbe);
}

TEST_F(FormLayoutTest, StoredHandlersReachTheFormWithTheSender) {
  ::SendMessageA(Form->btnBrowse->WindowHandle(), BM_CLICK, 0, 0);
  ASSERT_EQ(Form->Clicks.size(), 1u);
  EXPECT_EQ(Form->Clicks[0].first, Form.get());
  EXPECT_EQ(Form->Clicks[0].second, Form->btnBrowse);

  // No handler stored for Button1: clicking it must do nothing at all.
  ::SendMessageA(Form->Button1->WindowHandle(), BM_CLICK, 0, 0);
  EXPECT_EQ(Form->Clicks.size(), 1u);

  const TMenuItem* exit = Form->MainMenu1->FindItem("Exit1");
  ASSERT_NE(exit, nullptr);
  ::SendMessageA(Form->WindowHandle(), WM_COMMAND, MAKEWPARAM(exit->Command(), 0), 0);
  ASSERT_EQ(Form->Clicks.size(), 2u);
  EXPECT_EQ(Form->Clicks[1].first, Form.get());
  EXPECT_EQ(Form->Clicks[1].second, exit);
  EXPECT_NE(Form->MainMenu1->FindItem("About1"), nullptr);
}

TEST_F(FormLayoutTest, DestroyingTheFormDestroysItsControlsAndTheirWindows) {
  const std::vector<HWND> windows{Form->WindowHandle(), Form->ListBox1->WindowHandle(),
                                  Form->btnWipe->WindowHandle()};
  for (HWND window : windows) ASSERT_TRUE(::IsWindow(window));
  Form.reset();
  for (HWND window : windows) EXPECT_FALSE(::IsWindow(window));
}

}  // namespace
