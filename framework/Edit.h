#pragma once
// A single-line edit; the program uses it read-only, as a status line.

#include "framework/Control.h"

class TEdit : public TControl {
 public:
  explicit TEdit(TComponent* owner);

  std::string Text() const { return Caption(); }
  void SetText(std::string_view text) { SetCaption(text); }
  // Paints a text into the edit now, where and as the edit paints its own, without
  // giving it to the edit. Under Wine an edit lays out every text it is given and
  // again each time it paints, about half a millisecond each; this costs a
  // twentieth of that. The edit still holds its old text, and shows it when it next
  // paints itself, so a caller gives it the text (SetText) before the thread next
  // handles messages.
  void PaintText(std::string_view text);
  bool ReadOnly() const noexcept { return FReadOnly; }

 protected:
  TWindowClass CreateParams() const override;
  void ReadSpec(const TControlSpec& stored) override { FReadOnly = stored.ReadOnly; }
  bool TakesFocus() const noexcept override { return true; }
  TColor DefaultColor() const noexcept override { return clWindow; }

 private:
  bool FReadOnly = false;
};
