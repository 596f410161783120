#include "ui/about.h"

#include "tests/support/WindowProbe.h"
#include "framework/Button.h"
#include "framework/Image.h"
#include "framework/Label.h"
#include "framework/Panel.h"
#include "tests/support/Ink.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// What the links handed to the shell, and what the shell is to answer.
struct TShellCall {
  HWND Parent;
  std::string Verb;
  std::string File;
  bool NoParameters;
  bool NoDirectory;
  int Show;
};
std::vector<TShellCall> gShellCalls;
INT_PTR gShellResult = 33;

HINSTANCE WINAPI StubShell(HWND parent, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT show) {
  gShellCalls.push_back({parent, verb, file, parameters == nullptr, directory == nullptr, show});
  return reinterpret_cast<HINSTANCE>(gShellResult);
}

RECT InParent(HWND window) {
  RECT rect{};
  ::GetWindowRect(window, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string TextOf(HWND window) {
  char text[256] = {};
  ::GetWindowTextA(window, text, static_cast<int>(std::size(text)));
  return text;
}

LOGFONTA FontOf(HWND window) {
  LOGFONTA font{};
  ::GetObjectA(reinterpret_cast<HGDIOBJ>(::SendMessageA(window, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font;
}

// Runs an action from inside the next modal showing, by a thread timer that the
// modal loop dispatches.
std::function<void()> gInModal;
void CALLBACK RunInModal(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  if (gInModal) std::exchange(gInModal, nullptr)();
}

void CALLBACK EndStuckShowing(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  ADD_FAILURE() << "the About box stayed open";
  if (frmAbout != nullptr) frmAbout->SetModalResult(mrCancel);
}

class AboutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    About = std::make_unique<TfrmAbout>(nullptr);
    About->ShellOpen = &StubShell;
    gShellCalls.clear();
  }

  void Click(TLabel* label) {
    const HWND window = label->WindowHandle();
    ::SendMessageA(::GetParent(window), WM_COMMAND, MAKEWPARAM(label->ControlId(), STN_CLICKED),
                   reinterpret_cast<LPARAM>(window));
  }

  // Clicks a link with the shell answering result; returns the message boxes shown.
  std::vector<TBoxSeen> ClickWithShellResult(TLabel* label, INT_PTR result) {
    gShellResult = result;
    TDialogWatcher watcher;
    Click(label);
    return watcher.Shown();
  }

  TModalResult ShowModalAndThen(std::function<void()> action) {
    gInModal = std::move(action);
    ::SetTimer(nullptr, 0, 50, &RunInModal);
    // Should the action fail to end the showing, the test still ends.
    const UINT_PTR guard = ::SetTimer(nullptr, 0, 5000, &EndStuckShowing);
    frmAbout = About.get();
    const TModalResult result = About->ShowModal();
    ::KillTimer(nullptr, guard);
    frmAbout = nullptr;
    return result;
  }

  std::unique_ptr<TfrmAbout> About;
};

struct TExpectedControl {
  const char* Name;
  HWND Parent;
  RECT Rect;  // right and bottom 0: sized by its text, not checked
  const char* Text;
  const char* Face;  // null: a window of our own class, which draws no text
  int Height;
  bool Underline;
};

TEST_F(AboutTest, WindowsAreLaidOutAsStored) {
  const HWND form = About->WindowHandle();
  const HWND panel = About->Panel1->WindowHandle();
  EXPECT_EQ(TextOf(form), "About");
  const LONG_PTR style = ::GetWindowLongPtrA(form, GWL_STYLE);
  EXPECT_EQ(style & WS_THICKFRAME, 0);
  EXPECT_EQ(style & WS_MAXIMIZEBOX, 0);
  RECT client{};
  ::GetClientRect(form, &client);
  EXPECT_EQ(client.right, 298);
  EXPECT_EQ(client.bottom, 213);

  const TExpectedControl expected[] = {
      {"Panel1", form, {8, 8, 289, 169}, "", nullptr, 0, false},
      {"ProductName", panel, {64, 16, 0, 0}, "Quorvane", "Arial", -16, false},
      {"Version", panel, {0, 40, 266, 0}, "version 1.00", "MS Sans Serif", -11, false},
      {"Copyright", panel, {8, 80, 0, 0}, "Copyright (c) 2026 Brenvold Software", "Arial", -11, false},
      {"Comments", panel, {8, 112, 0, 0}, "visit at:", "Arial", -11, false},
      {"Label1", panel, {56, 112, 0, 0}, "https://www.brenvold.example/quorvane/", "Arial", -11, true},
      {"Label3", panel, {8, 136, 0, 0}, "email:", "Arial", -11, false},
      {"Label2", panel, {56, 136, 0, 0}, "quorvane@brenvold.example", "Arial", -11, true},
      {"OKButton", form, {111, 180, 186, 205}, "OK", "MS Sans Serif", -11, false},
  };
  for (const TExpectedControl& want : expected) {
    SCOPED_TRACE(want.Name);
    const auto* control = dynamic_cast<TControl*>(About->FindComponent(want.Name));
    ASSERT_NE(control, nullptr);
    const HWND window = control->WindowHandle();
    EXPECT_EQ(::GetParent(window), want.Parent);
    const RECT rect = InParent(window);
    if (want.Rect.left != 0) {
      EXPECT_EQ(rect.left, want.Rect.left);
    }
    EXPECT_EQ(rect.top, want.Rect.top);
    if (want.Rect.right != 0) {
      EXPECT_EQ(rect.right, want.Rect.right);
    }
    if (want.Rect.bottom != 0) {
      EXPECT_EQ(rect.bottom, want.Rect.bottom);
    }
    EXPECT_GT(rect.right - rect.left, 0);
    EXPECT_GT(rect.bottom - rect.top, 0);
    if (want.Parent == panel) {
      EXPECT_EQ(TextOf(window), want.Text);
    }
    if (want.Face == nullptr) continue;
    const LOGFONTA font = FontOf(window);
    EXPECT_STREQ(font.lfFaceName, want.Face);
    EXPECT_EQ(font.lfHeight, want.Height);
    EXPECT_EQ(font.lfUnderline != 0, want.Underline);
  }
  EXPECT_EQ(TextOf(About->OKButton->WindowHandle()), "OK");
  LOGFONTA formFont{};
  ::GetObjectA(About->Font(), sizeof formFont, &formFont);
  EXPECT_STREQ(formFont.lfFaceName, "MS Sans Serif");
  EXPECT_EQ(formFont.lfHeight, -11);
  EXPECT_EQ(About->ProductName->FontColor(), clYellow);
  EXPECT_EQ(About->Label1->FontColor(), clBlue);
  EXPECT_EQ(About->Label2->FontColor(), clBlue);
  EXPECT_EQ(About->Copyright->FontColor(), clWindowText);
  EXPECT_EQ(About->Panel1->BevelOuter(), TBevelCut::bvLowered);
  EXPECT_EQ(About->Panel1->BevelInner(), TBevelCut::bvRaised);
  EXPECT_EQ(::GetWindowLongPtrA(About->Version->WindowHandle(), GWL_STYLE) & SS_TYPEMASK, SS_RIGHT);

  // The program's own icon (not the system's stand-in), stretched over 32 x 32.
  const HWND icon = About->ProgramIcon->WindowHandle();
  const RECT rect = InParent(icon);
  EXPECT_EQ(rect.left, 16);
  EXPECT_EQ(rect.top, 8);
  EXPECT_EQ(rect.right - rect.left, 32);
  EXPECT_EQ(rect.bottom - rect.top, 32);
  EXPECT_EQ(::GetParent(icon), About->Panel1->WindowHandle());
  ASSERT_NE(About->ProgramIcon->Icon(), nullptr);
  EXPECT_NE(About->ProgramIcon->Icon(), ::LoadIconA(nullptr, IDI_APPLICATION));
  EXPECT_TRUE(About->ProgramIcon->Stretch());
}

// The ink of a label as it paints itself with room to spare: for a wrapping label
// only below (more width would rejoin its lines), for the others on every side.
TInk InkWithRoom(HWND label, bool wraps) {
  RECT rect{};
  ::GetClientRect(label, &rect);
  const int width = wraps ? rect.right : 3 * rect.right;
  ::SetWindowPos(label, nullptr, 0, 0, width, 3 * rect.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  const TInk ink = InkOfWindow(label);
  ::SetWindowPos(label, nullptr, 0, 0, rect.right, rect.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return ink;
}

// Each label that sizes itself to its text shows all of it and takes no more room
// than the text's pixels need: checked against what it paints, not against the
// text metrics it was sized from.
TEST_F(AboutTest, LabelsSizedToTheirTextShowItAllAndNoMore) {
  for (TLabel* label : {About->ProductName, About->Version, About->Copyright, About->Comments, About->Label1,
                        About->Label3, About->Label2}) {
    SCOPED_TRACE(label->Name());
    ASSERT_TRUE(label->AutoSize());
    const HWND window = label->WindowHandle();
    RECT size{};
    ::GetClientRect(window, &size);
    const TInk shown = InkOfWindow(window);
    const TInk whole = InkWithRoom(window, label->WordWrap());
    ASSERT_GT(whole.Pixels, 0);
    EXPECT_EQ(shown.Width(), whole.Width()) << "the text is cut at a side";
    EXPECT_EQ(shown.Height(), whole.Height()) << "the text is cut at the top or bottom";
    // A glyph's side bearings are the only blank columns a fitted label has.
    if (!label->WordWrap()) {
      EXPECT_LE(size.right - whole.Width(), 3) << "wider than its text";
    }
    EXPECT_LT(size.bottom, 2 * whole.Height()) << "taller than its lines";
  }
}

TEST_F(AboutTest, OKIsTheDefaultButtonAndTheLinksShowTheHand) {
  const HWND form = About->WindowHandle();
  const HWND ok = About->OKButton->WindowHandle();
  EXPECT_EQ(LOWORD(::SendMessageA(form, DM_GETDEFID, 0, 0)), About->OKButton->ControlId());
  EXPECT_EQ(::GetWindowLongPtrA(ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_NE(::GetWindowLongPtrA(ok, GWL_STYLE) & WS_TABSTOP, 0);
  EXPECT_EQ(About->OKButton->TabOrder(), 1);
  EXPECT_EQ(About->Panel1->TabOrder(), 0);

  const HWND panel = About->Panel1->WindowHandle();
  const HCURSOR hand = ::LoadCursorA(nullptr, IDC_HAND);
  for (TLabel* link : {About->Label1, About->Label2}) {
    ::SetCursor(nullptr);
    EXPECT_TRUE(::SendMessageA(panel, WM_SETCURSOR, reinterpret_cast<WPARAM>(link->WindowHandle()),
                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(::GetCursor(), hand);
  }
}

TEST_F(AboutTest, WebLinkOpensTheProductPage) {
  EXPECT_TRUE(ClickWithShellResult(About->Label1, 33).empty());
  ASSERT_EQ(gShellCalls.size(), 1u);
  const TShellCall& call = gShellCalls[0];
  EXPECT_EQ(call.Parent, ::GetDesktopWindow());
  EXPECT_EQ(call.Verb, "open");
  EXPECT_EQ(call.File, "https://www.brenvold.example/quorvane/");
  EXPECT_EQ(call.File, About->Label1->Caption());
  EXPECT_TRUE(call.NoParameters);
  EXPECT_TRUE(call.NoDirectory);
  EXPECT_EQ(call.Show, SW_SHOWNORMAL);
}

TEST_F(AboutTest, MailLinkWritesToTheProductAddressWithASubject) {
  EXPECT_TRUE(ClickWithShellResult(About->Label2, 33).empty());
  ASSERT_EQ(gShellCalls.size(), 1u);
  EXPECT_EQ(gShellCalls[0].File, "mailto:quorvane@brenvold.example?subject=Info Request");
  EXPECT_EQ(gShellCalls[0].File, "mailto:" + About->Label2->Caption() + "?subject=Info Request");
  EXPECT_EQ(gShellCalls[0].Verb, "open");
  EXPECT_EQ(gShellCalls[0].Parent, ::GetDesktopWindow());
}

TEST_F(AboutTest, AShellRefusalShowsWhatToDoByHand) {
  const auto web = ClickWithShellResult(About->Label1, 32);
  ASSERT_EQ(web.size(), 1u);
  EXPECT_EQ(web[0].Caption, "Error");
  EXPECT_EQ(web[0].Text,
            "An error occurred with web browser request, please open Oyour browser and go to "
            "https://www.brenvold.example/software/ for more info!");

  const auto mail = ClickWithShellResult(About->Label2, 0);
  ASSERT_EQ(mail.size(), 1u);
  EXPECT_EQ(mail[0].Caption, "Error");
  EXPECT_EQ(mail[0].Text,
            "An error occurred with automatic mailing, please open Outlook Express and send an email "
            "addressed to support@brenvold.example!");
  EXPECT_TRUE(About->Label2->Visible());
}

// The result is a number taken unsigned: anything that is not 0 .. 32 is success.
TEST_F(AboutTest, OnlyResultsUpTo32AreRefusals) {
  EXPECT_TRUE(ClickWithShellResult(About->Label1, -1).empty());
  EXPECT_TRUE(ClickWithShellResult(About->Label2, 42).empty());
  EXPECT_EQ(gShellCalls.size(), 2u);
}

TEST_F(AboutTest, OtherTextsAreNotLinks) {
  for (TLabel* label : {About->ProductName, About->Version, About->Copyright, About->Comments, About->Label3})
    Click(label);
  EXPECT_TRUE(gShellCalls.empty());
}

TEST_F(AboutTest, ShowingTwiceKeepsThePlaceAndTheContent) {
  const HWND form = About->WindowHandle();
  RECT first{};
  const std::string link = About->Label1->Caption();
  ShowModalAndThen([&] {
    ::GetWindowRect(form, &first);
    ::MoveWindow(form, 100, 120, first.right - first.left, first.bottom - first.top, TRUE);
    ::PostMessageA(About->OKButton->WindowHandle(), BM_CLICK, 0, 0);
  });
  EXPECT_FALSE(::IsWindowVisible(form));
  const int width = first.right - first.left;
  EXPECT_EQ(first.left, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2);
  EXPECT_EQ(first.top, (::GetSystemMetrics(SM_CYSCREEN) - (first.bottom - first.top)) / 2);

  RECT second{};
  bool visible = false;
  ShowModalAndThen([&] {
    ::GetWindowRect(form, &second);
    visible = ::IsWindowVisible(form) != FALSE;
    // Enter presses the default button, wherever the focus is in the box.
    ::PostMessageA(::GetFocus() != nullptr ? ::GetFocus() : form, WM_KEYDOWN, VK_RETURN, 0);
  });
  EXPECT_TRUE(visible);
  EXPECT_EQ(second.left, 100);
  EXPECT_EQ(second.top, 120);
  EXPECT_EQ(second.right - second.left, width);
  EXPECT_EQ(About->Label1->Caption(), link);
  EXPECT_EQ(TextOf(About->Version->WindowHandle()), "version 1.00");
  EXPECT_FALSE(::IsWindowVisible(form));
}

}  // namespace
