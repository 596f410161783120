#pragma once
// Helpers for driving real windows from a second thread while the test's own
// thread sits in a modal loop (a message box, a modal form, the file dialog, the
// application loop). Every wait has a limit, and a wait that runs out fails the
// test with what it waited for: a test never hangs on a window that never came.

#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

inline constexpr std::chrono::milliseconds kWindowWait = std::chrono::seconds(10);

// What a message box of this process showed.
struct TBoxSeen {
  bool Found = false;
  std::string Caption;
  std::string Text;
  std::wstring WideText;  // the text as shown, for names outside the code page
  HICON Icon = nullptr;
  RECT Frame{};
  int Buttons = 0;
  std::string FirstButton;
};

// Polls until done() holds or the time is up; true when it held.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = kWindowWait);

// A visible top-level window of this process, or null; a null class name or title
// matches any. Other test programs run at the same time and have windows of the
// same titles, so only this process's count.
HWND FindWindowOfThisProcess(const char* className, const char* title);
// The same for dialogs and message boxes (class #32770).
HWND FindDialogOfThisProcess(const char* title = nullptr);

// Waits for such a window; when none comes in time, fails the test, saying what it
// waited for, and returns null.
HWND WaitForWindowOfThisProcess(const char* className, const char* title);
HWND WaitForDialog(const char* title = nullptr);

// Reads a shown message box; presses its first button and waits until it is gone.
TBoxSeen ReadBox(HWND box);
void PressFirstButtonAndWait(HWND box);
// Waits for a message box (with a title, that one), reads it and presses its first
// button; fails the test when none comes.
TBoxSeen ReadAndCloseMessageBox(const char* title = nullptr);

// Ends whatever modal loop the test thread is in: cancels every dialog of this
// process and closes its enabled top-level windows (an owner is disabled while its
// modal window shows, so the window under test is left alone).
void CancelModalWindows();

std::string WindowText(HWND window);
// The direct children of a window that are of a class, in z order.
std::vector<HWND> ChildrenOfClass(HWND parent, const char* className);
std::wstring WideWindowText(HWND window);

// Runs a script on a thread of its own while the test thread goes into a modal loop;
// the test thread calls Join (or lets it go) once the loop has returned. Should the
// loop still run kWindowWait after the script ended (the script found nothing to
// answer, or its answer went astray), the test fails and the modal windows of this
// process are cancelled; should even that not end it, the program ends with a
// message rather than hang until ctest's time-out.
class TScriptThread {
 public:
  explicit TScriptThread(std::function<void()> script);
  TScriptThread(const TScriptThread&) = delete;
  TScriptThread& operator=(const TScriptThread&) = delete;
  ~TScriptThread();
  void Join();

 private:
  void Run(const std::function<void()>& script);
  bool WaitForTestThread(std::chrono::milliseconds limit);

  std::mutex FMutex;
  std::condition_variable FBackChanged;
  bool FBack = false;
  std::thread FThread;
};

// Answers every message box this process shows while it lives, from a thread of its
// own, and keeps what each said: for calls that show a box only sometimes.
class TDialogWatcher {
 public:
  TDialogWatcher() : FThread([this] { Watch(); }) {}
  TDialogWatcher(const TDialogWatcher&) = delete;
  TDialogWatcher& operator=(const TDialogWatcher&) = delete;
  ~TDialogWatcher();
  std::vector<TBoxSeen> Shown();

 private:
  void Watch();

  std::atomic<bool> FStop = false;
  std::mutex FMutex;
  std::vector<TBoxSeen> FShown;
  std::thread FThread;
};
