#pragma once
// A request to stop a run: made on the window's thread (Stop, Esc, closing the
// window), seen on the run's. The run looks at it between entries and after every
// block it writes, so a stop takes effect within one block.

#include <atomic>

class TRunStop {
 public:
  void Request() noexcept { FRequested.store(true, std::memory_order_relaxed); }
  bool Requested() const noexcept { return FRequested.load(std::memory_order_relaxed); }

  // For runs nobody can stop (tools, benchmarks).
  static const TRunStop& Never() noexcept {
    static const TRunStop never;
    return never;
  }

 private:
  std::atomic<bool> FRequested{false};
};
