#pragma once
// Holds a window's drawing while many changes are made to it, and draws it once
// when they are done. Under Wine a list box draws itself, scroll bars and all, for
// every row added, removed or replaced: several milliseconds a row, seconds for a
// drop of a few thousand names.

#include <windows.h>

class TRedrawHold {
 public:
  explicit TRedrawHold(HWND window) noexcept : FWindow(window) {
    ::SendMessageW(FWindow, WM_SETREDRAW, FALSE, 0);
  }
  TRedrawHold(const TRedrawHold&) = delete;
  TRedrawHold& operator=(const TRedrawHold&) = delete;
  ~TRedrawHold() {
    ::SendMessageW(FWindow, WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(FWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }

 private:
  HWND FWindow;
};
