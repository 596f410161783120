#pragma once
// A single-line edit; the program uses it read-only, as a status line.

#include "framework/Control.h"

#include <optional>
#include <string>
#include <string_view>

class TEdit : public TControl {
 public:
  class TPainter;

  explicit TEdit(TComponent* owner);

  std::string Text() const { return Caption(); }
  void SetText(std::string_view text) { SetCaption(text); }
  // Paints a text into the edit now, where and as the edit paints its own, without
  // giving it to the edit. Under Wine an edit lays out every text it is given and
  // again each time it paints, about half a millisecond each; this costs a
  // twentieth of that. The edit keeps its old text, and shows that again when it
  // next paints itself.
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

// Paints texts into an edit one after another, as PaintText does, keeping the edit's
// DC with its font, colours and formatting rectangle between them: under Wine,
// getting and setting up the DC costs half as much as drawing a status text.
// Made for a run of texts while the thread handles no messages; a change of the
// edit's font, colours or size needs a new painter.
class TEdit::TPainter {
 public:
  explicit TPainter(TEdit& edit);
  void Paint(std::string_view text);
  explicit operator bool() const noexcept { return static_cast<bool>(FDc); }

 private:
  WindowDc FDc;
  std::optional<SelectedObject> FFont;  // after FDc: goes back out before the DC is released
  RECT FFormat{};
};
