#include "framework/ProgressBar.h"

#include "framework/Application.h"

#include <commctrl.h>
#include <uxtheme.h>

TProgressBar::TProgressBar(TComponent* owner) : TControl(owner) {}

TControl::TWindowClass TProgressBar::CreateParams() const {
  Application.Initialize();
  return {PROGRESS_CLASSA, 0, 0};
}

void TProgressBar::ReadSpec(const TControlSpec& stored) {
  FMin = stored.Min;
  FMax = stored.Max;
}

void TProgressBar::AfterCreate() {
  // A themed bar ignores its background colour; a blank theme name (not an empty
  // one) turns theming off for this bar alone.
  ::SetWindowTheme(WindowHandle(), L" ", L" ");
  SendRange();
}

void TProgressBar::SendRange() {
  ::SendMessageA(WindowHandle(), PBM_SETRANGE32, static_cast<WPARAM>(FMin), static_cast<LPARAM>(FMax));
}

std::int32_t TProgressBar::Position() const {
  return static_cast<std::int32_t>(::SendMessageA(WindowHandle(), PBM_GETPOS, 0, 0));
}

// The range is set for every file a run shreds, and mostly stays what it was:
// only a change is sent to the bar.
void TProgressBar::SetMin(std::int32_t value) {
  if (value == FMin) return;
  FMin = value;
  SendRange();
}

void TProgressBar::SetMax(std::int32_t value) {
  if (value == FMax) return;
  FMax = value;
  SendRange();
}

void TProgressBar::SetPosition(std::int32_t value) {
  ::SendMessageA(WindowHandle(), PBM_SETPOS, static_cast<WPARAM>(value), 0);
}

void TProgressBar::SetBackgroundColor(TColor color) {
  SetColor(color);
  ::SendMessageA(WindowHandle(), PBM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(color)));
}
