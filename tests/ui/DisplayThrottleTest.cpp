#include "ui/DisplayThrottle.h"

#include <gtest/gtest.h>

#include "engine/ShredTexts.h"
#include "tests/support/RecordingDisplay.h"

namespace {

using namespace std::chrono_literals;

class DisplayThrottleTest : public ::testing::Test {
 protected:
  TRecordingDisplay screen;
  std::chrono::steady_clock::time_point now{};
  int pixels = 500;
  TDisplayThrottle throttle{screen, [this] { return pixels; }, [this] { return now; }};

  // One file as the engine reports it, the clock moving by `perBlock` each block.
  void File(std::int32_t size, std::chrono::microseconds perBlock, std::int32_t block = 16384) {
    throttle.SetStatusText(std::to_string(size));
    throttle.RepaintStatus();
    throttle.SetProgressMin(0);
    throttle.SetProgressMax(size);
    throttle.SetProgressPosition(0);
    for (std::int32_t done = 0; done < size;) {
      const std::int32_t length = std::min(block, size - done);
      throttle.SetReadoutText(ReadoutWindow(length));
      throttle.RepaintReadout();
      done += length;
      now += perBlock;
      throttle.SetProgressPosition(done);
    }
    throttle.SetProgressPosition(0);
  }
};

TEST_F(DisplayThrottleTest, ALargeFileDrawsAtMostOneBarFramePerScreenFrameAndEndsEmpty) {
  File(1 << 30, 13us);  // 1 GiB at about 1.2 GB/s: 65,536 blocks in 0.85 s
  const auto frames = static_cast<long>(screen.positions.size());
  EXPECT_LE(frames, 0.86 / 0.016 + 3);
  EXPECT_GE(frames, 20);
  EXPECT_EQ(screen.positions.front(), 0);
  EXPECT_EQ(screen.positions.back(), 0);
  EXPECT_TRUE(std::is_sorted(screen.positions.begin(), screen.positions.end() - 1));
  // The readout is the same for every full block: drawn once.
  EXPECT_EQ(screen.readouts.size(), 1u);
  EXPECT_EQ(std::count(screen.calls.begin(), screen.calls.end(), "repaint-readout"), 1);
  EXPECT_EQ(screen.status, "1073741824");
}

TEST_F(DisplayThrottleTest, EveryFileShowsItsStatusAndItsLastReadout) {
  File(20000, 1ms);  // readouts at 85, then 17
  File(4096, 1ms);   // 97
  File(4096, 1ms);   // 97 again: already shown
  EXPECT_EQ(screen.readouts, (std::vector<std::string>{std::string(ReadoutWindow(16384)),
                                                       std::string(ReadoutWindow(3616)),
                                                       std::string(ReadoutWindow(4096))}));
  EXPECT_EQ(std::count(screen.calls.begin(), screen.calls.end(), "repaint-status"), 3);
  EXPECT_EQ(screen.readout, ReadoutWindow(4096));
}

TEST_F(DisplayThrottleTest, SmallFilesNeverLeaveTheEmptyBar) {
  for (int i = 0; i < 2000; ++i) File(4096, 200us);
  EXPECT_EQ(screen.positions, std::vector<std::int32_t>{0});
  EXPECT_EQ(screen.position, 0);
}

TEST_F(DisplayThrottleTest, ASlowFileShowsEveryPixelItMoves) {
  pixels = 10;
  File(10 * 16384, 20ms);
  EXPECT_EQ(screen.positions,
            (std::vector<std::int32_t>{0, 16384, 32768, 49152, 65536, 81920, 98304, 114688, 131072, 147456, 163840, 0}));
}

TEST_F(DisplayThrottleTest, MovesOfLessThanAPixelAreNotDrawn) {
  pixels = 2;
  File(8 * 16384, 50ms);
  EXPECT_EQ(screen.positions, (std::vector<std::int32_t>{0, 65536, 131072, 0}));
}

TEST_F(DisplayThrottleTest, AFileThatCannotBeOpenedLeavesTheBarEmpty) {
  File(1000, 1ms);  // drawn through
  throttle.SetProgressMin(0);
  throttle.SetProgressMax(5000);
  throttle.SetProgressPosition(0);
  EXPECT_EQ(screen.position, 0);
  EXPECT_EQ(screen.max, 5000);
}

}  // namespace
