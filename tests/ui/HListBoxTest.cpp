#include "ui/HListBox.h"

#include "framework/Errors.h"
#include "framework/Form.h"
#include "tests/support/Ink.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// A form with nothing but the file list, laid out as the main window places it.
class TListForm : public TForm {
 public:
  explicit TListForm(const TFontSpec& font);
  THListBox* ListBox1 = nullptr;
};

TControlSpec ListRow(const TFontSpec& font) {
  return {.Field = Field<&TListForm::ListBox1>, .Name = "ListBox1", .Bounds = {16, 32, 433, 241}, .Font = font,
          .TabOrder = 6, .MultiSelect = true, .Sorted = true};
}

TListForm::TListForm(const TFontSpec& font) : TForm(nullptr) {
  const TControlSpec rows[] = {ListRow(font)};
  LoadLayout({.Caption = "list", .ClientWidth = 548, .ClientHeight = 330, .Controls = rows});
}

constexpr TFontSpec kWindowFont = {.Name = "MS Sans Serif", .Height = 11};
// OCR A has a fixed pitch: every character, the average one included, is one
// advance wide, and the advance can be read off the pixels. A row of n characters
// then needs n + 1 advances, known without asking the font for a metric.
constexpr TFontSpec kFixedFont = {.Name = "OCR A Extended", .Height = 11};
constexpr TFontSpec kLargeFixedFont = {.Name = "OCR A Extended", .Height = 30};

// Counts the extent messages the list receives, passing everything on.
class TExtentSpy {
 public:
  explicit TExtentSpy(HWND list) : FList(list) {
    ::SetPropA(list, kProperty, this);
    FOriginal = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TExtentSpy::Proc)));
  }
  TExtentSpy(const TExtentSpy&) = delete;
  TExtentSpy& operator=(const TExtentSpy&) = delete;
  ~TExtentSpy() {
    ::SetWindowLongPtrA(FList, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOriginal));
    ::RemovePropA(FList, kProperty);
  }
  int Sent() const noexcept { return FSent; }

 private:
  static constexpr char kProperty[] = "Quorvane.Test.ExtentSpy";
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = static_cast<TExtentSpy*>(::GetPropA(window, kProperty));
    if (message == LB_SETHORIZONTALEXTENT) ++self->FSent;
    return ::CallWindowProcA(self->FOriginal, window, message, wParam, lParam);
  }

  HWND FList;
  WNDPROC FOriginal = nullptr;
  int FSent = 0;
};

class HListBoxTest : public ::testing::Test {
 protected:
  void Open(const TFontSpec& font) {
    FForm = std::make_unique<TListForm>(font);
    List = FForm->ListBox1;
    Window = List->WindowHandle();
  }
  void SetUp() override { OpenFixed(kFixedFont); }

  void OpenFixed(const TFontSpec& font) {
    Open(font);
    Advance = AdvanceOf('0');
    // The pitch is fixed: a wide and a narrow letter advance as far as a digit.
    ASSERT_GT(Advance, 0);
    ASSERT_EQ(AdvanceOf('W'), Advance);
    ASSERT_EQ(AdvanceOf('i'), Advance);
  }
  HFONT ListFont() const { return reinterpret_cast<HFONT>(::SendMessageA(Window, WM_GETFONT, 0, 0)); }
  int AdvanceOf(char letter) const { return AdvanceInPixels(ListFont(), letter); }
  // What a row needs in the fixed-pitch font: its characters and one more.
  int Expected(const std::string& row) const { return (static_cast<int>(row.size()) + 1) * Advance; }
  int Extent() const { return static_cast<int>(::SendMessageA(Window, LB_GETHORIZONTALEXTENT, 0, 0)); }
  // Scrolled as far right as it goes, the widest row ends in view, one character's
  // width (letter) short of the edge.
  void ExpectTheWidestRowToEndInViewScrolledFullyRight(int letter) const {
    RECT client{};
    ::GetClientRect(Window, &client);
    ::SendMessageA(Window, WM_HSCROLL, MAKEWPARAM(SB_RIGHT, 0), 0);
    const TInk rows = InkOfWindow(Window);
    ASSERT_GT(rows.Pixels, 0);
    const int gap = client.right - rows.Box.right;
    EXPECT_GE(2 * gap, letter) << "the row's end is not clear of the edge";
    EXPECT_LT(gap, 2 * letter) << "scrolled past the row's end";
  }

  std::unique_ptr<TListForm> FForm;
  THListBox* List = nullptr;
  HWND Window = nullptr;
  int Advance = 0;
};

const std::string kShortPath = R"(C:\a.txt)";
const std::string kLongPath = R"(C:\Documents and Settings\owner\My Documents\quarterly report.doc)";

TEST_F(HListBoxTest, ExtentGrowsOnlyForAStrictlyWiderRow) {
  EXPECT_EQ(List->MaxWidth(), 0);
  EXPECT_EQ(Extent(), 0);
  const TExtentSpy spy(Window);
  List->AddString(kShortPath);
  EXPECT_EQ(Extent(), Expected(kShortPath));
  EXPECT_EQ(spy.Sent(), 1);

  List->AddString(kLongPath);
  EXPECT_EQ(Extent(), Expected(kLongPath));
  EXPECT_EQ(List->MaxWidth(), Expected(kLongPath));
  EXPECT_EQ(spy.Sent(), 2);

  // Rows as wide as the widest (as many characters) and narrower ones: no message.
  std::string sameWidth = kLongPath;
  std::swap(sameWidth[3], sameWidth[4]);
  List->AddString(sameWidth);
  List->AddString(kShortPath);
  EXPECT_EQ(spy.Sent(), 2);
  EXPECT_EQ(Extent(), Expected(kLongPath));
  // One character more is wider.
  List->AddString(kLongPath + "x");
  EXPECT_EQ(spy.Sent(), 3);
  EXPECT_EQ(Extent(), Expected(kLongPath) + Advance);
  EXPECT_EQ(List->Count(), 5);
}

TEST_F(HListBoxTest, MeasuresWithTheListsOwnFont) {
  const int smallAdvance = Advance;
  ASSERT_NO_FATAL_FAILURE(OpenFixed(kLargeFixedFont));
  ASSERT_GT(Advance, 2 * smallAdvance);
  List->AddString(kLongPath);
  EXPECT_EQ(Extent(), Expected(kLongPath));
}

TEST_F(HListBoxTest, EmptyRowIsOneAverageCharacterWide) {
  List->AddString("");
  ASSERT_EQ(List->Count(), 1);
  EXPECT_EQ(List->Text(0), "");
  EXPECT_EQ(List->ItemWidth(""), Advance);
  EXPECT_EQ(Extent(), Advance);
}

TEST_F(HListBoxTest, ExtentSurvivesReplaceAndDelete) {
  List->AddString(kShortPath);
  List->AddString(kLongPath);
  // The run's marker makes the row wider than measured; the range stays as it was.
  List->Replace(0, "SHREDDED! ... " + kLongPath);
  EXPECT_EQ(Extent(), Expected(kLongPath));
  while (List->Count() > 0) List->Delete(0);
  EXPECT_EQ(Extent(), Expected(kLongPath));
  EXPECT_EQ(List->MaxWidth(), Expected(kLongPath));
  List->AddString(kShortPath);
  EXPECT_EQ(Extent(), Expected(kLongPath));
}

TEST_F(HListBoxTest, AnEntryWiderThan65535PixelsGetsItsWholeWidthAndItsEndCanBeScrolledTo) {
  // A path of a few thousand characters. Cut to 16 bits, its width would wrap to a
  // few pixels, narrower than an ordinary path, and the extent would stay there:
  // the end of the long entry could never be scrolled into view.
  const std::string huge = "C:\\" + std::string(static_cast<std::size_t>(65536 / Advance), 'W');
  ASSERT_GT(Expected(huge), 65535);
  List->AddString(kLongPath);
  List->AddString(huge);
  EXPECT_EQ(List->ItemWidth(huge), Expected(huge));
  EXPECT_EQ(List->MaxWidth(), Expected(huge));
  EXPECT_EQ(Extent(), Expected(huge));
  ExpectTheWidestRowToEndInViewScrolledFullyRight(Advance);
}

// In the window's own font, as a person sees it: scrolled as far right as it goes,
// the widest path ends in view, one character's width short of the edge.
TEST_F(HListBoxTest, ScrolledFullyRightTheWidestRowEndsOneCharacterShortOfTheEdge) {
  Open(kWindowFont);
  const int letter = AdvanceOf('x');
  ASSERT_GT(letter, 0);
  const std::string wider = kLongPath + R"(\..\..\owner\My Documents\quarterly report, second draft.doc)";
  List->AddString(kShortPath);
  List->AddString(wider);
  RECT client{};
  ::GetClientRect(Window, &client);
  ASSERT_GT(InkOfWindow(Window).Box.right, client.right - 2) << "the row fits unscrolled: nothing to check";
  ExpectTheWidestRowToEndInViewScrolledFullyRight(letter);
}

TEST_F(HListBoxTest, RowsLandSortedAndDuplicatesStay) {
  for (const char* path : {R"(C:\c.txt)", R"(C:\a.txt)", R"(C:\b.txt)", R"(C:\a.txt)"}) List->AddString(path);
  ASSERT_EQ(List->Count(), 4);
  EXPECT_EQ(List->Text(0), R"(C:\a.txt)");
  EXPECT_EQ(List->Text(1), R"(C:\a.txt)");
  EXPECT_EQ(List->Text(2), R"(C:\b.txt)");
  EXPECT_EQ(List->Text(3), R"(C:\c.txt)");
}

// Many names in one pass land exactly where one AddString each would put them,
// among rows already there, which keep their selection; the extent is the widest
// row's. A list whose order a replaced row broke takes them one at a time.
TEST_F(HListBoxTest, ManyNamesAtOnceLandAsOneAtATimeWould) {
  std::vector<std::string> names;
  for (int i = 0; i < 100000; ++i)
    names.push_back("C:\\Drop\\" + std::string(i % 3 == 0 ? "Case" : "case") + "-" + std::to_string(i * 7919 % 100000));
  names.push_back(kLongPath);
  names.push_back("C:\\Drop\\case-5");  // equal to one listed before it: both stay
  const auto rowsOf = [](const THListBox& list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list.Count(); ++i) rows.push_back(list.Text(i));
    return rows;
  };
  // The rows the list holds when the names come, set up on List and on a second list
  // that takes the names one at a time; the two must end alike.
  const auto expectLikeOneAtATime = [&](const std::function<void(THListBox&)>& before) {
    TListForm form(kFixedFont);
    before(*form.ListBox1);
    for (const std::string& name : names) form.ListBox1->AddString(name);
    const auto got = rowsOf(*List), want = rowsOf(*form.ListBox1);
    ASSERT_EQ(got.size(), want.size());
    const auto at = std::mismatch(got.begin(), got.end(), want.begin()).first - got.begin();
    ASSERT_EQ(at, static_cast<std::ptrdiff_t>(got.size())) << got[at] << " where one at a time puts " << want[at];
  };
  const auto inOrder = [](THListBox& list) {
    list.AddString(kShortPath);
    list.AddString("D:\\z.txt");
  };
  inOrder(*List);
  List->SetSelected(1, true);
  List->AddStrings(names);
  expectLikeOneAtATime(inOrder);
  EXPECT_TRUE(List->Selected(List->Count() - 1));
  EXPECT_EQ(List->SelCount(), 1);
  EXPECT_EQ(Extent(), Expected(kLongPath));

  const auto outOfOrder = [](THListBox& list) {
    list.AddString(kShortPath);
    list.AddString("C:\\b.txt");
    list.Replace(0, "SHREDDED! ... " + kShortPath);
  };
  names.resize(300);
  List->Clear();
  outOfOrder(*List);
  List->AddStrings(names);
  expectLikeOneAtATime(outOfOrder);
}

}  // namespace
