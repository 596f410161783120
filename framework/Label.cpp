#include "framework/Label.h"

TLabel::TLabel(TComponent* owner) : TControl(owner) {}

TControl::TWindowClass TLabel::CreateParams() const {
  DWORD style = SS_NOTIFY;
  switch (FAlignment) {
    case TAlignment::taLeftJustify:
      style |= FWordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
      break;
    case TAlignment::taRightJustify:
      style |= SS_RIGHT;
      break;
    case TAlignment::taCenter:
      style |= SS_CENTER;
      break;
  }
  return {"STATIC", style, FTransparent ? DWORD{WS_EX_TRANSPARENT} : DWORD{0}};
}

void TLabel::ReadSpec(const TControlSpec& stored) {
  FTransparent = stored.Transparent;
  FWordWrap = stored.WordWrap;
  FAutoSize = stored.AutoSize;
  FAlignment = stored.Alignment;
}

void TLabel::Loaded() {
  TControl::Loaded();
  AdjustBounds();
}

void TLabel::SetCaption(std::string_view caption) {
  TControl::SetCaption(caption);
  AdjustBounds();
  if (FTransparent) Repaint();  // the old text is only erased by the parent
}

void TLabel::Notify(WORD code) {
  if (code == STN_CLICKED) Click();
}

// Fits the size to the text: a wrapping label keeps its width and takes the height
// its lines need; a right-aligned one keeps its right edge.
void TLabel::AdjustBounds() {
  if (!FAutoSize || WindowHandle() == nullptr) return;
  const std::string text = Caption();
  const WindowDc dc(WindowHandle());
  const SelectedObject font(dc.get(), Font());
  RECT area{0, 0, FWordWrap ? Width() : 0, 0};
  UINT format = DT_CALCRECT | DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : DT_SINGLELINE);
  ::DrawTextA(dc.get(), text.empty() ? " " : text.c_str(), -1, &area, format);
  TBounds bounds{Left(), Top(), area.right, area.bottom};
  if (FAlignment == TAlignment::taRightJustify) bounds.Left = Left() + Width() - area.right;
  SetBounds(bounds);
}
