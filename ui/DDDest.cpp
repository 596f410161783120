#include "ui/DDDest.h"

#include "framework/Application.h"
#include "framework/Errors.h"
#include "framework/Form.h"
#include "framework/Handles.h"

#include <shellapi.h>

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
      for (UINT index = 0; index < count; ++index) OnDnDItem(this, DroppedName(drop, index));
  }
  // The drop is gone by now; the finish handler must not look at it.
  OnDnDFinish(this);
}
