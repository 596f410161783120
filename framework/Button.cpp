#include "framework/Button.h"

#include "framework/Form.h"

TButton::TButton(TComponent* owner) : TControl(owner) {}

TControl::TWindowClass TButton::CreateParams() const {
  return {"BUTTON", static_cast<DWORD>(FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0};
}

void TButton::ApplySpec(const TControlSpec& stored, TForm& form) {
  FDefault = stored.Default;
  FModalResult = stored.ModalResult;
  FForm = &form;
  TControl::ApplySpec(stored, form);
  if (FDefault) form.SetDefaultButton(this);
}

void TButton::Notify(WORD code) {
  if (code == BN_CLICKED) Click();
}

// The result goes to the form before the handler runs, so a handler can still
// override it (or close the form).
void TButton::Click() {
  if (FForm != nullptr && FModalResult != mrNone) FForm->SetModalResult(FModalResult);
  TControl::Click();
}
