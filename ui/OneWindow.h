#pragma once
// One window per session. A start of the program while its window is open (Explorer
// starts one for each selected item, Send To and a shortcut one more) hands its names
// to that window and ends; only the first start opens a window. Starts wait for each
// other, so of several at once one opens the window and the rest find it.
//
// The open window is recorded in a session's own named memory ("Local\"), which the
// program's start-up writes and nothing else: another user's session, or a window of
// the program's classes made by anything but the program's start, is never found. A
// start with administrator rights and one without have a window each.

#include <windows.h>

#include <string>
#include <vector>

#include "base/Handles.h"

class TOneWindow {
 public:
  // Waits for the starts before this one to have opened or found the window.
  TOneWindow();
  TOneWindow(const TOneWindow&) = delete;
  TOneWindow& operator=(const TOneWindow&) = delete;
  ~TOneWindow();

  // Hands the names to the open window and brings it to the front; false when there
  // is none, or it did not take them in time: this start then opens its own.
  bool HandTo(const std::vector<std::wstring>& names);
  // This start's window is the one from now on, and the next start may look.
  void Become(HWND window);

 private:
  void LetNextStartLook() noexcept;

  UniqueKernelObject FStartLock;
  bool FLocked = false;
  UniqueKernelObject FRecord;  // kept open while the window lives
};
