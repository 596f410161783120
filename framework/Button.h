#pragma once
// A push button. "&" in its caption marks the mnemonic. A button with a modal result
// hands it to its form when clicked, which ends the form's modal showing.

#include "framework/Control.h"

class TButton : public TControl {
 public:
  explicit TButton(TComponent* owner);

  bool Default() const noexcept { return FDefault; }
  TModalResult ModalResult() const noexcept { return FModalResult; }
  void SetModalResult(TModalResult result) noexcept { FModalResult = result; }

  void Click() override;
  void ApplySpec(const TControlSpec& stored, TForm& form) override;

 protected:
  TWindowClass CreateParams() const override;
  bool TakesFocus() const noexcept override { return true; }
  void Notify(WORD code) override;
  HBRUSH CtlColor(HDC) override { return nullptr; }  // the system draws buttons

 private:
  bool FDefault = false;
  TModalResult FModalResult = mrNone;
  TForm* FForm = nullptr;
};
