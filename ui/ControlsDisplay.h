#pragma once
// The status line, digit readout and progress bar of the main window, as the engine
// writes to them. Only TDeferredDrawing makes one.

#include <optional>
#include <string>

#include "engine/ShredDisplay.h"
#include "framework/Edit.h"

class TLabel;
class TProgressBar;

// The status line shows every file's status text, and under Wine an edit spends
// about a millisecond taking a new text and painting it: as long as shredding a
// small file. So while a command runs, each text is painted straight into the edit
// by a painter that keeps the edit's DC, and the edit is given the last text when
// the command ends, which also lets the DC go.
class TControlsDisplay final : public IShredDisplay {
 public:
  void SetStatusText(std::string_view text) override;
  void RepaintStatus() override;
  void SetStatusFontColor(std::uint32_t color) override;
  void SetReadoutText(std::string_view text) override;
  void RepaintReadout() override;
  void SetProgressMin(std::int32_t value) override;
  void SetProgressMax(std::int32_t value) override;
  void SetProgressPosition(std::int32_t value) override;

 private:
  friend class TDeferredDrawing;
  TControlsDisplay(TEdit& status, TLabel& readout, TProgressBar& progress) noexcept
      : FStatus(status), FReadout(readout), FProgress(progress) {}
  // While set, status texts are painted, not given; Flush gives the edit the last one.
  void SetDeferring(bool deferring) noexcept { FDeferring = deferring; }
  void Flush();

  TEdit& FStatus;
  TLabel& FReadout;
  TProgressBar& FProgress;
  bool FDeferring = false;
  std::string FStatusText;
  bool FStatusPending = false;
  std::optional<TEdit::TPainter> FStatusPainter;
};
