#pragma once
// The drop target: makes the window of the form it is placed on accept files dragged
// from the shell, and reports each drop as a start event (count and point), one item
// event per name in the shell's order, and a finish event. An item handler that
// throws ends the drop there: no finish event follows. Files and folders are
// reported alike; what a name denotes is not its business.

#include "framework/Component.h"
#include "framework/Event.h"

#include <windows.h>

#include <string>
#include <vector>

class TForm;

// Count is the number of names; X, Y the drop point in the target's client coordinates.
using TDnDStartEvent = TEvent<TComponent*, int, int, int>;
using TDnDItemEvent = TEvent<TComponent*, const std::string&>;

class TCustomDnD : public TComponent {
 public:
  // The owner must be a form (EInvalidCast "Invalid class typecast" otherwise); its
  // window is made now if it has none, and is the target for good.
  explicit TCustomDnD(TComponent* owner);

  HWND TargetWindow() const noexcept { return FTarget; }
  bool Active() const noexcept { return FActive; }
  // Tells the shell only when the value changes.
  void SetActive(bool value);

  TDnDStartEvent OnDnDStart;
  TDnDItemEvent OnDnDItem;
  TNotifyEvent OnDnDFinish;

 private:
  HWND FTarget;
  bool FActive = false;
};

// Finds the object from its window: a property on the target, set while the object
// lives, so the window procedure needs no generated code.
class TDnDWindowLink {
 public:
  TDnDWindowLink(HWND window, void* object) noexcept;
  TDnDWindowLink(const TDnDWindowLink&) = delete;
  TDnDWindowLink& operator=(const TDnDWindowLink&) = delete;
  ~TDnDWindowLink();
  static void* Find(HWND window) noexcept;

 private:
  HWND FWindow;
};

class TDnDForm : public TCustomDnD {
 public:
  explicit TDnDForm(TComponent* owner);
  // Puts the target's earlier procedure back. A component that was never loaded
  // (made in code, not by a layout) never replaced it and leaves the window alone.
  ~TDnDForm() override;
  // Takes over the target's window procedure and tells the shell the Active state.
  void Loaded() override;
  // Names that come from elsewhere than the shell's drop (the command line), reported
  // as a drop's are: the start event (count, point 0, 0), the item events, the
  // finish event, and the one message about names the code page cannot hold.
  void ReportNames(const std::vector<std::wstring>& names);

 private:
  // Names another start of the program hands over (WM_COPYDATA) are taken as a copy
  // and listed once that message has been answered: listing may show a message, and
  // the other start must not wait for it.
  LRESULT TakeHandedNames(const COPYDATASTRUCT* data);
  void ListHandedNames();
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void DropFiles(HDROP drop);

  WNDPROC FSavedProc = nullptr;
  TDnDWindowLink FLink;
  std::vector<std::vector<std::wstring>> FHandedNames;  // taken, not listed yet
};

// Another start of the program hands its names to the open window in a WM_COPYDATA
// message with this tag: wide names, each ended by a NUL, the list by an empty name,
// as a wide drop holds them, and checked as a drop's are. No names at all ask the
// window to come to the front.
inline constexpr ULONG_PTR kHandedNamesTag = 0x51564E31;
std::wstring HandedNamesBlock(const std::vector<std::wstring>& names);

// ChangeWindowMessageFilterEx's shape: it is looked up at run time, as older systems
// lack it.
using TMessageFilter = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
// Lets the messages of a drop through the filter of an elevated window, and only those.
// Names handed over stay out: a start with other rights has a window of its own.
void AllowDropMessages(HWND window, TMessageFilter filter);

// A layout row's stored properties, for its .Setup hook:
//   .Setup = DnDProperties<true, Handler<&TfrmShredder::DnDForm1DnDItem>>
// Handlers left out stay unset.
template <bool Active, auto OnItem = nullptr, auto OnStart = nullptr, auto OnFinish = nullptr>
void DnDProperties(TForm& form, TComponent& component) {
  auto& target = dynamic_cast<TCustomDnD&>(component);
  target.SetActive(Active);
  if constexpr (OnStart != nullptr) target.OnDnDStart = OnStart(form);
  if constexpr (OnItem != nullptr) target.OnDnDItem = OnItem(form);
  if constexpr (OnFinish != nullptr) target.OnDnDFinish = OnFinish(form);
}
