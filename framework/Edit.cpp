#include "framework/Edit.h"

#include "base/WideText.h"

TEdit::TEdit(TComponent* owner) : TControl(owner) {}

TControl::TWindowClass TEdit::CreateParams() const {
  return {"EDIT", DWORD{ES_LEFT | ES_AUTOHSCROLL} | (FReadOnly ? DWORD{ES_READONLY} : DWORD{0}), WS_EX_CLIENTEDGE};
}

void TEdit::PaintText(std::string_view text) {
  if (WindowHandle() == nullptr) return;
  TPainter(*this).Paint(text);
}

TEdit::TPainter::TPainter(TEdit& edit) : FDc(edit.WindowHandle()) {
  if (!FDc) return;
  const HWND window = edit.WindowHandle();
  // The colours the edit would get from its parent, which hands the question to
  // the edit's object; asked directly, without the round of messages.
  if (edit.CtlColor(FDc.get()) == nullptr) {
    ::SetTextColor(FDc.get(), ::GetSysColor(COLOR_WINDOWTEXT));
    ::SetBkColor(FDc.get(), ::GetSysColor(edit.FReadOnly ? COLOR_3DFACE : COLOR_WINDOW));
  }
  // The text stays inside the edit's formatting rectangle, which holds its margins;
  // a new text starts unscrolled at its top left corner. Around it the edit shows
  // its background whatever the text, so only the rectangle is filled.
  ::SendMessageA(window, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&FFormat));
  FFont.emplace(FDc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageA(window, WM_GETFONT, 0, 0)));
}

void TEdit::TPainter::Paint(std::string_view text) {
  if (!FDc) return;
  // Converted as the edit converts what it is given.
  const std::wstring wide = WideOf(text);
  ::ExtTextOutW(FDc.get(), FFormat.left, FFormat.top, ETO_CLIPPED | ETO_OPAQUE, &FFormat, wide.data(),
                static_cast<UINT>(wide.size()), nullptr);
}
