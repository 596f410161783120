#include "ui/ControlsDisplay.h"

#include "framework/Label.h"
#include "framework/ProgressBar.h"

void TControlsDisplay::Flush() {
  FStatusPainter.reset();
  if (!FStatusPending) return;
  FStatus.SetText(FStatusText);
  FStatusPending = false;
}

void TControlsDisplay::SetStatusText(std::string_view text) {
  FStatusText = text;
  FStatusPending = true;
  if (!FDeferring) Flush();
}

void TControlsDisplay::RepaintStatus() {
  if (!FDeferring) return FStatus.Repaint();
  if (!FStatusPainter) FStatusPainter.emplace(FStatus);
  FStatusPainter->Paint(FStatusText);
}

void TControlsDisplay::SetStatusFontColor(std::uint32_t color) {
  FStatusPainter.reset();  // it holds the old colour
  FStatus.SetFontColor(color);
}

void TControlsDisplay::SetReadoutText(std::string_view text) { FReadout.SetCaption(text); }
void TControlsDisplay::RepaintReadout() { FReadout.Repaint(); }
void TControlsDisplay::SetProgressMin(std::int32_t value) { FProgress.SetMin(value); }
void TControlsDisplay::SetProgressMax(std::int32_t value) { FProgress.SetMax(value); }
void TControlsDisplay::SetProgressPosition(std::int32_t value) { FProgress.SetPosition(value); }
