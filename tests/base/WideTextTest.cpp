// The one conversion between the program's 8-bit text and the system's wide text.
// Test programs run without the UTF-8 manifest, so the ANSI code page is a legacy
// one (1252 under Wine here); UTF-8 is asked for by name.
#include "base/WideText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Ł, ź, Ω and 文: no single legacy code page holds them all; best fit would give
// "L" and "z" for the first two.
const std::wstring kForeign = L"C:\\\x0141\x00F3" L"d\x017A-\x03A9-\x6587.txt";
const std::string kForeignUtf8 = "C:\\\xC5\x81\xC3\xB3" "d\xC5\xBA-\xCE\xA9-\xE6\x96\x87.txt";

class WideTextTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(::GetACP(), static_cast<UINT>(CP_UTF8)); }
};

TEST_F(WideTextTest, ANameOutsideTheCodePageHasNoExactFormAndNeverANeighboursName) {
  EXPECT_EQ(ExactNarrowOf(kForeign), std::nullopt);
  EXPECT_EQ(ExactNarrowOf(L"C:\\half\xD800.txt"), std::nullopt) << "an unpaired surrogate";
  EXPECT_EQ(ExactNarrowOf(L"C:\\\xDC00"), std::nullopt) << "a lone low surrogate";
  // UTF-8 holds them all, but no broken UTF-16.
  EXPECT_EQ(ExactNarrowOf(kForeign, CP_UTF8), kForeignUtf8);
  EXPECT_EQ(ExactNarrowOf(L"C:\\half\xD800.txt", CP_UTF8), std::nullopt);
  EXPECT_EQ(ExactNarrowOf(L""), std::string());
}

TEST_F(WideTextTest, TextInTheCodePageGoesThereAndBackUnchanged) {
  const std::string ansi = "C:\\caf\xE9 & co\\r\xE9sum\xE9.txt";  // é in 1252 and its neighbours
  const std::wstring wide = L"C:\\caf\x00E9 & co\\r\x00E9sum\x00E9.txt";
  EXPECT_EQ(WideOf(ansi), wide);
  EXPECT_EQ(NarrowOf(wide), ansi);
  EXPECT_EQ(ExactNarrowOf(wide), ansi);
  EXPECT_EQ(WideOf(kForeignUtf8, CP_UTF8), kForeign);
  EXPECT_EQ(NarrowOf(kForeign, CP_UTF8), kForeignUtf8);
  EXPECT_EQ(WideOf(""), std::wstring());
  EXPECT_EQ(NarrowOf(L""), std::string());
}

TEST_F(WideTextTest, TheLenientWayOutNeverTakesANeighboursName) {
  // Best fit would make "Lódz", the name of another file; "?" makes no name at all.
  EXPECT_EQ(NarrowOf(L"C:\\\x0141\x00F3" L"d\x017A"), "C:\\?\xF3" "d?");
  EXPECT_EQ(NarrowOf(L"C:\\half\xD800", CP_UTF8), "C:\\half\xEF\xBF\xBD") << "U+FFFD";
}

}  // namespace
