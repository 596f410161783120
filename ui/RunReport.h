#pragma once
// What a run on a thread of its own has to show the window: the latest status text,
// readout and bar, the entries it marked, and its end. The run writes as it goes;
// the window takes what changed since it last looked, at its own pace. Only the
// latest of each is kept, so the run never waits for the window, however fast it
// reports, and every frame the window draws is a state the run really had.

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/run/FileList.h"
#include "engine/ShredDisplay.h"

class TRunReport final : public IShredDisplay, public IFileList {
 public:
  // What changed since the window last took a frame; unset is unchanged.
  struct TFrame {
    std::optional<std::uint32_t> StatusColor;
    std::optional<std::string> Status;
    std::optional<std::string> Readout;
    std::optional<std::int32_t> ProgressMin;
    std::optional<std::int32_t> ProgressMax;
    std::optional<std::int32_t> ProgressPosition;
    std::optional<std::uint32_t> ListColor;
    std::vector<std::pair<int, std::string>> Marks;  // index and new text, in the order made
    bool Ended = false;
  };

  // entries: the list as the run starts, which nothing changes under the run.
  // notify: called on the run's thread when there is something new and the window
  // has not been told since it last took a frame, and always at the end, with
  // ended set: the window shows that at once. It must not block, and returns false
  // when the window could not be told (the next news tries again).
  TRunReport(std::vector<std::string> entries, std::function<bool(bool ended)> notify);
  TRunReport(const TRunReport&) = delete;
  TRunReport& operator=(const TRunReport&) = delete;

  // The window's side.
  TFrame Take();

  // The run's side: its last word, however it ended. The window must hear it, so
  // a window that cannot be told is tried again for a while.
  void End();

  void SetStatusText(std::string_view text) override;
  void SetStatusFontColor(std::uint32_t color) override;
  void SetReadoutText(std::string_view text) override;
  void SetProgressMin(std::int32_t value) override;
  void SetProgressMax(std::int32_t value) override;
  void SetProgressPosition(std::int32_t value) override;

  int Count() const override { return static_cast<int>(FEntries.size()); }
  std::string Text(int index) const override;
  void Replace(int index, const std::string& text) override;
  void SetFontColor(std::uint32_t color) override;

 private:
  // Applies a change under the lock, then tells the window if it has not been told
  // (or, for the end, in any case). False when telling it failed.
  template <typename Change>
  bool Report(Change&& change, bool ended = false);

  // The run's own: only its thread touches these.
  std::vector<std::string> FEntries;
  std::string FLastReadout;
  std::function<bool(bool ended)> FNotify;
  std::mutex FLock;
  TFrame FPending;      // under FLock
  bool FTold = false;   // under FLock: the window has been told of FPending
};
