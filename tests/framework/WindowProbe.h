#pragma once
// Helpers for driving real windows from a second thread while the test's own
// thread sits in a modal loop (a message box, a modal form, the application loop).

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

// What a message box of this process showed.
struct TBoxSeen {
  bool Found = false;
  std::string Caption;
  std::string Text;
  HICON Icon = nullptr;
  RECT Frame{};
  int Buttons = 0;
  std::string FirstButton;
};

// Polls until done() holds or the time is up; true when it held.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10));

// A top-level #32770 window of this process, or null. With a title, only that one.
HWND FindDialogOfThisProcess(const char* title = nullptr);

// Waits for a message box, reads it and presses its first button.
TBoxSeen ReadAndCloseMessageBox();

std::string WindowText(HWND window);

// Runs the script on a thread of its own; joined when this goes.
class TScriptThread {
 public:
  explicit TScriptThread(std::function<void()> script) : FThread(std::move(script)) {}
  TScriptThread(const TScriptThread&) = delete;
  TScriptThread& operator=(const TScriptThread&) = delete;
  ~TScriptThread() {
    if (FThread.joinable()) FThread.join();
  }
  void Join() { FThread.join(); }

 private:
  std::thread FThread;
};
