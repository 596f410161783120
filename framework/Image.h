#pragma once
// Shows an icon of the program file, at its own size or stretched to the control.

#include "base/Handles.h"
#include "framework/Control.h"

class TImage : public TControl {
 public:
  explicit TImage(TComponent* owner);

  HICON Icon() const noexcept { return FIcon; }
  bool Stretch() const noexcept { return FStretch; }

 protected:
  TWindowClass CreateParams() const override;
  void ReadSpec(const TControlSpec& stored) override;
  void DrawItem(const DRAWITEMSTRUCT& item) override;

 private:
  void LoadIconResource(int resource);

  UniqueHIcon FOwnedIcon;
  HICON FIcon = nullptr;  // FOwnedIcon, or a shared system icon
  bool FStretch = false;
};
