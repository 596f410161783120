#include "ui/DDDest.h"

#include "framework/Application.h"
#include "framework/Errors.h"
#include "framework/Form.h"
#include "framework/Handles.h"

#include <shellapi.h>
#include <shlobj.h>

#include <string_view>
#include <vector>

namespace {

constexpr char kLinkProperty[] = "Quorvane.DnDForm";

struct DropFinisher {
  void operator()(HDROP drop) const noexcept { ::DragFinish(drop); }
};
// The shell's drop memory: released once, also when a handler throws.
using UniqueHDrop = UniqueHandle<HDROP, DropFinisher>;

HWND TargetOf(TComponent* owner) {
  auto* form = dynamic_cast<TForm*>(owner);
  if (form == nullptr) throw EInvalidCast();
  return form->Handle();
}

// Asks for the length first: a path longer than MAX_PATH is reported whole, never
// cut to a prefix that could name some other file.
std::string DroppedName(HDROP drop, UINT index) {
  const UINT length = ::DragQueryFileA(drop, index, nullptr, 0);
  std::string name(static_cast<std::size_t>(length) + 1, '\0');
  ::DragQueryFileA(drop, index, name.data(), length + 1);
  name.resize(name.find('\0'));
  return name;
}

// The drop's memory, locked while its names are read.
class TLockedDrop {
 public:
  explicit TLockedDrop(HDROP drop) noexcept : FDrop(drop), FData(::GlobalLock(drop)) {}
  TLockedDrop(const TLockedDrop&) = delete;
  TLockedDrop& operator=(const TLockedDrop&) = delete;
  ~TLockedDrop() {
    if (FData != nullptr) ::GlobalUnlock(FDrop);
  }
  const DROPFILES* Header() const noexcept { return static_cast<const DROPFILES*>(FData); }

 private:
  HDROP FDrop;
  void* FData;
};

std::string Narrow(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
  return text;
}

// All names of a drop, as DragQueryFileA gives them one by one. That call walks the
// list from its start for every index, which makes a drop of 10,000 names take
// seconds; one walk here reads them all. Where the memory cannot be read, the
// names come from DragQueryFileA after all.
std::vector<std::string> DroppedNames(HDROP drop, UINT count) {
  std::vector<std::string> names;
  names.reserve(count);
  const TLockedDrop locked(drop);
  if (const DROPFILES* header = locked.Header(); header != nullptr && header->pFiles >= sizeof(DROPFILES)) {
    const char* at = reinterpret_cast<const char*>(header) + header->pFiles;
    for (UINT index = 0; index < count; ++index) {
      if (header->fWide) {
        const std::wstring_view name(reinterpret_cast<const wchar_t*>(at));
        names.push_back(Narrow(name));
        at += (name.size() + 1) * sizeof(wchar_t);
      } else {
        const std::string_view name(at);
        names.emplace_back(name);
        at += name.size() + 1;
      }
    }
    return names;
  }
  for (UINT index = 0; index < count; ++index) names.push_back(DroppedName(drop, index));
  return names;
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
    case WM_DESTROY:
      SetActive(false);
      break;
    default:
      break;
  }
  return ::CallWindowProcA(FSavedProc, TargetWindow(), message, wParam, lParam);
}

void TDnDForm::DropFiles(HDROP drop) {
  {
    const UniqueHDrop owned(drop);
    POINT at{};
    ::DragQueryPoint(drop, &at);
    const UINT count = ::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    OnDnDStart(this, static_cast<int>(count), at.x, at.y);
    if (OnDnDItem)
      for (const std::string& name : DroppedNames(drop, count)) OnDnDItem(this, name);
  }
  // The drop is gone by now; the finish handler must not look at it.
  OnDnDFinish(this);
}
