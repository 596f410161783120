#include "framework/Form.h"

#include "base/Exception.h"
#include "base/MessageFormat.h"
#include "framework/Application.h"
#include "framework/Menu.h"

#include <vector>

namespace {

constexpr char kFormClass[] = "QuorvaneForm";

// The program's other windows while a form is modal; enabled again on every way out.
class TDisabledWindows {
 public:
  explicit TDisabledWindows(HWND modal) : FModal(modal) {
    ::EnumThreadWindows(::GetCurrentThreadId(), &TDisabledWindows::Collect, reinterpret_cast<LPARAM>(this));
    for (HWND window : FWindows) ::EnableWindow(window, FALSE);
  }
  TDisabledWindows(const TDisabledWindows&) = delete;
  TDisabledWindows& operator=(const TDisabledWindows&) = delete;
  ~TDisabledWindows() {
    for (HWND window : FWindows) ::EnableWindow(window, TRUE);
  }

 private:
  static BOOL CALLBACK Collect(HWND window, LPARAM self) noexcept {
    auto& windows = *reinterpret_cast<TDisabledWindows*>(self);
    if (window != windows.FModal && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
      try {
        windows.FWindows.push_back(window);
      } catch (...) {
        return FALSE;  // out of memory: the rest simply stays enabled
      }
    }
    return TRUE;
  }

  HWND FModal;
  std::vector<HWND> FWindows;
};

}  // namespace

TForm::TForm(TComponent* owner) : TControl(owner) { SetVisible(false); }

// The controls go while the form is still a whole TForm: their windows are children
// of ours and their teardown sends us messages.
TForm::~TForm() { DestroyComponents(); }

void TForm::LoadLayout(const TFormSpec& stored) {
  SetCaption(stored.Caption);
  FBorderStyle = stored.BorderStyle;
  FPosition = stored.Position;
  FDesignClientSize = {stored.ClientWidth, stored.ClientHeight};
  SetColor(stored.Color);
  SetFont(stored.Font);
  if (stored.OnShow != nullptr) OnShow = stored.OnShow(*this);
  StoreBounds({stored.Left, stored.Top, stored.ClientWidth, stored.ClientHeight});
  Handle();
  std::vector<TComponent*> made;
  made.reserve(stored.Controls.size());
  for (const TControlSpec& row : stored.Controls) {
    TComponent& component = row.Field.Make(*this);
    made.push_back(&component);
    component.SetName(row.Name);
    component.ApplySpec(row, *this);
    if (row.Setup != nullptr) row.Setup(*this, component);
  }
  ArrangeTabOrder();
  SetClientSize(stored.ClientWidth, stored.ClientHeight);
  for (TComponent* component : made) component->Loaded();
  Loaded();
}

TForm::TWindowClass TForm::CreateParams() const {
  if (FBorderStyle == TBorderStyle::bsDialog)
    return {kFormClass, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT};
  return {kFormClass, WS_OVERLAPPEDWINDOW, WS_EX_CONTROLPARENT};
}

void TForm::CreateHandle() {
  RegisterOwnClass(kFormClass);
  const TWindowClass params = CreateParams();
  // Secondary forms stay above the main form and leave the taskbar to it.
  const TForm* mainForm = Application.MainForm();
  const HWND owner = mainForm != nullptr && mainForm != this ? mainForm->WindowHandle() : nullptr;
  const std::string caption = Caption();
  const HWND window = ::CreateWindowExA(params.ExStyle, params.Name, caption.c_str(), params.Style, Left(), Top(),
                                        Width(), Height(), owner, nullptr, ::GetModuleHandleA(nullptr), this);
  if (window == nullptr) throw Exception(FormatMessage1("Cannot create the window of '%s'", Name()));
}

int TForm::ClientWidth() const {
  RECT client{};
  ::GetClientRect(WindowHandle(), &client);
  return client.right;
}

int TForm::ClientHeight() const {
  RECT client{};
  ::GetClientRect(WindowHandle(), &client);
  return client.bottom;
}

void TForm::SetClientSize(int width, int height) {
  const HWND window = Handle();
  const TWindowClass params = CreateParams();
  RECT frame{0, 0, width, height};
  ::AdjustWindowRectEx(&frame, params.Style, ::GetMenu(window) != nullptr, params.ExStyle);
  SetWindowBounds({Left(), Top(), frame.right - frame.left, frame.bottom - frame.top});
  // A menu bar can come out taller than AdjustWindowRectEx assumes (it may wrap, or
  // the font differs): measure and correct once.
  RECT client{};
  ::GetClientRect(window, &client);
  if (client.right != width || client.bottom != height)
    SetWindowBounds({Left(), Top(), Width() + width - client.right, Height() + height - client.bottom});
}

void TForm::SetMainMenu(TMainMenu* menu) {
  FMenu = menu;
  ::SetMenu(Handle(), menu != nullptr ? menu->Handle() : nullptr);
}

void TForm::Show() {
  const HWND window = Handle();
  if (!FShownBefore && FPosition == TPosition::poScreenCenter) CenterOnScreen();
  FShownBefore = true;
  ::ShowWindow(window, SW_SHOW);
  ::UpdateWindow(window);
}

void TForm::Hide() { ::ShowWindow(Handle(), SW_HIDE); }

void TForm::Close() {
  if (FModal) {
    FModalResult = mrCancel;
    return;
  }
  Hide();
  if (Application.MainForm() == this) Application.Terminate();
}

TModalResult TForm::ShowModal() {
  const HWND window = Handle();
  const HWND previous = ::GetActiveWindow();
  FModalResult = mrNone;
  FModal = true;
  {
    const TDisabledWindows disabled(window);
    try {
      Show();
      while (FModalResult == mrNone)
        if (!Application.ProcessMessage()) FModalResult = mrCancel;  // the program is ending
    } catch (...) {
      FModal = false;
      throw;
    }
  }
  // Enabled again before hiding, so that activation can return to the window behind.
  FModal = false;
  Hide();
  if (previous != nullptr && ::IsWindow(previous)) ::SetActiveWindow(previous);
  return FModalResult;
}

void TForm::CenterOnScreen() {
  const int left = (::GetSystemMetrics(SM_CXSCREEN) - Width()) / 2;
  const int top = (::GetSystemMetrics(SM_CYSCREEN) - Height()) / 2;
  SetWindowBounds({left, top, Width(), Height()});
}

void TForm::WindowMoved() {
  RECT frame{};
  ::GetWindowRect(WindowHandle(), &frame);
  StoreBounds({frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top});
}

void TForm::RestoreFocus() {
  const HWND window = WindowHandle();
  HWND target = FFocused;
  if (target == nullptr || !::IsWindow(target) || !::IsChild(window, target))
    target = ::GetNextDlgTabItem(window, nullptr, FALSE);
  if (target != nullptr) ::SetFocus(target);
}

// Sent by IsDialogMessage for Tab and Shift+Tab; a plain window has no dialog
// procedure to answer it.
void TForm::FocusNext(WPARAM wParam, LPARAM lParam) {
  const HWND target = lParam != 0 ? reinterpret_cast<HWND>(wParam)
                                  : ::GetNextDlgTabItem(WindowHandle(), ::GetFocus(), wParam != 0);
  if (target != nullptr) ::SetFocus(target);
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_SHOWWINDOW:
      if (wParam != FALSE) OnShow(this);
      break;
    case DM_GETDEFID:
      return FDefaultButton != nullptr ? MAKELRESULT(FDefaultButton->ControlId(), DC_HASDEFID) : 0;
    case WM_NEXTDLGCTL:
      FocusNext(wParam, lParam);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = ::GetFocus();
        if (focus != nullptr && ::IsChild(WindowHandle(), focus)) FFocused = focus;
      } else {
        RestoreFocus();
        return 0;
      }
      break;
    case WM_COMMAND:
      if (lParam == 0 && HIWORD(wParam) == 0 && FMenu != nullptr) {
        FMenu->Dispatch(LOWORD(wParam));
        return 0;
      }
      break;
    case WM_WINDOWPOSCHANGED:
      WindowMoved();
      break;
    default:
      break;
  }
  return TControl::WndProc(message, wParam, lParam);
}
