#include "tests/support/WindowProbe.h"

#include <gtest/gtest.h>

#include <cstdio>
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

struct TWindowSearch {
  const char* ClassName;
  const char* Title;
  HWND Found = nullptr;
};

bool OfThisProcess(HWND window) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  return process == ::GetCurrentProcessId();
}

std::string ClassOf(HWND window) {
  char className[64] = {};
  ::GetClassNameA(window, className, static_cast<int>(std::size(className)));
  return className;
}

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<TWindowSearch*>(data);
  if (!OfThisProcess(window) || !::IsWindowVisible(window)) return TRUE;
  if (search.ClassName != nullptr && ClassOf(window) != search.ClassName) return TRUE;
  if (search.Title != nullptr && WindowText(window) != search.Title) return TRUE;
  search.Found = window;
  return FALSE;
}

BOOL CALLBACK CancelWindow(HWND window, LPARAM) {
  if (!OfThisProcess(window) || !::IsWindowVisible(window)) return TRUE;
  if (ClassOf(window) == "#32770")
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  else if (::IsWindowEnabled(window))
    ::PostMessageA(window, WM_CLOSE, 0, 0);
  return TRUE;
}

}  // namespace

std::vector<HWND> ChildrenOfClass(HWND parent, const char* className) {
  std::vector<HWND> found;
  for (HWND child = ::FindWindowExA(parent, nullptr, className, nullptr); child != nullptr;
       child = ::FindWindowExA(parent, child, className, nullptr))
    found.push_back(child);
  return found;
}

std::string WindowText(HWND window) {
  char text[1024] = {};
  ::GetWindowTextA(window, text, static_cast<int>(std::size(text)));
  return text;
}

std::wstring WideWindowText(HWND window) {
  wchar_t text[4096] = {};
  ::GetWindowTextW(window, text, static_cast<int>(std::size(text)));
  return text;
}

HWND FindWindowOfThisProcess(const char* className, const char* title) {
  TWindowSearch search{className, title};
  ::EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

HWND FindDialogOfThisProcess(const char* title) { return FindWindowOfThisProcess("#32770", title); }

HWND WaitForWindowOfThisProcess(const char* className, const char* title) {
  HWND found = nullptr;
  if (WaitFor([&] { return (found = FindWindowOfThisProcess(className, title)) != nullptr; })) return found;
  ADD_FAILURE() << "no window of class " << (className ? className : "(any)") << " titled \""
                << (title ? title : "(any)") << "\" came up within " << kWindowWait.count() << " ms";
  return nullptr;
}

HWND WaitForDialog(const char* title) { return WaitForWindowOfThisProcess("#32770", title); }

TBoxSeen ReadBox(HWND box) {
  TBoxSeen seen;
  seen.Found = true;
  seen.Caption = WindowText(box);
  seen.Text = WindowText(::GetDlgItem(box, 0xFFFF));
  seen.WideText = WideWindowText(::GetDlgItem(box, 0xFFFF));
  ::GetWindowRect(box, &seen.Frame);
  for (HWND icon : ChildrenOfClass(box, "Static"))
    if (const auto shown = reinterpret_cast<HICON>(::SendMessageA(icon, STM_GETICON, 0, 0))) seen.Icon = shown;
  const std::vector<HWND> buttons = ChildrenOfClass(box, "Button");
  seen.Buttons = static_cast<int>(buttons.size());
  if (!buttons.empty()) seen.FirstButton = WindowText(buttons.front());
  return seen;
}

void PressFirstButtonAndWait(HWND box) {
  const std::vector<HWND> buttons = ChildrenOfClass(box, "Button");
  if (!buttons.empty())
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(buttons.front()), BN_CLICKED),
                   reinterpret_cast<LPARAM>(buttons.front()));
  WaitFor([&] { return !::IsWindow(box); });
}

TBoxSeen ReadAndCloseMessageBox(const char* title) {
  const HWND box = WaitForDialog(title);
  if (box == nullptr) return {};
  TBoxSeen seen = ReadBox(box);
  PressFirstButtonAndWait(box);
  return seen;
}

void CancelModalWindows() { ::EnumWindows(&CancelWindow, 0); }

TScriptThread::TScriptThread(std::function<void()> script)
    : FThread([this, script = std::move(script)] { Run(script); }) {}

TScriptThread::~TScriptThread() {
  if (FThread.joinable()) Join();
}

void TScriptThread::Join() {
  {
    const std::lock_guard lock(FMutex);
    FBack = true;
  }
  FBackChanged.notify_all();
  FThread.join();
}

bool TScriptThread::WaitForTestThread(std::chrono::milliseconds limit) {
  std::unique_lock lock(FMutex);
  return FBackChanged.wait_for(lock, limit, [this] { return FBack; });
}

void TScriptThread::Run(const std::function<void()>& script) {
  script();
  if (WaitForTestThread(kWindowWait)) return;
  ADD_FAILURE() << "the test thread was still in a modal loop " << kWindowWait.count()
                << " ms after the script ended; its windows are cancelled";
  for (int round = 0; round < 50; ++round) {
    CancelModalWindows();
    if (WaitForTestThread(std::chrono::milliseconds(100))) return;
  }
  std::fprintf(stderr, "the test thread could not be brought out of its modal loop; ending the test program\n");
  std::fflush(stdout);
  std::fflush(stderr);
  ::TerminateProcess(::GetCurrentProcess(), 3);
}

TDialogWatcher::~TDialogWatcher() {
  FStop = true;
  FThread.join();
}

std::vector<TBoxSeen> TDialogWatcher::Shown() {
  const std::lock_guard lock(FMutex);
  return FShown;
}

void TDialogWatcher::Watch() {
  while (!FStop) {
    if (const HWND box = FindDialogOfThisProcess()) {
      {
        // Kept before the box goes: once it is gone, the test thread reads Shown.
        const std::lock_guard lock(FMutex);
        FShown.push_back(ReadBox(box));
      }
      PressFirstButtonAndWait(box);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}
