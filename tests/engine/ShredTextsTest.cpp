#include "engine/ShredTexts.h"

#include <gtest/gtest.h>

TEST(ShredTexts, DigitPatternIsDigitsEachFollowedByABlank) {
  ASSERT_EQ(kDigitPattern.size(), 244u);
  for (std::size_t i = 0; i < kDigitPattern.size(); ++i) {
    if (i % 2 == 0)
      EXPECT_TRUE(kDigitPattern[i] == '0' || kDigitPattern[i] == '1') << i;
    else
      EXPECT_EQ(kDigitPattern[i], ' ') << i;
  }
}

TEST(ShredTexts, ReadoutWindowStartsAtTheOddPositionOfTheBlockLength) {
  EXPECT_EQ(ReadoutWindow(16384),
            "1 1 0 1 1 0 1 0 1 1 0 1 0 0 1 1 1 0 1 0 0 1 1 1 0 1 1 0 1 0 1 1 0 1 0 0 1 1 0 0 1 0 1 0 1 1 0 1 0 0 "
            "1 1 1 0 1 1 0 1 0 1 ");
  EXPECT_EQ(ReadoutWindow(100), kDigitPattern.substr(0, 120));   // 0 is even: position 1
  EXPECT_EQ(ReadoutWindow(1), kDigitPattern.substr(0, 120));     // position 1
  EXPECT_EQ(ReadoutWindow(3616), kDigitPattern.substr(16, 120)); // 16 made odd: 17
  EXPECT_EQ(ReadoutWindow(16112), kDigitPattern.substr(12, 120));
  EXPECT_EQ(ReadoutWindow(99), kDigitPattern.substr(98, 120));   // the last start
  for (int length = 1; length <= 200; ++length) {
    const auto window = ReadoutWindow(length);
    ASSERT_EQ(window.size(), 120u);
    EXPECT_NE(window.front(), ' ');
    EXPECT_EQ(window.back(), ' ');
  }
}

TEST(ShredTexts, StatusText) {
  EXPECT_EQ(StatusText("C:\\a.txt", 20000), "shredding C:\\a.txt: size is 20000 bytes ...");
  EXPECT_EQ(StatusText("", 0), "shredding : size is 0 bytes ...");
  EXPECT_EQ(StatusText("x", 5000000000LL), "shredding x: size is 5000000000 bytes ...");
}

TEST(ShredTexts, NinetyFivePercentRoundsHalfToEven) {
  EXPECT_EQ(NinetyFivePercent(1000000), 950000);
  EXPECT_EQ(NinetyFivePercent(10), 10);  // 9.5 goes to 10
  EXPECT_EQ(NinetyFivePercent(30), 28);  // 28.5 goes to 28
  EXPECT_EQ(NinetyFivePercent(1), 1);    // 0.95
  EXPECT_EQ(NinetyFivePercent(0), 0);
  EXPECT_EQ(NinetyFivePercent(-1), -1);
  EXPECT_EQ(NinetyFivePercent(2260491858LL), 2147467265LL);
  EXPECT_EQ(NinetyFivePercent(INT64_MAX), 8762203435012037017LL);  // no overflow
}

TEST(ShredTexts, DriveRootComesFromTheUpperCasedFirstCharacter) {
  EXPECT_EQ(DriveRoot("c:\\x"), "C:\\");
  EXPECT_EQ(DriveRoot("D:\\x"), "D:\\");
  EXPECT_EQ(DriveRoot("\\\\server\\share\\x"), "\\:\\");
  EXPECT_EQ(DriveRoot("SHREDDED! ... C:\\x"), "S:\\");
  EXPECT_EQ(DriveRoot("\xE4:\\x"), "\xE4:\\");  // only a to z change
}

TEST(ShredTexts, ProgressIsScaledOnlyAboveTheLargestUnscaledSize) {
  EXPECT_EQ(ProgressDivisor(0), 1);
  EXPECT_EQ(ProgressDivisor(kLargestUnscaledSize), 1);
  EXPECT_EQ(ProgressDivisor(kLargestUnscaledSize + 1), 2);
  for (const std::int64_t size : {std::int64_t{kLargestUnscaledSize + 1}, std::int64_t{3LL << 31}, std::int64_t{1LL << 40}, std::int64_t{INT64_MAX}}) {
    EXPECT_LE(size / ProgressDivisor(size), INT32_MAX) << size;
    EXPECT_GE(size / ProgressDivisor(size), kLargestUnscaledSize / 2 - 1) << size;  // and keeps its resolution
  }
}
