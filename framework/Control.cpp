#include "framework/Control.h"

#include "base/Exception.h"
#include "base/MessageFormat.h"
#include "base/WideText.h"
#include "framework/Application.h"
#include "framework/Form.h"

#include <algorithm>

namespace {

// A property, not GWLP_USERDATA: that stays free for whoever else subclasses a window.
constexpr char kObjectProperty[] = "Quorvane.Control";

RECT ToRect(const TBounds& b) noexcept { return {b.Left, b.Top, b.Left + b.Width, b.Top + b.Height}; }

}  // namespace

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
  // Children go first (the form deletes them before this runs); a child that is
  // deleted on its own leaves its parent's list here.
  if (FParent != nullptr) std::erase(FParent->FControls, this);
  for (TControl* child : FControls) child->FParent = nullptr;
  if (FWindow != nullptr) {
    const HWND window = FWindow;
    Detach();  // no message of the teardown may reach a half-destroyed object
    ::DestroyWindow(window);
  }
}

HWND TControl::Handle() {
  if (FWindow == nullptr) CreateHandle();
  return FWindow;
}

TControl* TControl::FromHandle(HWND window) noexcept {
  return window == nullptr ? nullptr : static_cast<TControl*>(::GetPropA(window, kObjectProperty));
}

void TControl::SetParent(TControl* parent) {
  if (FParent == parent) return;
  if (FParent != nullptr) std::erase(FParent->FControls, this);
  FParent = parent;
  if (FParent != nullptr) FParent->FControls.push_back(this);
}

void TControl::Attach(HWND window) noexcept {
  FWindow = window;
  ::SetPropA(window, kObjectProperty, this);
}

void TControl::Detach() noexcept {
  if (FWindow == nullptr) return;
  ::RemovePropA(FWindow, kObjectProperty);
  FWindow = nullptr;
}

void TControl::CreateHandle() {
  if (FParent == nullptr) throw Exception(FormatMessage1("Control '%s' has no parent window", Name()));
  const TWindowClass params = CreateParams();
  DWORD style = params.Style | WS_CHILD;
  if (FVisible) style |= WS_VISIBLE;
  if (!FEnabled) style |= WS_DISABLED;
  if (FTabOrder >= 0 && TakesFocus()) style |= WS_TABSTOP;
  const HWND window = ::CreateWindowExA(params.ExStyle | WS_EX_NOPARENTNOTIFY, params.Name, FCaption.c_str(), style,
                                        FBounds.Left, FBounds.Top, FBounds.Width, FBounds.Height, FParent->Handle(),
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(FId)),
                                        ::GetModuleHandleA(nullptr), this);
  if (window == nullptr) throw Exception(FormatMessage1("Cannot create the window of '%s'", Name()));
  if (FWindow == nullptr) Attach(window);  // standard classes never pass through our procedure
  ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
  AfterCreate();
}

void TControl::ApplySpec(const TControlSpec& stored, TForm& form) {
  TControl* parent = &form;
  if (!stored.Parent.empty()) {
    parent = dynamic_cast<TControl*>(form.FindComponent(stored.Parent));
    if (parent == nullptr) throw Exception(FormatMessage1("Unknown parent of '%s'", stored.Name));
  }
  SetParent(parent);
  FBounds = Constrained(stored.Bounds);
  FAnchorOrigin = FBounds;
  FAnchorParentSize = parent->DesignClientSize();
  FAnchors = stored.Anchors;
  FAlign = stored.Align;
  FConstraints = stored.Constraints;
  FTabOrder = stored.TabOrder;
  FCursor = stored.Cursor;
  FCaption = stored.Caption;
  FEnabled = stored.Enabled;
  FVisible = stored.Visible;
  FColor = stored.Color;
  if (!stored.Font.Name.empty()) FFont = CreateFontFromSpec(stored.Font);
  if (stored.Font.Color != clDefault) FFontColor = stored.Font.Color;
  if (stored.OnClick != nullptr) OnClick = stored.OnClick(form);
  FId = form.NextControlId();
  ReadSpec(stored);
  CreateHandle();
}

void TControl::SetBounds(const TBounds& bounds) {
  SetWindowBounds(bounds);
  FAnchorOrigin = FBounds;
  FAnchorParentSize = FParent != nullptr ? FParent->DesignClientSize() : SIZE{};
  if (FParent != nullptr && FParent->FWindow != nullptr) {
    RECT client{};
    ::GetClientRect(FParent->FWindow, &client);
    FAnchorParentSize = {client.right, client.bottom};
  }
}

void TControl::SetWindowBounds(const TBounds& bounds) {
  FBounds = Constrained(bounds);
  if (FWindow != nullptr) ::MoveWindow(FWindow, FBounds.Left, FBounds.Top, FBounds.Width, FBounds.Height, TRUE);
}

TBounds TControl::Constrained(TBounds b) const noexcept {
  const auto clamp = [](int value, int low, int high) {
    if (high > 0) value = std::min(value, high);
    return std::max(value, low);
  };
  b.Width = clamp(b.Width, FConstraints.MinWidth, FConstraints.MaxWidth);
  b.Height = clamp(b.Height, FConstraints.MinHeight, FConstraints.MaxHeight);
  return b;
}

void TControl::AlignChildren(int clientWidth, int clientHeight) {
  for (TControl* child : FControls) child->AlignToParent(clientWidth, clientHeight);
}

void TControl::AlignToParent(int parentWidth, int parentHeight) {
  if (FAlign == TAlign::alBottom) {
    SetWindowBounds({0, parentHeight - FBounds.Height, parentWidth, FBounds.Height});
    return;
  }
  const int grownWidth = parentWidth - FAnchorParentSize.cx;
  const int grownHeight = parentHeight - FAnchorParentSize.cy;
  TBounds b = FAnchorOrigin;
  if ((FAnchors & akRight) != 0) ((FAnchors & akLeft) != 0 ? b.Width : b.Left) += grownWidth;
  if ((FAnchors & akBottom) != 0) ((FAnchors & akTop) != 0 ? b.Height : b.Top) += grownHeight;
  SetWindowBounds(b);
}

// Tab stops follow the stored tab order; the keyboard walks the z-order, so that is
// what gets arranged. Controls without a tab order keep their table order behind.
void TControl::ArrangeTabOrder() {
  std::vector<TControl*> ordered = FControls;
  std::stable_sort(ordered.begin(), ordered.end(), [](const TControl* a, const TControl* b) {
    const auto rank = [](const TControl* c) { return c->FTabOrder < 0 ? INT_MAX : c->FTabOrder; };
    return rank(a) < rank(b);
  });
  HWND after = HWND_TOP;
  for (TControl* child : ordered) {
    if (child->FWindow == nullptr) continue;
    ::SetWindowPos(child->FWindow, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = child->FWindow;
    child->ArrangeTabOrder();
  }
}

// Wide both ways, as the standard controls keep their texts: a caption can hold a
// path (the status line does) of any length, and no 8-bit conversion of the
// system's stands in between.
std::string TControl::Caption() const {
  if (FWindow == nullptr) return FCaption;
  std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(FWindow)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(FWindow, text.data(), static_cast<int>(text.size()))));
  return NarrowOf(text);
}

void TControl::SetCaption(std::string_view caption) {
  FCaption = caption;
  if (FWindow != nullptr) ::SetWindowTextW(FWindow, WideOf(FCaption).c_str());
}

bool TControl::Enabled() const noexcept { return FWindow != nullptr ? ::IsWindowEnabled(FWindow) != FALSE : FEnabled; }

void TControl::SetEnabled(bool enabled) {
  FEnabled = enabled;
  if (FWindow != nullptr) ::EnableWindow(FWindow, enabled);
}

bool TControl::Visible() const noexcept {
  if (FWindow == nullptr) return FVisible;
  return (::GetWindowLongPtrA(FWindow, GWL_STYLE) & WS_VISIBLE) != 0;
}

void TControl::SetVisible(bool visible) {
  FVisible = visible;
  if (FWindow != nullptr) ::ShowWindow(FWindow, visible ? SW_SHOW : SW_HIDE);
}

TColor TControl::DefaultColor() const noexcept { return FParent != nullptr ? FParent->Color() : clBtnFace; }

TColor TControl::Color() const noexcept { return FColor != clDefault ? FColor : DefaultColor(); }

void TControl::SetColor(TColor color) {
  FColor = color;
  if (FWindow != nullptr) ::InvalidateRect(FWindow, nullptr, TRUE);
}

TColor TControl::FontColor() const noexcept {
  if (FFontColor) return *FFontColor;
  return FParent != nullptr ? FParent->FontColor() : clWindowText;
}

void TControl::SetFontColor(TColor color) {
  FFontColor = color;
  if (FWindow != nullptr) ::InvalidateRect(FWindow, nullptr, TRUE);
}

HFONT TControl::Font() const noexcept {
  if (FFont) return FFont.get();
  if (FParent != nullptr) return FParent->Font();
  return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

void TControl::SetFont(const TFontSpec& font) {
  FFont = CreateFontFromSpec(font);
  if (font.Color != clDefault) FFontColor = font.Color;
  FontChanged();
}

// Children that draw with our font get the new one too.
void TControl::FontChanged() {
  if (FWindow != nullptr) ::SendMessageA(FWindow, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), TRUE);
  for (TControl* child : FControls)
    if (!child->FFont) child->FontChanged();
}

void TControl::Repaint() {
  if (FWindow == nullptr) return;
  if (IsTransparent() && FParent != nullptr && FParent->FWindow != nullptr) {
    // What shows through is the parent's; only the parent can erase the old text.
    const RECT area = ToRect(FBounds);
    ::RedrawWindow(FParent->FWindow, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    return;
  }
  ::InvalidateRect(FWindow, nullptr, TRUE);
  ::UpdateWindow(FWindow);
}

void TControl::Click() { OnClick(this); }

HBRUSH TControl::CtlColor(HDC dc) {
  ::SetTextColor(dc, ColorToRGB(FontColor()));
  if (IsTransparent()) {
    ::SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
  }
  ::SetBkColor(dc, ColorToRGB(Color()));
  return FBrush.Get(Color());
}

void TControl::RegisterOwnClass(const char* name) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (::GetClassInfoExA(::GetModuleHandleA(nullptr), name, &windowClass)) return;
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = &TControl::StaticWndProc;
  windowClass.hInstance = ::GetModuleHandleA(nullptr);
  windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  if (Application.Icon() != 0)
    windowClass.hIcon = ::LoadIconA(windowClass.hInstance, MAKEINTRESOURCEA(Application.Icon()));
  windowClass.lpszClassName = name;
  if (::RegisterClassExA(&windowClass) == 0) throw Exception(FormatMessage1("Cannot register the window class %s", name));
}

LRESULT CALLBACK TControl::StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    static_cast<TControl*>(create->lpCreateParams)->Attach(window);
  }
  TControl* self = FromHandle(window);
  if (self == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    self->Detach();
    return ::DefWindowProcA(window, message, wParam, lParam);
  }
  return CallGuarded([&] { return self->WndProc(message, wParam, lParam); }, LRESULT{0});
}

LRESULT TControl::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  bool handled = false;
  const LRESULT result = ReflectToChild(message, wParam, lParam, handled);
  if (handled) return result;
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client{};
      ::GetClientRect(FWindow, &client);
      ::FillRect(reinterpret_cast<HDC>(wParam), &client, FBrush.Get(Color()));
      return 1;
    }
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) AlignChildren(LOWORD(lParam), HIWORD(lParam));
      break;
    default:
      break;
  }
  return ::DefWindowProcA(FWindow, message, wParam, lParam);
}

LRESULT TControl::ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = true;
  switch (message) {
    case WM_COMMAND:
      if (TControl* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
        child->Notify(HIWORD(wParam));
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      if (TControl* child = FromHandle(reinterpret_cast<HWND>(lParam)))
        if (HBRUSH brush = child->CtlColor(reinterpret_cast<HDC>(wParam))) return reinterpret_cast<LRESULT>(brush);
      break;
    case WM_DRAWITEM:
      if (TControl* child = FromHandle(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem)) {
        child->DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
      }
      break;
    case WM_SETCURSOR:
      if (SetChildCursor(reinterpret_cast<HWND>(wParam), lParam)) return TRUE;
      break;
    default:
      break;
  }
  handled = false;
  return 0;
}

bool TControl::SetChildCursor(HWND child, LPARAM lParam) const {
  const TControl* control = FromHandle(child);
  if (control == nullptr || control == this || LOWORD(lParam) != HTCLIENT) return false;
  if (control->FCursor != TCursor::crHandPoint) return false;
  ::SetCursor(::LoadCursorA(nullptr, IDC_HAND));
  return true;
}
