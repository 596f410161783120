#include "framework/Panel.h"

namespace {

constexpr char kPanelClass[] = "QuorvanePanel";

UINT OuterEdge(TBevelCut cut) {
  if (cut == TBevelCut::bvLowered) return BDR_SUNKENOUTER;
  return cut == TBevelCut::bvRaised ? BDR_RAISEDOUTER : 0;
}

UINT InnerEdge(TBevelCut cut) {
  if (cut == TBevelCut::bvLowered) return BDR_SUNKENINNER;
  return cut == TBevelCut::bvRaised ? BDR_RAISEDINNER : 0;
}

}  // namespace

TPanel::TPanel(TComponent* owner) : TControl(owner) {}

TControl::TWindowClass TPanel::CreateParams() const {
  RegisterOwnClass(kPanelClass);
  return {kPanelClass, 0, 0};
}

void TPanel::ReadSpec(const TControlSpec& stored) {
  FBevelOuter = stored.BevelOuter;
  FBevelInner = stored.BevelInner;
}

LRESULT TPanel::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    Paint();
    return 0;
  }
  return TControl::WndProc(message, wParam, lParam);
}

void TPanel::Paint() {
  const PaintDc paint(WindowHandle());
  RECT client{};
  ::GetClientRect(WindowHandle(), &client);
  // DrawEdge puts the outer edge at the rectangle and the inner one inside it.
  if (const UINT edge = OuterEdge(FBevelOuter) | InnerEdge(FBevelInner); edge != 0)
    ::DrawEdge(paint.get(), &client, edge, BF_RECT);
}
