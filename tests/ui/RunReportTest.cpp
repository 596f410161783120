// What a run on its own thread hands the window: only the latest of each thing, the
// marks in order, one notice until the window looks, and an end it cannot miss.
#include "ui/RunReport.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <thread>

namespace {

class RunReportTest : public ::testing::Test {
 protected:
  int told = 0;
  int endsTold = 0;
  bool windowAnswers = true;
  TRunReport report{{"C:\\a", "C:\\b", "C:\\c"}, [this](bool ended) {
                      ++told;
                      endsTold += ended ? 1 : 0;
                      return windowAnswers;
                    }};
};

TEST_F(RunReportTest, TheWindowIsToldOnceAndTakesOnlyTheLatestOfEach) {
  report.SetStatusFontColor(0);
  report.SetStatusText("shredding C:\\a: size is 40000 bytes ...");
  report.SetProgressMin(0);
  report.SetProgressMax(40000);
  for (std::int32_t position = 0; position <= 40000; position += 16384) report.SetProgressPosition(position);
  report.SetStatusText("shredding C:\\b: size is 7 bytes ...");
  EXPECT_EQ(told, 1);

  const TRunReport::TFrame frame = report.Take();
  EXPECT_EQ(frame.StatusColor, 0u);
  EXPECT_EQ(frame.Status, "shredding C:\\b: size is 7 bytes ...");
  EXPECT_EQ(frame.ProgressMin, 0);
  EXPECT_EQ(frame.ProgressMax, 40000);
  EXPECT_EQ(frame.ProgressPosition, 32768);
  EXPECT_FALSE(frame.Readout || frame.ListColor || frame.Ended);

  // Nothing new: nothing to show, and nobody is told.
  const TRunReport::TFrame empty = report.Take();
  EXPECT_FALSE(empty.Status || empty.ProgressPosition);
  EXPECT_EQ(told, 1);
  report.SetProgressPosition(7);
  EXPECT_EQ(told, 2);
}

TEST_F(RunReportTest, MarksReachTheWindowInOrderAndTheRunReadsItsOwnCopy) {
  EXPECT_EQ(report.Count(), 3);
  report.Replace(0, "SHREDDED! ... C:\\a");
  report.Replace(2, "SHREDDED! ... C:\\c");
  EXPECT_EQ(report.Text(0), "SHREDDED! ... C:\\a");
  EXPECT_EQ(report.Text(1), "C:\\b");
  const auto marks = report.Take().Marks;
  ASSERT_EQ(marks.size(), 2u);
  EXPECT_EQ(marks[0], (std::pair<int, std::string>{0, "SHREDDED! ... C:\\a"}));
  EXPECT_EQ(marks[1], (std::pair<int, std::string>{2, "SHREDDED! ... C:\\c"}));
  EXPECT_TRUE(report.Take().Marks.empty());
}

// The window shows the end at once, though it was told of news it has not taken.
TEST_F(RunReportTest, TheEndIsToldEvenWhenNewsIsWaiting) {
  report.SetProgressPosition(1);
  report.End();
  EXPECT_EQ(told, 2);
  EXPECT_EQ(endsTold, 1);
  const TRunReport::TFrame frame = report.Take();
  EXPECT_TRUE(frame.Ended);
  EXPECT_EQ(frame.ProgressPosition, 1);
}

// Full blocks all show the same readout; one that is drawn already is no news.
TEST_F(RunReportTest, AReadoutThatIsShownAlreadyIsNoNews) {
  report.SetReadoutText("1 1 0");
  EXPECT_EQ(report.Take().Readout, "1 1 0");
  report.SetReadoutText("1 1 0");
  EXPECT_FALSE(report.Take().Readout);
  EXPECT_EQ(told, 1);
  report.SetReadoutText("0 1 0");
  EXPECT_EQ(report.Take().Readout, "0 1 0");
}

// A window that could not be told is told with the next news; the end is tried
// again until it is heard.
TEST_F(RunReportTest, AWindowThatCouldNotBeToldHearsTheNextNewsAndTheEnd) {
  windowAnswers = false;
  report.SetProgressPosition(1);
  report.SetProgressPosition(2);
  EXPECT_EQ(told, 2);
  windowAnswers = true;
  report.SetProgressPosition(3);
  EXPECT_EQ(told, 3);
  EXPECT_EQ(report.Take().ProgressPosition, 3);

  int refusals = 3;
  TRunReport ending{{}, [&](bool) { return --refusals < 0; }};
  ending.End();
  EXPECT_EQ(refusals, -1);
  EXPECT_TRUE(ending.Take().Ended);
}

// The run reports from its own thread while the window takes frames: every frame
// is a state the run had, in order, and the end always arrives.
TEST(RunReportThreads, FramesTakenWhileTheRunReportsAreItsStatesInOrder) {
  std::mutex lock;
  std::condition_variable changed;
  bool news = false;
  TRunReport report{{}, [&](bool) {
                      const std::lock_guard<std::mutex> guard(lock);
                      news = true;
                      changed.notify_one();
                      return true;
                    }};
  constexpr std::int32_t kLast = 100000;
  std::thread run([&] {
    for (std::int32_t position = 1; position <= kLast; ++position) report.SetProgressPosition(position);
    report.End();
  });
  std::int32_t seen = 0;
  bool ended = false;
  while (!ended) {
    {
      std::unique_lock<std::mutex> guard(lock);
      changed.wait(guard, [&] { return news; });
      news = false;
    }
    const TRunReport::TFrame frame = report.Take();
    if (frame.ProgressPosition) {
      EXPECT_GT(*frame.ProgressPosition, seen);
      seen = *frame.ProgressPosition;
    }
    ended = frame.Ended;
  }
  run.join();
  EXPECT_EQ(seen, kLast);
}

}  // namespace
