#include "framework/ListBox.h"

#include "base/WideText.h"
#include "framework/Errors.h"

TListBox::TListBox(TComponent* owner) : TControl(owner) {}

TControl::TWindowClass TListBox::CreateParams() const {
  DWORD style = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_HSCROLL;
  if (FMultiSelect) style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  if (FSorted) style |= LBS_SORT;
  return {"LISTBOX", style, WS_EX_CLIENTEDGE};
}

void TListBox::ReadSpec(const TControlSpec& stored) {
  FMultiSelect = stored.MultiSelect;
  FExtendedSelect = stored.ExtendedSelect;
  FSorted = stored.Sorted;
}

// Wide, for every message: the list box keeps its rows as wide text, and an 8-bit
// LB_GETTEXT goes through a conversion that Wine does in a fixed buffer of 512
// characters on the stack, which a longer row overruns.
LRESULT TListBox::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  return ::SendMessageW(WindowHandle(), message, wParam, lParam);
}

void TListBox::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EListError(index);
}

int TListBox::Count() const { return static_cast<int>(Send(LB_GETCOUNT)); }

std::string TListBox::Text(int index) const {
  CheckIndex(index);
  const LRESULT length = Send(LB_GETTEXTLEN, static_cast<WPARAM>(index));
  if (length < 0) throw EListError(index);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied = Send(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(copied < 0 ? 0 : static_cast<std::size_t>(copied));
  return NarrowOf(text);
}

void TListBox::Add(std::string_view text) {
  const std::wstring row = WideOf(text);
  const LRESULT at = Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
  if (at == LB_ERR || at == LB_ERRSPACE) throw EOutOfResources("Unable to insert a line");
}

void TListBox::Insert(int index, std::string_view text) {
  const std::wstring row = WideOf(text);
  const LRESULT at = Send(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(row.c_str()));
  if (at == LB_ERR || at == LB_ERRSPACE) throw EOutOfResources("Unable to insert a line");
}

void TListBox::Replace(int index, std::string_view text) {
  CheckIndex(index);
  Send(LB_DELETESTRING, static_cast<WPARAM>(index));
  Insert(index, text);
}

void TListBox::Delete(int index) {
  CheckIndex(index);
  Send(LB_DELETESTRING, static_cast<WPARAM>(index));
}

void TListBox::Clear() { Send(LB_RESETCONTENT); }

int TListBox::SelCount() const {
  if (!FMultiSelect) return Send(LB_GETCURSEL) >= 0 ? 1 : 0;
  return static_cast<int>(Send(LB_GETSELCOUNT));
}

bool TListBox::Selected(int index) const {
  CheckIndex(index);
  return Send(LB_GETSEL, static_cast<WPARAM>(index)) > 0;
}

void TListBox::SetSelected(int index, bool selected) {
  CheckIndex(index);
  if (FMultiSelect)
    Send(LB_SETSEL, selected ? TRUE : FALSE, index);
  else
    Send(LB_SETCURSEL, selected ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1));
}
