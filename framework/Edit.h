#pragma once
// A single-line edit; the program uses it read-only, as a status line.

#include "framework/Control.h"

#include <string>
#include <string_view>

class TEdit : public TControl {
 public:
  explicit TEdit(TComponent* owner);

  std::string Text() const { return Caption(); }
  void SetText(std::string_view text) { SetCaption(text); }
  bool ReadOnly() const noexcept { return FReadOnly; }

 protected:
  TWindowClass CreateParams() const override;
  void ReadSpec(const TControlSpec& stored) override { FReadOnly = stored.ReadOnly; }
  bool TakesFocus() const noexcept override { return true; }
  TColor DefaultColor() const noexcept override { return clWindow; }

 private:
  bool FReadOnly = false;
};
