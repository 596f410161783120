// Names from the wide side of the system, brought to the program's 8-bit text: only
// exactly, never through the system's best fit, and the one message about the rest.
// Test programs run without the UTF-8 manifest, so they see a legacy code page (1252
// under Wine here).
#include "framework/AnsiNames.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

class AnsiNamesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(::GetACP(), static_cast<UINT>(CP_UTF8)); }
};

TEST_F(AnsiNamesTest, ADropOrSelectionKeepsTheOrderOfWhatFitsAndSetsTheRestApart) {
  const TAnsiNames names = AnsiNamesOf({L"C:\\b", L"C:\\\x0141", L"C:\\a", L"C:\\\xD800"});
  EXPECT_EQ(names.Listed, (std::vector<std::string>{"C:\\b", "C:\\a"}));
  EXPECT_EQ(names.LeftOut, (std::vector<std::wstring>{L"C:\\\x0141", L"C:\\\xD800"}));
}

TEST(LeftOutNamesTextTest, NamesEachNameLeftOutOnALineOfItsOwnAndSaysWhy) {
  EXPECT_EQ(LeftOutNamesText({L"C:\\\x0141.txt"}, 1252),
            L"This name was not listed: this system's code page (1252) has no exact form for it, and a name "
            L"changed to fit could be that of another file.\n\nC:\\\x0141.txt");
  const std::wstring two = LeftOutNamesText({L"C:\\1", L"C:\\2"}, 1250);
  EXPECT_EQ(two.rfind(L"These names were not listed: this system's code page (1250) has no exact form for them", 0),
            0u);
  EXPECT_NE(two.find(L"\n\nC:\\1\nC:\\2"), std::wstring::npos);
}

TEST(LeftOutNamesTextTest, AfterTwentyNamesTheRestAreCounted) {
  std::vector<std::wstring> many;
  for (int i = 1; i <= 25; ++i) many.push_back(L"C:\\" + std::to_wstring(i));
  const std::wstring text = LeftOutNamesText(many, 1252);
  EXPECT_NE(text.find(L"\nC:\\20\n... and 5 more"), std::wstring::npos);
  EXPECT_EQ(text.find(L"C:\\21"), std::wstring::npos);
}

}  // namespace
