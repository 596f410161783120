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
