#include "ui/RunReport.h"

#include <chrono>
#include <thread>

TRunReport::TRunReport(std::vector<std::string> entries, std::function<bool(bool ended)> notify)
    : FEntries(std::move(entries)), FNotify(std::move(notify)) {}

template <typename Change>
bool TRunReport::Report(Change&& change, bool ended) {
  bool tell = false;
  {
    const std::lock_guard<std::mutex> lock(FLock);
    change(FPending);
    tell = !FTold || ended;
    FTold = true;
  }
  // Outside the lock: the window may be taking a frame at this moment.
  if (!tell || FNotify(ended)) return true;
  const std::lock_guard<std::mutex> lock(FLock);
  FTold = false;
  return false;
}

TRunReport::TFrame TRunReport::Take() {
  const std::lock_guard<std::mutex> lock(FLock);
  FTold = false;
  return std::exchange(FPending, TFrame{});
}

void TRunReport::End() {
  using namespace std::chrono_literals;
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (Report([](TFrame& frame) { frame.Ended = true; }, true)) return;
    std::this_thread::sleep_for(20ms);
  }
}

void TRunReport::SetStatusText(std::string_view text) {
  Report([&](TFrame& frame) { frame.Status = std::string(text); });
}

void TRunReport::SetStatusFontColor(std::uint32_t color) {
  Report([&](TFrame& frame) { frame.StatusColor = color; });
}

void TRunReport::SetReadoutText(std::string_view text) {
  // Every full block shows the same window: only a change is news.
  if (text == FLastReadout) return;
  FLastReadout = text;
  Report([&](TFrame& frame) { frame.Readout = std::string(text); });
}

void TRunReport::SetProgressMin(std::int32_t value) {
  Report([&](TFrame& frame) { frame.ProgressMin = value; });
}

void TRunReport::SetProgressMax(std::int32_t value) {
  Report([&](TFrame& frame) { frame.ProgressMax = value; });
}

void TRunReport::SetProgressPosition(std::int32_t value) {
  Report([&](TFrame& frame) { frame.ProgressPosition = value; });
}

std::string TRunReport::Text(int index) const { return FEntries.at(static_cast<std::size_t>(index)); }

void TRunReport::Replace(int index, const std::string& text) {
  FEntries.at(static_cast<std::size_t>(index)) = text;
  Report([&](TFrame& frame) { frame.Marks.emplace_back(index, text); });
}

void TRunReport::SetFontColor(std::uint32_t color) {
  Report([&](TFrame& frame) { frame.ListColor = color; });
}
