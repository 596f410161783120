#pragma once
// Sits between the engine and the window's controls. The engine reports every block;
// drawing each report would cost more than writing the block (a progress bar redraw
// takes about a millisecond, a 16 KiB block a tenth of that). This passes on only
// what changes the screen, and every frame it lets through shows a real state.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "engine/ShredDisplay.h"

class TDisplayThrottle final : public IShredDisplay {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  // A frame of a 60 Hz screen: the bar is not redrawn more often than that.
  static constexpr std::chrono::milliseconds kFrame{16};

  // barPixels: the width over which the bar fills, read when a new range is set.
  TDisplayThrottle(IShredDisplay& screen, std::function<int()> barPixels, Clock clock = std::chrono::steady_clock::now);

  void SetStatusText(std::string_view text) override;
  void RepaintStatus() override;
  void SetStatusFontColor(std::uint32_t color) override;
  void SetReadoutText(std::string_view text) override;
  void RepaintReadout() override;
  void SetProgressMin(std::int32_t value) override;
  void SetProgressMax(std::int32_t value) override;
  void SetProgressPosition(std::int32_t value) override;

 private:
  int PixelOf(std::int32_t position) const;

  IShredDisplay& FScreen;
  std::function<int()> FBarPixels;
  Clock FClock;
  std::string FShownReadout;
  bool FReadoutPending = false;
  std::int32_t FMin = 0;
  std::int32_t FMax = 100;
  int FPixels = 0;
  int FShownPixel = -1;
  std::chrono::steady_clock::time_point FShownAt{};
  std::chrono::steady_clock::time_point FRangeSetAt{};
};
