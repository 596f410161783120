// The list box as the engine and the main window use it: index errors, in-place
// replacement, deletion, selection and the font colour.
#include "framework/ListBox.h"

#include "base/Handles.h"
#include "framework/Errors.h"
#include "framework/Form.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class TListForm : public TForm {
 public:
  explicit TListForm(TComponent* owner);
  TListBox* ListBox1 = nullptr;
};

constexpr TControlSpec kControls[] = {
    {.Field = Field<&TListForm::ListBox1>, .Name = "ListBox1", .Bounds = {8, 8, 200, 150}, .TabOrder = 0,
     .MultiSelect = true, .Sorted = true},
};
constexpr TFormSpec kLayout{.Caption = "List", .ClientWidth = 216, .ClientHeight = 166, .Controls = kControls};

TListForm::TListForm(TComponent* owner) : TForm(owner) { LoadLayout(kLayout); }

class ListBoxTest : public testing::Test {
 protected:
  void SetUp() override {
    Form = std::make_unique<TListForm>(nullptr);
    Form->Show();
    List = Form->ListBox1;
    for (const char* path : {"C:\\c.txt", "C:\\a.txt", "C:\\b.txt"}) List->Add(path);
  }
  std::vector<std::string> Rows() const {
    std::vector<std::string> rows;
    for (int i = 0; i < List->Count(); ++i) rows.push_back(List->Text(i));
    return rows;
  }
  std::vector<bool> Selection() const {
    std::vector<bool> selected;
    for (int i = 0; i < List->Count(); ++i) selected.push_back(List->Selected(i));
    return selected;
  }
  std::unique_ptr<TListForm> Form;
  TListBox* List = nullptr;
};

TEST_F(ListBoxTest, AddedRowsGoToTheirSortedPlace) {
  EXPECT_EQ(Rows(), (std::vector<std::string>{"C:\\a.txt", "C:\\b.txt", "C:\\c.txt"}));
  List->Add("C:\\a.txt");
  EXPECT_EQ(List->Count(), 4) << "no duplicate test";
  List->Add("");
  EXPECT_EQ(List->Text(0), "");
}

// The program's manifest asks for the common controls 6, whose list box is a wide
// window: an 8-bit message to it goes through Wine's conversion, which holds a row
// in a fixed buffer of 512 characters on the stack. Test programs have no manifest,
// so the list is made here under an activation context that asks for them.
struct ActCtxTraits : InvalidHandleValueIsInvalid {
  static void Close(HANDLE context) noexcept { ::ReleaseActCtx(context); }
};
using UniqueActCtx = UniqueHandle<ActCtxTraits>;

UniqueActCtx CommonControls6(const TTempFolder& folder) {
  const std::string manifest = folder / "controls.manifest";
  WriteFileBytes(manifest,
                 "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                 "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"><dependency>"
                 "<dependentAssembly><assemblyIdentity type=\"win32\" name=\"Microsoft.Windows.Common-Controls\" "
                 "version=\"6.0.0.0\" processorArchitecture=\"*\" publicKeyToken=\"6595b64144ccf1df\" "
                 "language=\"*\"/></dependentAssembly></dependency></assembly>");
  ACTCTXA request{};
  request.cbSize = sizeof request;
  request.lpSource = manifest.c_str();
  return UniqueActCtx(::CreateActCtxA(&request));
}

TEST_F(ListBoxTest, ARowOfAnyLengthComesBackWholeAndUnchanged) {
  TTempFolder folder;
  const UniqueActCtx context = CommonControls6(folder);
  ASSERT_TRUE(context) << ::GetLastError();
  ULONG_PTR cookie = 0;
  ASSERT_TRUE(::ActivateActCtx(context.get(), &cookie));
  Form = std::make_unique<TListForm>(nullptr);
  Form->Show();
  ::DeactivateActCtx(0, cookie);
  List = Form->ListBox1;
  ASSERT_TRUE(::IsWindowUnicode(List->Handle())) << "not the common controls' list box";
  // Far past those 512 characters, with a letter past ASCII.
  const std::string row = "C:\\" + std::string(2000, 'x') + "\\caf\xE9.txt";
  List->Add(row);
  List->Replace(0, "SHREDDED! ... " + row);
  EXPECT_EQ(List->Text(0), "SHREDDED! ... " + row);
}

TEST_F(ListBoxTest, ABadIndexRaisesAListErrorWithTheIndex) {
  const auto message = [](auto&& operation) {
    try {
      operation();
    } catch (const EListError& error) {
      return error.Message();
    }
    return std::string("no error");
  };
  EXPECT_EQ(message([&] { List->Text(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(message([&] { List->Text(3); }), "List index out of bounds (3)");
  EXPECT_EQ(message([&] { List->Selected(7); }), "List index out of bounds (7)");
  EXPECT_EQ(message([&] { List->SetSelected(3, true); }), "List index out of bounds (3)");
  EXPECT_EQ(message([&] { List->Replace(3, "x"); }), "List index out of bounds (3)");
  EXPECT_EQ(message([&] { List->Delete(-2); }), "List index out of bounds (-2)");
  EXPECT_EQ(List->Count(), 3);
}

TEST_F(ListBoxTest, ReplaceKeepsTheIndexDoesNotResortAndComesBackUnselected) {
  for (int i = 0; i < 3; ++i) List->SetSelected(i, true);
  List->Replace(1, "SHREDDED! ... C:\\b.txt");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"C:\\a.txt", "SHREDDED! ... C:\\b.txt", "C:\\c.txt"}));
  EXPECT_EQ(Selection(), (std::vector<bool>{true, false, true}));

  List->Replace(0, "zzz");
  List->Replace(2, "aaa");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"zzz", "SHREDDED! ... C:\\b.txt", "aaa"}));
  EXPECT_EQ(List->SelCount(), 0);
}

TEST_F(ListBoxTest, DeleteMovesTheLaterRowsUpWithTheirSelection) {
  List->SetSelected(0, true);
  List->SetSelected(2, true);
  EXPECT_EQ(List->SelCount(), 2);
  List->Delete(0);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"C:\\b.txt", "C:\\c.txt"}));
  EXPECT_EQ(Selection(), (std::vector<bool>{false, true}));
  List->SetSelected(1, false);
  EXPECT_EQ(List->SelCount(), 0);
}

TEST_F(ListBoxTest, TheFontColourIsWhatTheFormHandsTheListToDrawWith) {
  List->SetFontColor(clRed);
  const WindowDc dc(List->WindowHandle());
  const auto brush = reinterpret_cast<HBRUSH>(::SendMessageA(
      Form->WindowHandle(), WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc.get()),
      reinterpret_cast<LPARAM>(List->WindowHandle())));
  EXPECT_EQ(::GetTextColor(dc.get()), RGB(255, 0, 0));
  LOGBRUSH seen{};
  ASSERT_NE(::GetObjectA(brush, sizeof seen, &seen), 0);
  EXPECT_EQ(seen.lbColor, ::GetSysColor(COLOR_WINDOW));
  List->Repaint();
}

}  // namespace
