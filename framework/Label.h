#pragma once
// A static text. It can show its parent through (Transparent), wrap its words, size
// itself to its text (AutoSize, within its constraints) and report clicks.

#include "framework/Control.h"

class TLabel : public TControl {
 public:
  explicit TLabel(TComponent* owner);

  bool Transparent() const noexcept { return FTransparent; }
  bool WordWrap() const noexcept { return FWordWrap; }
  bool AutoSize() const noexcept { return FAutoSize; }
  TAlignment Alignment() const noexcept { return FAlignment; }

  void SetCaption(std::string_view caption) override;
  void Loaded() override;

 protected:
  TWindowClass CreateParams() const override;
  void ReadSpec(const TControlSpec& stored) override;
  bool IsTransparent() const noexcept override { return FTransparent; }
  void Notify(WORD code) override;

 private:
  void AdjustBounds();

  bool FTransparent = false;
  bool FWordWrap = false;
  bool FAutoSize = false;
  TAlignment FAlignment = TAlignment::taLeftJustify;
};
