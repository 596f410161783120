#include "engine/ShredSizes.h"

#include <gtest/gtest.h>

TEST(ShredSizes, NinetyFivePercentRoundsHalfToEven) {
  EXPECT_EQ(NinetyFivePercent(1000000), 950000);
  EXPECT_EQ(NinetyFivePercent(10), 10);  // 9.5 goes to 10
  EXPECT_EQ(NinetyFivePercent(30), 28);  // 28.5 goes to 28
  EXPECT_EQ(NinetyFivePercent(1), 1);    // 0.95
  EXPECT_EQ(NinetyFivePercent(0), 0);
  EXPECT_EQ(NinetyFivePercent(-1), -1);
  EXPECT_EQ(NinetyFivePercent(2260491858LL), 2147467265LL);
  EXPECT_EQ(NinetyFivePercent(INT64_MAX), 8762203435012037017LL);  // no overflow
}

TEST(ShredSizes, DriveRootComesFromTheUpperCasedFirstCharacter) {
  EXPECT_EQ(DriveRoot("c:\\x"), "C:\\");
  EXPECT_EQ(DriveRoot("D:\\x"), "D:\\");
  EXPECT_EQ(DriveRoot("\\\\server\\share\\x"), "\\:\\");
  EXPECT_EQ(DriveRoot("SHREDDED! ... C:\\x"), "S:\\");
  EXPECT_EQ(DriveRoot("\xE4:\\x"), "\xE4:\\");  // only a to z change
}

TEST(ShredSizes, ProgressIsScaledOnlyAboveTheLargestUnscaledSize) {
  EXPECT_EQ(ProgressDivisor(0), 1);
  EXPECT_EQ(ProgressDivisor(kLargestUnscaledSize), 1);
  EXPECT_EQ(ProgressDivisor(kLargestUnscaledSize + 1), 2);
  for (const std::int64_t size : {std::int64_t{kLargestUnscaledSize + 1}, std::int64_t{3LL << 31}, std::int64_t{1LL << 40}, std::int64_t{INT64_MAX}}) {
    EXPECT_LE(size / ProgressDivisor(size), INT32_MAX) << size;
    EXPECT_GE(size / ProgressDivisor(size), kLargestUnscaledSize / 2 - 1) << size;  // and keeps its resolution
  }
}
