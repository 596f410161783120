#pragma once
// What a run tells Windows outside its window: that the machine must not go to
// sleep while it goes (the display may), and how far it is, on the taskbar button.

#include <windows.h>

#include <cstdint>
#include <memory>

class IRunSignals {
 public:
  virtual ~IRunSignals() = default;
  // The machine stays awake from here; the taskbar button's bar starts at 0.
  virtual void Started() = 0;
  virtual void Progress(std::uint64_t done, std::uint64_t total) = 0;
  // However the run ended: the machine may sleep again, and the button shows the
  // error state when entries were left, else no bar.
  virtual void Ended(bool left) = 0;
};

// SetThreadExecutionState and ITaskbarList3, for the window's button. Called on the
// window's thread, which outlives every run.
std::unique_ptr<IRunSignals> MakeWindowsRunSignals(HWND window);
