#include "framework/ListBox.h"

#include <algorithm>

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

void TListBox::Append(const std::wstring& row) {
  const LRESULT at = Send(LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(row.c_str()));
  if (at == LB_ERR || at == LB_ERRSPACE) throw EOutOfResources("Unable to insert a line");
}

namespace {

// A row with the key the control's order compares: sort keys order strings exactly
// as CompareStringW with the same locale and flags does, and compare as bytes.
struct TKeyedRow {
  std::wstring text;
  std::string key;
  bool selected = false;
};

TKeyedRow Keyed(LCID locale, std::wstring text) {
  TKeyedRow row{std::move(text), {}};
  const int length = ::LCMapStringW(locale, LCMAP_SORTKEY | NORM_IGNORECASE, row.text.c_str(), -1, nullptr, 0);
  row.key.resize(static_cast<std::size_t>(std::max(length, 0)));
  if (length > 0)
    ::LCMapStringW(locale, LCMAP_SORTKEY | NORM_IGNORECASE, row.text.c_str(), -1,
                   reinterpret_cast<LPWSTR>(row.key.data()), length);
  return row;
}

bool Before(const TKeyedRow& a, const TKeyedRow& b) { return a.key < b.key; }

}  // namespace

void TListBox::AddAll(const std::vector<std::string>& texts) {
  // The order the control keeps its rows in: its locale's, letter case aside.
  const auto locale = static_cast<LCID>(Send(LB_GETLOCALE));
  std::vector<TKeyedRow> rows;
  rows.reserve(static_cast<std::size_t>(Count()));
  for (int index = 0; index < Count(); ++index) rows.push_back(Keyed(locale, WideOf(Text(index))));
  if (!FSorted || !std::is_sorted(rows.begin(), rows.end(), Before)) {
    for (const std::string& text : texts) Add(text);
    return;
  }
  // Add puts a row before the rows equal to it: the later of two equal names first.
  std::vector<TKeyedRow> added;
  added.reserve(texts.size());
  for (auto text = texts.rbegin(); text != texts.rend(); ++text) added.push_back(Keyed(locale, WideOf(*text)));
  std::stable_sort(added.begin(), added.end(), Before);
  std::size_t bytes = 0;
  for (const auto& row : rows) bytes += (row.text.size() + 1) * sizeof(wchar_t);
  for (const auto& row : added) bytes += (row.text.size() + 1) * sizeof(wchar_t);
  // Room for all of them first: once the rows there are out, no insert may fail.
  if (Send(LB_INITSTORAGE, rows.size() + added.size(), bytes) == LB_ERRSPACE) {
    for (const std::string& text : texts) Add(text);
    return;
  }
  for (std::size_t index = 0; index < rows.size(); ++index) rows[index].selected = Selected(static_cast<int>(index));
  const LRESULT top = Send(LB_GETTOPINDEX);
  if (!rows.empty()) Send(LB_RESETCONTENT);
  std::size_t row = 0, next = 0;
  while (row < rows.size() || next < added.size()) {
    if (next < added.size() && (row == rows.size() || !Before(rows[row], added[next]))) {
      Append(added[next++].text);
    } else {
      Append(rows[row].text);
      if (rows[row].selected) SetSelected(Count() - 1, true);
      ++row;
    }
  }
  if (!rows.empty()) Send(LB_SETTOPINDEX, static_cast<WPARAM>(top));
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
