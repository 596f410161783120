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
  // The colours and brush the edit would get from its parent, which hands the
  // question to this object; asked directly, without the round of messages.
  HBRUSH brush = CtlColor(dc.get());
  if (brush == nullptr) brush = ::GetSysColorBrush(FReadOnly ? COLOR_3DFACE : COLOR_WINDOW);
  RECT client{};
  ::GetClientRect(edit, &client);
  ::FillRect(dc.get(), &client, brush);
  // The edit's formatting rectangle holds its margins; a new text starts unscrolled
  // at its top left corner.
  RECT format{};
  ::SendMessageA(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
  const SelectedObject font(dc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageA(edit, WM_GETFONT, 0, 0)));
  ::SetBkMode(dc.get(), TRANSPARENT);
  // Converted as the edit converts what it is given.
  const int length = static_cast<int>(text.size());
  std::wstring wide(static_cast<std::size_t>(::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0)), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), static_cast<int>(wide.size()));
  ::ExtTextOutW(dc.get(), format.left, format.top, ETO_CLIPPED, &format, wide.data(), static_cast<UINT>(wide.size()),
                nullptr);
}
