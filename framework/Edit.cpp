#include "framework/Edit.h"

TEdit::TEdit(TComponent* owner) : TControl(owner) {}

TControl::TWindowClass TEdit::CreateParams() const {
  return {"EDIT", DWORD{ES_LEFT | ES_AUTOHSCROLL} | (FReadOnly ? DWORD{ES_READONLY} : DWORD{0}), WS_EX_CLIENTEDGE};
}
