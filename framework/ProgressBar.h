#pragma once
// A progress bar with a 32-bit range.

#include "framework/Control.h"

#include <cstdint>

class TProgressBar : public TControl {
 public:
  explicit TProgressBar(TComponent* owner);

  std::int32_t Min() const noexcept { return FMin; }
  std::int32_t Max() const noexcept { return FMax; }
  std::int32_t Position() const;
  void SetMin(std::int32_t value);
  void SetMax(std::int32_t value);
  void SetPosition(std::int32_t value);
  // The bar's background (the part not yet filled).
  void SetBackgroundColor(TColor color);

 protected:
  TWindowClass CreateParams() const override;
  void ReadSpec(const TControlSpec& stored) override;
  void AfterCreate() override;

 private:
  void SendRange();

  std::int32_t FMin = 0;
  std::int32_t FMax = 100;
};
