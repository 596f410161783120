#include "WindowProbe.h"

#include <vector>

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

namespace {

struct TDialogSearch {
  const char* Title;
  HWND Found = nullptr;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<TDialogSearch*>(data);
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  char className[32] = {};
  ::GetClassNameA(window, className, static_cast<int>(std::size(className)));
  if (process != ::GetCurrentProcessId() || std::string(className) != "#32770" || !::IsWindowVisible(window))
    return TRUE;
  if (search.Title != nullptr && WindowText(window) != search.Title) return TRUE;
  search.Found = window;
  return FALSE;
}

std::vector<HWND> ChildrenOfClass(HWND parent, const char* className) {
  std::vector<HWND> found;
  for (HWND child = ::FindWindowExA(parent, nullptr, className, nullptr); child != nullptr;
       child = ::FindWindowExA(parent, child, className, nullptr))
    found.push_back(child);
  return found;
}

}  // namespace

std::string WindowText(HWND window) {
  char text[1024] = {};
  ::GetWindowTextA(window, text, static_cast<int>(std::size(text)));
  return text;
}

HWND FindDialogOfThisProcess(const char* title) {
  TDialogSearch search{title};
  ::EnumWindows(&MatchDialog, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

TBoxSeen ReadAndCloseMessageBox() {
  TBoxSeen seen;
  HWND box = nullptr;
  if (!WaitFor([&] { return (box = FindDialogOfThisProcess()) != nullptr; })) return seen;
  seen.Found = true;
  seen.Caption = WindowText(box);
  seen.Text = WindowText(::GetDlgItem(box, 0xFFFF));
  ::GetWindowRect(box, &seen.Frame);
  for (HWND icon : ChildrenOfClass(box, "Static"))
    if (const auto shown = reinterpret_cast<HICON>(::SendMessageA(icon, STM_GETICON, 0, 0))) seen.Icon = shown;
  const std::vector<HWND> buttons = ChildrenOfClass(box, "Button");
  seen.Buttons = static_cast<int>(buttons.size());
  if (!buttons.empty()) {
    seen.FirstButton = WindowText(buttons.front());
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(buttons.front()), BN_CLICKED),
                   reinterpret_cast<LPARAM>(buttons.front()));
  }
  WaitFor([&] { return !::IsWindow(box); });
  return seen;
}
