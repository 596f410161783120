#include "ui/DDDest.h"

#include "base/Handles.h"
#include "framework/AnsiNames.h"
#include "framework/Application.h"
#include "framework/Errors.h"
#include "framework/Form.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr char kLinkProperty[] = "Quorvane.DnDForm";

HWND TargetOf(TComponent* owner) {
  auto* form = dynamic_cast<TForm*>(owner);
  if (form == nullptr) throw EInvalidCast();
  return form->Handle();
}

// The wide name at index, as the system keeps it; asks for the length first, so a
// path longer than MAX_PATH is read whole, never cut to a prefix that could name
// some other file.
std::wstring DroppedName(HDROP drop, UINT index) {
  const UINT length = ::DragQueryFileW(drop, index, nullptr, 0);
  std::wstring name(static_cast<std::size_t>(length) + 1, L'\0');
  ::DragQueryFileW(drop, index, name.data(), length + 1);
  name.resize(name.find(L'\0'));
  return name;
}

// A drop's names for the program, and how many the drop holds in all.
struct TDropNames : TAnsiNames {
  UINT Count = 0;
};

// Where the name that starts at "at" ends: its NUL (a zero byte, or a zero wide
// character), or null when the block ends first.
const char* NameEnd(const char* at, const char* end, std::size_t unit) {
  for (; static_cast<std::size_t>(end - at) >= unit; at += unit)
    if (std::all_of(at, at + unit, [](char byte) { return byte == '\0'; })) return at;
  return nullptr;
}

// The names of a block from at to end: each ended by a NUL, the list by an empty
// name. A name whose NUL is not inside the block is not taken: a cut name could be
// another file's. ANSI names are the program's own kind of text and are taken as
// they are; wide ones are copied out, as they need not be aligned.
TDropNames NamesIn(const char* at, const char* end, bool wide, std::vector<std::wstring>* keepWide = nullptr) {
  const std::size_t unit = wide ? sizeof(wchar_t) : 1;
  TDropNames names;
  std::vector<std::wstring> wideNames;
  for (;;) {
    const char* const nul = NameEnd(at, end, unit);
    if (nul == nullptr || nul == at) break;
    ++names.Count;
    if (wide) {
      std::wstring name(static_cast<std::size_t>(nul - at) / unit, L'\0');
      std::memcpy(name.data(), at, static_cast<std::size_t>(nul - at));
      wideNames.push_back(std::move(name));
    } else {
      names.Listed.emplace_back(at, nul);
    }
    at = nul + unit;
  }
  if (keepWide != nullptr) *keepWide = std::move(wideNames);
  else if (wide) static_cast<TAnsiNames&>(names) = AnsiNamesOf(wideNames);
  return names;
}

// All names of a drop. DragQueryFile walks the list from its start for every index,
// which makes a drop of 10,000 names take seconds, and it knows no end but the
// list's own; one walk over the locked block reads them all, and never past the
// block. Where the memory cannot be locked or has no size, the names come from
// DragQueryFileW after all. Wide names are listed only where the code page holds them exactly.
TDropNames DroppedNames(HDROP drop) {
  {
    // Locked while its names are read, with its size: a malformed drop must not
    // make the walk read past the block.
    const GlobalLockScope locked(drop);
    const char* const begin = static_cast<const char*>(locked.data());
    const char* const end = begin + locked.size();
    // Memory that is no block of the global heap has no size to keep to (a drop
    // another program wrote straight into ours): the shell's calls read it then.
    if (begin != nullptr && end != begin) {
      // A header that does not fit, or names that would start outside the block:
      // nothing in such a drop can be trusted, and the shell's calls would read
      // past it just the same.
      const auto* header = locked.size() >= sizeof(DROPFILES) ? static_cast<const DROPFILES*>(locked.data()) : nullptr;
      if (header == nullptr || header->pFiles < sizeof(DROPFILES) || header->pFiles >= locked.size()) return {};
      return NamesIn(begin + header->pFiles, end, header->fWide != FALSE);
    }
  }
  TDropNames names;
  names.Count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  std::vector<std::wstring> wide;
  for (UINT index = 0; index < names.Count; ++index) wide.push_back(DroppedName(drop, index));
  static_cast<TAnsiNames&>(names) = AnsiNamesOf(wide);
  return names;
}

// Posted to the window itself once names were handed over; 0 where none could be
// registered, and then names are listed at once.
UINT ListHandedNamesMessage() {
  static const UINT message = ::RegisterWindowMessageA("Quorvane.ListHandedNames");
  return message;
}

// The window, or the dialog it has open, comes up where the user sees it; a window
// not shown yet comes up by itself.
void BringToFront(HWND window) {
  if (!::IsWindowVisible(window)) return;
  if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
  ::SetForegroundWindow(::GetLastActivePopup(window));
}

// The start event and one item event per listed name; the names left out, for the
// one message about them once the finish event has come.
std::vector<std::wstring> ReportItems(TCustomDnD& target, TDropNames names, POINT at) {
  target.OnDnDStart(&target, static_cast<int>(names.Count), at.x, at.y);
  if (!target.OnDnDItem) return {};
  for (const std::string& name : names.Listed) target.OnDnDItem(&target, name);
  return std::move(names.LeftOut);
}

// The user hears of names that were not listed once the names have all been
// reported, with the rest of them in the list.
void Finish(TCustomDnD& target, const std::vector<std::wstring>& leftOut) {
  target.OnDnDFinish(&target);
  ReportLeftOutNames(leftOut);
}

}  // namespace

TCustomDnD::TCustomDnD(TComponent* owner) : TComponent(owner), FTarget(TargetOf(owner)) {}

void TCustomDnD::SetActive(bool value) {
  if (value == FActive) return;
  FActive = value;
  if (FTarget != nullptr) ::DragAcceptFiles(FTarget, value ? TRUE : FALSE);
}

TDnDWindowLink::TDnDWindowLink(HWND window, void* object) noexcept : FWindow(window) {
  ::SetPropA(window, kLinkProperty, object);
}

TDnDWindowLink::~TDnDWindowLink() { ::RemovePropA(FWindow, kLinkProperty); }

void* TDnDWindowLink::Find(HWND window) noexcept { return ::GetPropA(window, kLinkProperty); }

TDnDForm::TDnDForm(TComponent* owner) : TCustomDnD(owner), FLink(TargetWindow(), this) {}

// The link goes after this body, so no message finds the object once its procedure
// is no longer the window's.
TDnDForm::~TDnDForm() {
  if (FSavedProc != nullptr)
    ::SetWindowLongPtrA(TargetWindow(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FSavedProc));
}

void TDnDForm::Loaded() {
  TCustomDnD::Loaded();
  if (FSavedProc != nullptr) return;  // installed already: saving our own procedure would loop
  FSavedProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(TargetWindow(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TDnDForm::WindowProcedure)));
  ::DragAcceptFiles(TargetWindow(), Active() ? TRUE : FALSE);
}

LRESULT CALLBACK TDnDForm::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  auto* self = static_cast<TDnDForm*>(TDnDWindowLink::Find(window));
  if (self == nullptr || self->FSavedProc == nullptr) return ::DefWindowProcA(window, message, wParam, lParam);
  // A handler's error ends the current drop only (the drop is still released): it is
  // shown like a click handler's, the message gets 0, and the program, with the
  // user's list, goes on.
  return CallGuarded([&] { return self->HandleMessage(message, wParam, lParam); }, LRESULT{0});
}

LRESULT TDnDForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DROPFILES:
      DropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_COPYDATA:
      if (const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam); data != nullptr && data->dwData == kHandedNamesTag)
        return TakeHandedNames(data);
      break;
    case WM_DESTROY:
      SetActive(false);
      break;
    default:
      if (message != 0 && message == ListHandedNamesMessage()) {
        ListHandedNames();
        return 0;
      }
      break;
  }
  return ::CallWindowProcA(FSavedProc, TargetWindow(), message, wParam, lParam);
}

void TDnDForm::DropFiles(HDROP drop) {
  std::vector<std::wstring> leftOut;
  {
    // Released once, also when a handler throws.
    const UniqueHDrop owned(drop);
    POINT at{};
    ::DragQueryPoint(drop, &at);
    leftOut = ReportItems(*this, DroppedNames(drop), at);
  }
  // The drop is gone by now; the finish handler must not look at it.
  Finish(*this, leftOut);
}

void TDnDForm::ReportNames(const std::vector<std::wstring>& names) {
  TDropNames named;
  static_cast<TAnsiNames&>(named) = AnsiNamesOf(names);
  named.Count = static_cast<UINT>(names.size());
  Finish(*this, ReportItems(*this, std::move(named), POINT{}));
}

// A window that takes no drops takes no handed names either: the other start then
// opens a window of its own.
LRESULT TDnDForm::TakeHandedNames(const COPYDATASTRUCT* data) {
  if (!Active()) return FALSE;
  std::vector<std::wstring> names;
  if (data->cbData > 0 && data->lpData != nullptr) {
    const char* const begin = static_cast<const char*>(data->lpData);
    NamesIn(begin, begin + data->cbData, true, &names);
  }
  FHandedNames.push_back(std::move(names));
  if (ListHandedNamesMessage() == 0 || !::PostMessageA(TargetWindow(), ListHandedNamesMessage(), 0, 0))
    ListHandedNames();
  return TRUE;
}

void TDnDForm::ListHandedNames() {
  BringToFront(TargetWindow());
  // Each hand-over is listed as a drop of its own; an error ends that one only.
  for (auto& names : std::exchange(FHandedNames, {}))
    if (!names.empty()) CallGuarded([&] { ReportNames(names); return 0; }, 0);
}

std::wstring HandedNamesBlock(const std::vector<std::wstring>& names) {
  std::wstring block;
  for (const auto& name : names) {
    if (name.empty()) continue;  // it would end the list
    block += name;
    block += L'\0';
  }
  block += L'\0';
  return block;
}

// An elevated window refuses messages from less trusted processes, the shell's drop
// among them; this lets in what a drop needs and nothing else.
void AllowDropMessages(HWND window, TMessageFilter filter) {
  constexpr DWORD kAllow = 1;               // MSGFLT_ALLOW
  constexpr UINT kCopyGlobalData = 0x0049;  // WM_COPYGLOBALDATA, carries the drop's memory
  for (const UINT message : {UINT{WM_DROPFILES}, kCopyGlobalData}) filter(window, message, kAllow, nullptr);
}
