// What an overwrite shows, written out as the user sees it: the status line, the
// readout windows, and the bar's scale.
#include "engine/Overwrite.h"

#include <gtest/gtest.h>

#include <string>

// Between them the windows from positions 1, 85 and 99 hold every character a
// readout can show.
TEST(Overwrite, TheReadoutShowsTheWindowThatTheBlockLengthPicks) {
  struct Case {
    std::int64_t blockLength;
    const char* window;
  };
  const char* const fromTheStart =
      "0 1 0 1 1 0 1 0 0 1 1 1 0 1 1 0 1 0 1 1 0 1 0 0 1 1 0 0 1 0 1 0 1 1 0 0 0 1 1 0 "
      "0 1 1 1 0 1 1 0 1 0 1 1 0 1 0 0 1 1 1 0 ";
  for (const Case& c : {
           // 0 is even, made odd: position 1; so is a block of 1 byte.
           Case{100, fromTheStart}, Case{1, fromTheStart},
           // A fill's last block on a drive with 1,000,000 bytes free: position 13.
           Case{16112, "1 0 0 1 1 1 0 1 1 0 1 0 1 1 0 1 0 0 1 1 0 0 1 0 1 0 1 1 0 0 0 1 1 0 0 1 1 1 0 1 "
                       "1 0 1 0 1 1 0 1 0 0 1 1 1 0 1 0 0 1 1 1 "},
           // The last block of a file of 20,000 bytes: 16 made odd, position 17.
           Case{3616, "0 1 1 1 0 1 1 0 1 0 1 1 0 1 0 0 1 1 0 0 1 0 1 0 1 1 0 0 0 1 1 0 0 1 1 1 0 1 1 0 "
                      "1 0 1 1 0 1 0 0 1 1 1 0 1 0 0 1 1 1 0 1 "},
           // Every full block: position 85.
           Case{16384, "1 1 0 1 1 0 1 0 1 1 0 1 0 0 1 1 1 0 1 0 0 1 1 1 0 1 1 0 1 0 1 1 0 1 0 0 1 1 0 0 "
                       "1 0 1 0 1 1 0 1 0 0 1 1 1 0 1 1 0 1 0 1 "},
           // The last position a window starts at.
           Case{99, "0 1 1 0 1 0 0 1 1 1 0 1 0 0 1 1 1 0 1 1 0 1 0 1 1 0 1 0 0 1 1 0 0 1 0 1 0 1 1 0 "
                    "1 0 0 1 1 1 0 1 1 0 1 0 1 1 0 1 0 0 1 1 "}}) {
    EXPECT_EQ(ReadoutWindow(c.blockLength), std::string(c.window)) << c.blockLength;
  }
}

TEST(Overwrite, StatusLine) {
  EXPECT_EQ(StatusText("C:\\a.txt", 20000), "shredding C:\\a.txt: size is 20000 bytes ...");
  EXPECT_EQ(StatusText("", 0), "shredding : size is 0 bytes ...");
  EXPECT_EQ(StatusText("x", 5000000000LL), "shredding x: size is 5000000000 bytes ...");
}

TEST(Overwrite, ProgressIsScaledOnlyAboveTheLargestUnscaledSize) {
  EXPECT_EQ(ProgressDivisor(0), 1);
  EXPECT_EQ(ProgressDivisor(kLargestUnscaledSize), 1);
  EXPECT_EQ(ProgressDivisor(kLargestUnscaledSize + 1), 2);
  for (const std::int64_t size : {std::int64_t{kLargestUnscaledSize + 1}, std::int64_t{3LL << 31},
                                  std::int64_t{1LL << 40}, std::int64_t{INT64_MAX}}) {
    EXPECT_LE(size / ProgressDivisor(size), INT32_MAX) << size;
    EXPECT_GE(size / ProgressDivisor(size), kLargestUnscaledSize / 2 - 1) << size;  // and keeps its resolution
  }
}
