#include "framework/Edit.h"

#include <string>

TEdit::TEdit(TComponent* owner) : TControl(owner) {}

TControl::TWindowClass TEdit::CreateParams() const {
  return {"EDIT", DWORD{ES_LEFT | ES_AUTOHSCROLL} | (FReadOnly ? DWORD{ES_READONLY} : DWORD{0}), WS_EX_CLIENTEDGE};
}

void TEdit::PaintText(std::string_view text) {
  const HWND edit = WindowHandle();
  if (edit == nullptr) return;
  const WindowDc dc(edit);
  if (!dc) return;
  // The colours the edit would get from its parent, which hands the question to
  // this object; asked directly, without the round of messages.
  if (CtlColor(dc.get()) == nullptr) {
    ::SetTextColor(dc.get(), ::GetSysColor(COLOR_WINDOWTEXT));
    ::SetBkColor(dc.get(), ::GetSysColor(FReadOnly ? COLOR_3DFACE : COLOR_WINDOW));
  }
  // The text stays inside the edit's formatting rectangle, which holds its margins;
  // a new text starts unscrolled at its top left corner. Around it the edit shows
  // its background whatever the text, so only the rectangle is filled.
  RECT format{};
  ::SendMessageA(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  const SelectedObject font(dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageA(edit, WM_GETFONT, 0, 0)));
  // Converted as the edit converts what it is given.
  const int length = static_cast<int>(text.size());
  std::wstring wide(static_cast<std::size_t>(::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0)), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), static_cast<int>(wide.size()));
  ::ExtTextOutW(dc.get(), format.left, format.top, ETO_CLIPPED | ETO_OPAQUE, &format, wide.data(), static_cast<UINT>(wide.size()),
                nullptr);
}
