#pragma once
// A plain container with bevels drawn at its edge: the outer bevel first, the inner
// one inside it.

#include "framework/Control.h"

class TPanel : public TControl {
 public:
  explicit TPanel(TComponent* owner);

  TBevelCut BevelOuter() const noexcept { return FBevelOuter; }
  TBevelCut BevelInner() const noexcept { return FBevelInner; }

 protected:
  TWindowClass CreateParams() const override;
  void ReadSpec(const TControlSpec& stored) override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint();

  TBevelCut FBevelOuter = TBevelCut::bvNone;
  TBevelCut FBevelInner = TBevelCut::bvNone;
};
