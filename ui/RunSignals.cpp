#include "ui/RunSignals.h"

#include <shobjidl.h>

namespace {

struct TComRelease {
  void operator()(IUnknown* object) const noexcept { object->Release(); }
};

class TWindowsRunSignals final : public IRunSignals {
 public:
  explicit TWindowsRunSignals(HWND window) noexcept : FWindow(window) {}
  ~TWindowsRunSignals() override {
    FTaskbar.reset();
    if (FComStarted) ::CoUninitialize();
  }

  void Started() override {
    ::SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);
    if (ITaskbarList3* taskbar = Taskbar()) {
      taskbar->SetProgressState(FWindow, TBPF_NORMAL);
      taskbar->SetProgressValue(FWindow, 0, 1);
    }
  }
  void Progress(std::uint64_t done, std::uint64_t total) override {
    if (ITaskbarList3* taskbar = Taskbar()) taskbar->SetProgressValue(FWindow, done, total == 0 ? 1 : total);
  }
  void Ended(bool left) override {
    ::SetThreadExecutionState(ES_CONTINUOUS);
    if (ITaskbarList3* taskbar = Taskbar()) taskbar->SetProgressState(FWindow, left ? TBPF_ERROR : TBPF_NOPROGRESS);
  }

 private:
  // Made when first needed; a system without a taskbar list shows no bar.
  ITaskbarList3* Taskbar() {
    if (FTaskbar || FTried) return FTaskbar.get();
    FTried = true;
    FComStarted = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    ITaskbarList3* made = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&made)))) {
      std::unique_ptr<ITaskbarList3, TComRelease> owned(made);
      if (SUCCEEDED(owned->HrInit())) FTaskbar = std::move(owned);
    }
    return FTaskbar.get();
  }

  HWND FWindow;
  std::unique_ptr<ITaskbarList3, TComRelease> FTaskbar;
  bool FTried = false;
  bool FComStarted = false;
};

}  // namespace

std::unique_ptr<IRunSignals> MakeWindowsRunSignals(HWND window) { return std::make_unique<TWindowsRunSignals>(window); }
