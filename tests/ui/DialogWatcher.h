#pragma once
// Closes the message boxes this process shows while it watches, from a second thread,
// and keeps what each one said: the GUI thread is stuck in the box's modal loop.

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct TShownBox {
  std::string Caption;
  std::string Text;
};

class TDialogWatcher {
 public:
  TDialogWatcher() : FThread([this] { Watch(); }) {}
  TDialogWatcher(const TDialogWatcher&) = delete;
  TDialogWatcher& operator=(const TDialogWatcher&) = delete;
  ~TDialogWatcher() {
    FStop = true;
    FThread.join();
  }

  std::vector<TShownBox> Shown() {
    const std::lock_guard lock(FMutex);
    return FShown;
  }

 private:
  static std::string TextOf(HWND window) {
    char text[1024] = {};
    ::GetWindowTextA(window, text, static_cast<int>(std::size(text)));
    return text;
  }

  static HWND FindOurBox() {
    for (HWND box = ::FindWindowExA(nullptr, nullptr, "#32770", nullptr); box != nullptr;
         box = ::FindWindowExA(nullptr, box, "#32770", nullptr)) {
      DWORD process = 0;
      ::GetWindowThreadProcessId(box, &process);
      if (process == ::GetCurrentProcessId() && ::IsWindowVisible(box)) return box;
    }
    return nullptr;
  }

  void Watch() {
    while (!FStop) {
      if (const HWND box = FindOurBox()) {
        TShownBox shown{TextOf(box), TextOf(::GetDlgItem(box, 0xFFFF))};
        {
          const std::lock_guard lock(FMutex);
          FShown.push_back(shown);
        }
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        while (::IsWindow(box) && !FStop) ::Sleep(5);
      }
      ::Sleep(10);
    }
  }

  std::atomic<bool> FStop = false;
  std::mutex FMutex;
  std::vector<TShownBox> FShown;
  std::thread FThread;
};
