#include "ui/HListBox.h"

#include "framework/Errors.h"
#include "framework/Form.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

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
constexpr TFontSpec kLargeFont = {.Name = "Arial", .Height = 30};

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
  void SetUp() override { Open(kWindowFont); }

  // Measured apart from the list: a memory DC with the same font.
  TEXTMETRICA Metrics(const std::string& text, SIZE& size) const {
    const HDC dc = ::CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(Window, WM_GETFONT, 0, 0)));
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(dc, &metrics);
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, previous);
    ::DeleteDC(dc);
    return metrics;
  }
  int Measure(const std::string& text) const {
    SIZE size{};
    return Metrics(text, size).tmAveCharWidth + size.cx;
  }
  int AverageCharWidth() const { return Measure(""); }
  int Extent() const { return static_cast<int>(::SendMessageA(Window, LB_GETHORIZONTALEXTENT, 0, 0)); }

  std::unique_ptr<TListForm> FForm;
  THListBox* List = nullptr;
  HWND Window = nullptr;
};

const std::string kShortPath = R"(C:\a.txt)";
const std::string kLongPath = R"(C:\Documents and Settings\owner\My Documents\quarterly report.doc)";

TEST_F(HListBoxTest, ExtentGrowsOnlyForAStrictlyWiderRow) {
  EXPECT_EQ(List->MaxWidth(), 0);
  EXPECT_EQ(Extent(), 0);
  const TExtentSpy spy(Window);
  List->AddString(kShortPath);
  EXPECT_EQ(Extent(), Measure(kShortPath));
  EXPECT_EQ(spy.Sent(), 1);

  List->AddString(kLongPath);
  EXPECT_EQ(Extent(), Measure(kLongPath));
  EXPECT_EQ(List->MaxWidth(), Measure(kLongPath));
  EXPECT_EQ(spy.Sent(), 2);

  // Same letters in another order: the same width, so no message at all.
  std::string sameWidth = kLongPath;
  std::swap(sameWidth[3], sameWidth[4]);
  ASSERT_EQ(Measure(sameWidth), Measure(kLongPath));
  List->AddString(sameWidth);
  List->AddString(kShortPath);
  EXPECT_EQ(spy.Sent(), 2);
  EXPECT_EQ(Extent(), Measure(kLongPath));
  EXPECT_EQ(List->Count(), 4);
}

TEST_F(HListBoxTest, MeasuresWithTheListsOwnFont) {
  List->AddString(kLongPath);
  const int small = Extent();
  Open(kLargeFont);
  List->AddString(kLongPath);
  EXPECT_EQ(Extent(), Measure(kLongPath));
  EXPECT_GT(Extent(), 2 * small);
}

TEST_F(HListBoxTest, EmptyRowIsOneAverageCharacterWide) {
  List->AddString("");
  ASSERT_EQ(List->Count(), 1);
  EXPECT_EQ(List->Text(0), "");
  EXPECT_GT(AverageCharWidth(), 0);
  EXPECT_EQ(List->ItemWidth(""), AverageCharWidth());
  EXPECT_EQ(Extent(), AverageCharWidth());
}

TEST_F(HListBoxTest, ExtentSurvivesReplaceAndDelete) {
  List->AddString(kShortPath);
  List->AddString(kLongPath);
  const int widest = Extent();
  // The run's marker makes the row wider than measured; the range stays as it was.
  List->Replace(0, "SHREDDED! ... " + kLongPath);
  EXPECT_EQ(Extent(), widest);
  while (List->Count() > 0) List->Delete(0);
  EXPECT_EQ(Extent(), widest);
  EXPECT_EQ(List->MaxWidth(), widest);
  List->AddString(kShortPath);
  EXPECT_EQ(Extent(), widest);
}

TEST_F(HListBoxTest, AnEntryWiderThan65535PixelsGetsItsWholeWidthAsTheExtent) {
  // A path of a few thousand characters. Cut to 16 bits its width would wrap to a
  // few pixels, narrower than an ordinary path, and the extent would stay there:
  // the end of the long entry could not be scrolled into view.
  const int perLetter = Measure("WW") - Measure("W");
  std::string huge = "C:\\" + std::string(static_cast<std::size_t>(65536 / perLetter), 'W');
  while (Measure(huge) % 65536 >= Measure(kLongPath)) huge += 'W';
  ASSERT_GT(Measure(huge), 65535);

  List->AddString(kLongPath);
  List->AddString(huge);
  EXPECT_EQ(List->ItemWidth(huge), Measure(huge));
  EXPECT_EQ(List->MaxWidth(), Measure(huge));
  EXPECT_EQ(Extent(), Measure(huge));
  EXPECT_EQ(List->Text(1), huge);
}

TEST_F(HListBoxTest, RowsLandSortedAndDuplicatesStay) {
  for (const char* path : {R"(C:\c.txt)", R"(C:\a.txt)", R"(C:\b.txt)", R"(C:\a.txt)"}) List->AddString(path);
  ASSERT_EQ(List->Count(), 4);
  EXPECT_EQ(List->Text(0), R"(C:\a.txt)");
  EXPECT_EQ(List->Text(1), R"(C:\a.txt)");
  EXPECT_EQ(List->Text(2), R"(C:\b.txt)");
  EXPECT_EQ(List->Text(3), R"(C:\c.txt)");
}

}  // namespace
