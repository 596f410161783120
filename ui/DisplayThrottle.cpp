#include "ui/DisplayThrottle.h"

TDisplayThrottle::TDisplayThrottle(IShredDisplay& screen, std::function<int()> barPixels, Clock clock)
    : FScreen(screen), FBarPixels(std::move(barPixels)), FClock(std::move(clock)) {}

void TDisplayThrottle::SetStatusText(std::string_view text) { FScreen.SetStatusText(text); }
void TDisplayThrottle::RepaintStatus() { FScreen.RepaintStatus(); }
void TDisplayThrottle::SetStatusFontColor(std::uint32_t color) { FScreen.SetStatusFontColor(color); }

void TDisplayThrottle::SetReadoutText(std::string_view text) {
  // Every full block shows the same window; only a shorter last block moves it.
  FReadoutPending = text != FShownReadout;
  if (!FReadoutPending) return;
  FShownReadout = text;
  FScreen.SetReadoutText(text);
}

void TDisplayThrottle::RepaintReadout() {
  if (FReadoutPending) FScreen.RepaintReadout();
  FReadoutPending = false;
}

void TDisplayThrottle::SetProgressMin(std::int32_t value) {
  FMin = value;
  FScreen.SetProgressMin(value);
}

void TDisplayThrottle::SetProgressMax(std::int32_t value) {
  FMax = value;
  FPixels = FBarPixels();
  FRangeSetAt = FClock();
  FScreen.SetProgressMax(value);
}

int TDisplayThrottle::PixelOf(std::int32_t position) const {
  const std::int64_t span = static_cast<std::int64_t>(FMax) - FMin;
  if (span <= 0) return 0;
  return static_cast<int>((static_cast<std::int64_t>(position) - FMin) * FPixels / span);
}

// What the bar shows is its filled width in pixels, whatever the range; an unchanged
// width needs no redraw. The empty bar, which every file starts and ends on, is
// always drawn when it is not already shown. Any other width waits for a frame to
// pass since the last redraw and since the file began: a file done sooner never
// leaves the empty bar, which is what it started and ends on.
void TDisplayThrottle::SetProgressPosition(std::int32_t value) {
  const int pixel = PixelOf(value);
  if (pixel == FShownPixel) return;
  const auto now = FClock();
  if (value != FMin && (now - FShownAt < kFrame || now - FRangeSetAt < kFrame)) return;
  FScreen.SetProgressPosition(value);
  FShownPixel = pixel;
  FShownAt = now;
}
