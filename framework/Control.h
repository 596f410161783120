#pragma once
// The base of every visible thing: a window with bounds, anchors, caption, colours
// and a font. A control with no font of its own draws with its parent's, and one
// with no colour of its own takes its parent's (or its kind's default).
//
// Forms and panels are windows of our own classes; their one window procedure
// finds the object and dispatches to WndProc. The standard controls (buttons,
// edits, list boxes, ...) keep their own procedures: what they report to their
// parent (WM_COMMAND, WM_CTLCOLOR*, WM_DRAWITEM, WM_SETCURSOR) is handed back to the
// child's object by the parent's WndProc.

#include "base/Handles.h"
#include "framework/Component.h"
#include "framework/Event.h"
#include "framework/Graphics.h"
#include "framework/Layout.h"

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  // The control's window, made now if it has none yet (a child needs its parent first).
  HWND Handle();
  HWND WindowHandle() const noexcept { return FWindow; }
  static TControl* FromHandle(HWND window) noexcept;

  TControl* Parent() const noexcept { return FParent; }
  void SetParent(TControl* parent);  // only before the window exists

  const TBounds& Bounds() const noexcept { return FBounds; }
  int Left() const noexcept { return FBounds.Left; }
  int Top() const noexcept { return FBounds.Top; }
  int Width() const noexcept { return FBounds.Width; }
  int Height() const noexcept { return FBounds.Height; }
  // Also the new place the anchors keep.
  void SetBounds(const TBounds& bounds);
  TAnchors Anchors() const noexcept { return FAnchors; }
  TAlign Align() const noexcept { return FAlign; }
  int TabOrder() const noexcept { return FTabOrder; }
  int ControlId() const noexcept { return FId; }
  TCursor Cursor() const noexcept { return FCursor; }
  void SetCursor(TCursor cursor) noexcept { FCursor = cursor; }

  std::string Caption() const;
  virtual void SetCaption(std::string_view caption);
  bool Enabled() const noexcept;
  void SetEnabled(bool enabled);
  bool Visible() const noexcept;
  void SetVisible(bool visible);

  TColor Color() const noexcept;
  void SetColor(TColor color);
  TColor FontColor() const noexcept;
  void SetFontColor(TColor color);
  HFONT Font() const noexcept;
  void SetFont(const TFontSpec& font);

  // Draws the control now, not when the message queue gets round to it.
  void Repaint();

  void ApplySpec(const TControlSpec& stored, TForm& form) override;

  TNotifyEvent OnClick;
  virtual void Click();

 protected:
  struct TWindowClass {
    const char* Name;
    DWORD Style;
    DWORD ExStyle;
  };
  virtual TWindowClass CreateParams() const = 0;
  virtual void CreateHandle();
  virtual void AfterCreate() {}
  virtual void ReadSpec(const TControlSpec&) {}
  virtual bool TakesFocus() const noexcept { return false; }
  virtual bool IsTransparent() const noexcept { return false; }
  virtual TColor DefaultColor() const noexcept;
  // The client size the children's stored bounds were designed against.
  virtual SIZE DesignClientSize() const noexcept { return {FBounds.Width, FBounds.Height}; }

  // Only windows of our own classes (forms, panels) run this.
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  // What the parent hands over from this control's own window.
  virtual void Notify(WORD /*code*/) {}
  virtual HBRUSH CtlColor(HDC dc);
  virtual void DrawItem(const DRAWITEMSTRUCT& /*item*/) {}

  // Moves the window without changing what the anchors keep.
  void SetWindowBounds(const TBounds& bounds);
  void AlignChildren(int clientWidth, int clientHeight);
  void ArrangeTabOrder();
  // Records a move the window made itself (a form dragged or resized by the user).
  void StoreBounds(const TBounds& bounds) noexcept { FBounds = bounds; }
  const std::vector<TControl*>& Controls() const noexcept { return FControls; }
  TSolidBrush& Brush() noexcept { return FBrush; }

  static void RegisterOwnClass(const char* name);
  void Attach(HWND window) noexcept;
  void Detach() noexcept;

 private:
  static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT ReflectToChild(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);
  bool SetChildCursor(HWND child, LPARAM lParam) const;
  void AlignToParent(int parentWidth, int parentHeight);
  void FontChanged();
  TBounds Constrained(TBounds bounds) const noexcept;

  HWND FWindow = nullptr;
  TControl* FParent = nullptr;
  std::vector<TControl*> FControls;  // not owned: the form owns every control
  int FId = 0;
  TBounds FBounds;
  TBounds FAnchorOrigin;
  SIZE FAnchorParentSize{};
  TAnchors FAnchors = akLeft | akTop;
  TAlign FAlign = TAlign::alNone;
  TSizeConstraints FConstraints;
  int FTabOrder = -1;
  TCursor FCursor = TCursor::crDefault;
  std::string FCaption;
  bool FEnabled = true;
  bool FVisible = true;
  TColor FColor = clDefault;
  std::optional<TColor> FFontColor;
  UniqueHFont FFont;
  TSolidBrush FBrush;
};
