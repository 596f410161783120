// The open dialog: reading its result buffer, the starting folder rule, what it asks
// the system for, and one real run of the system's dialog.
#include "framework/OpenDialog.h"

#include "../support/TempFolder.h"
#include "tests/support/WindowProbe.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Files = std::vector<std::string>;
using WideFiles = std::vector<std::wstring>;

std::wstring Buffer(std::initializer_list<std::wstring_view> parts) {
  std::wstring buffer;
  for (const std::wstring_view part : parts) (buffer += part) += L'\0';
  return buffer + L'\0' + std::wstring(16, L'\0');
}

TEST(ChosenFilesTest, OneFileIsItsFullPath) {
  EXPECT_EQ(ChosenFiles(Buffer({L"C:\\dir\\a.txt"}), 7), (WideFiles{L"C:\\dir\\a.txt"}));
}

TEST(ChosenFilesTest, AShortNameOverTheRestOfALongerInitialNameIsStillOneFile) {
  std::wstring buffer = L"C:\\b.txt";
  buffer += L'\0';
  buffer += L"ger\\initial.txt";
  buffer += std::wstring(4, L'\0');
  EXPECT_EQ(ChosenFiles(buffer, 3), (WideFiles{L"C:\\b.txt"}));
}

TEST(ChosenFilesTest, SeveralFilesAreTheFolderJoinedToEachNameInOrder) {
  EXPECT_EQ(ChosenFiles(Buffer({L"C:\\dir", L"b.txt", L"a.txt", L"c d.txt"}), 7),
            (WideFiles{L"C:\\dir\\b.txt", L"C:\\dir\\a.txt", L"C:\\dir\\c d.txt"}));
}

TEST(ChosenFilesTest, ARootFolderGetsNoSecondBackslash) {
  EXPECT_EQ(ChosenFiles(Buffer({L"C:\\", L"a.txt", L"b.txt"}), 4), (WideFiles{L"C:\\a.txt", L"C:\\b.txt"}));
}

TEST(ChosenFilesTest, AnEmptyBufferIsNoSelection) { EXPECT_EQ(ChosenFiles(std::wstring(8, L'\0'), 0), WideFiles{}); }

TEST(DialogInitialDirTest, OneTrailingBackslashGoesUnlessItFollowsAColon) {
  EXPECT_EQ(DialogInitialDir("C:\\Users\\me\\"), "C:\\Users\\me");
  EXPECT_EQ(DialogInitialDir("C:\\Users\\me\\\\"), "C:\\Users\\me\\");
  EXPECT_EQ(DialogInitialDir("C:\\"), "C:\\");
  EXPECT_EQ(DialogInitialDir("C:\\Users"), "C:\\Users");
  EXPECT_EQ(DialogInitialDir("\\"), "\\");
  EXPECT_EQ(DialogInitialDir(""), "");
}

// Plays the system's part: records the request, answers with a prepared result.
class TScriptedDialog : public TOpenDialog {
 public:
  using TOpenDialog::TOpenDialog;
  std::wstring Answer;
  WORD AnswerOffset = 0;
  BOOL Result = TRUE;
  OPENFILENAMEW Seen{};
  std::wstring SeenFileName, SeenInitialDir, SeenTitle;

 protected:
  BOOL RunDialog(OPENFILENAMEW& request) override {
    Seen = request;
    SeenFileName = request.lpstrFile;
    SeenInitialDir = request.lpstrInitialDir != nullptr ? request.lpstrInitialDir : L"(none)";
    SeenTitle = request.lpstrTitle != nullptr ? request.lpstrTitle : L"(none)";
    Answer.copy(request.lpstrFile, Answer.size());
    request.nFileOffset = AnswerOffset;
    return Result;
  }
};

TEST(OpenDialogTest, ItAsksForSeveralResizableExplorerFilesAndKeepsTheFirstForNextTime) {
  TScriptedDialog dialog(nullptr);
  dialog.SetTitle("Select the File(s) to Shred");
  dialog.SetInitialDir("C:\\data\\");
  dialog.Answer = Buffer({L"C:\\data", L"x.bin", L"y.bin"});
  dialog.AnswerOffset = 8;
  ASSERT_TRUE(dialog.Execute());

  EXPECT_EQ(dialog.Seen.Flags, static_cast<DWORD>(OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_ENABLESIZING));
  EXPECT_EQ(dialog.Seen.nMaxFile, 65519u);
  EXPECT_EQ(dialog.Seen.lpstrFilter, nullptr);
  EXPECT_EQ(dialog.Seen.lpstrDefExt, nullptr);
  EXPECT_EQ(dialog.SeenTitle, L"Select the File(s) to Shred");
  EXPECT_EQ(dialog.SeenInitialDir, L"C:\\data");
  EXPECT_EQ(dialog.SeenFileName, L"");
  EXPECT_EQ(dialog.Files(), (Files{"C:\\data\\x.bin", "C:\\data\\y.bin"}));
  EXPECT_EQ(dialog.FileName(), "C:\\data\\x.bin");

  dialog.Answer = Buffer({L"C:\\data\\z.bin"});
  dialog.AnswerOffset = 8;
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.SeenFileName, L"C:\\data\\x.bin") << "the first chosen file is the next initial name";
  EXPECT_EQ(dialog.Files(), (Files{"C:\\data\\z.bin"}));
}

TEST(OpenDialogTest, ACancelOrASelectionTooLongForTheBufferLeavesNoFiles) {
  TScriptedDialog dialog(nullptr);
  dialog.Answer = Buffer({L"C:\\a.txt"});
  dialog.AnswerOffset = 3;
  ASSERT_TRUE(dialog.Execute());

  // Too small: the system fails and leaves the needed size in the buffer's first bytes.
  dialog.Answer = std::wstring(L"\x2710", 1);
  dialog.Result = FALSE;
  EXPECT_FALSE(dialog.Execute());
  EXPECT_TRUE(dialog.Files().empty());
  EXPECT_EQ(dialog.FileName(), "C:\\a.txt") << "only a confirmed choice replaces it";
}

TEST(OpenDialogTest, TheSystemDialogReturnsTheTypedFilesAsFullPathsAndCancelReturnsNone) {
  const TTempFolder folder;
  TOpenDialog dialog(nullptr);
  dialog.SetTitle("Pick files for the test");
  dialog.SetInitialDir(folder.Path());
  TScriptThread user([] {
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = FindDialogOfThisProcess("Pick files for the test")) != nullptr; })) return;
    // The file name box is an edit inside a combo box inside the extended combo box.
    HWND name = ::GetDlgItem(box, 0x47c);
    while (::GetWindow(name, GW_CHILD) != nullptr) name = ::GetWindow(name, GW_CHILD);
    ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("\"one.txt\" \"two.txt\""));
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  ASSERT_TRUE(dialog.Execute());
  user.Join();
  const std::string base = folder.Path().substr(0, folder.Path().size() - 1);
  EXPECT_EQ(dialog.Files(), (Files{base + "\\one.txt", base + "\\two.txt"}));
  EXPECT_EQ(dialog.FileName(), base + "\\one.txt");

  TScriptThread cancel([] {
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = FindDialogOfThisProcess("Pick files for the test")) != nullptr; })) return;
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  EXPECT_FALSE(dialog.Execute());
  cancel.Join();
  EXPECT_TRUE(dialog.Files().empty());
}

}  // namespace
