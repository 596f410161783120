#pragma once
// The status line, digit readout and progress bar of the main window, as the engine
// writes to them: on the window's thread, from a frame of a run on its own thread.

#include "engine/ShredDisplay.h"

class TEdit;
class TLabel;
class TProgressBar;

class TControlsDisplay final : public IShredDisplay {
 public:
  TControlsDisplay(TEdit& status, TLabel& readout, TProgressBar& progress) noexcept
      : FStatus(status), FReadout(readout), FProgress(progress) {}

  void SetStatusText(std::string_view text) override;
  void SetStatusFontColor(std::uint32_t color) override;
  void SetReadoutText(std::string_view text) override;
  void SetProgressMin(std::int32_t value) override;
  void SetProgressMax(std::int32_t value) override;
  void SetProgressPosition(std::int32_t value) override;

 private:
  TEdit& FStatus;
  TLabel& FReadout;
  TProgressBar& FProgress;
};
