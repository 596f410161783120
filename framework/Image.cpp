#include "framework/Image.h"

TImage::TImage(TComponent* owner) : TControl(owner) {}

TControl::TWindowClass TImage::CreateParams() const { return {"STATIC", SS_OWNERDRAW, 0}; }

void TImage::ReadSpec(const TControlSpec& stored) {
  FStretch = stored.Stretch;
  if (stored.Icon != 0) LoadIconResource(stored.Icon);
}

// Without the resource (a test program has none) the system's application icon
// stands in, so the control still shows what it is.
void TImage::LoadIconResource(int resource) {
  FOwnedIcon.reset(static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resource),
                                                   IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR)));
  FIcon = FOwnedIcon ? FOwnedIcon.get() : ::LoadIconA(nullptr, IDI_APPLICATION);
}

void TImage::DrawItem(const DRAWITEMSTRUCT& item) {
  ::FillRect(item.hDC, &item.rcItem, Brush().Get(Color()));
  if (FIcon == nullptr) return;
  const int width = FStretch ? item.rcItem.right - item.rcItem.left : 0;
  const int height = FStretch ? item.rcItem.bottom - item.rcItem.top : 0;
  ::DrawIconEx(item.hDC, item.rcItem.left, item.rcItem.top, FIcon, width, height, 0, nullptr, DI_NORMAL);
}
