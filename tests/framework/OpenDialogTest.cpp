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

std::string Buffer(std::initializer_list<std::string_view> parts) {
  std::string buffer;
  for (const std::string_view part : parts) (buffer += part) += '\0';
  return buffer + '\0' + std::string(16, '\0');
}

TEST(ChosenFilesTest, OneFileIsItsFullPath) {
  EXPECT_EQ(ChosenFiles(Buffer({"C:\\dir\\a.txt"}), 7), (Files{"C:\\dir\\a.txt"}));
}

TEST(ChosenFilesTest, AShortNameOverTheRestOfALongerInitialNameIsStillOneFile) {
  std::string buffer = "C:\\b.txt";
  buffer += '\0';
  buffer += "ger\\initial.txt";
  buffer += std::string(4, '\0');
  EXPECT_EQ(ChosenFiles(buffer, 3), (Files{"C:\\b.txt"}));
}

TEST(ChosenFilesTest, SeveralFilesAreTheFolderJoinedToEachNameInOrder) {
  EXPECT_EQ(ChosenFiles(Buffer({"C:\\dir", "b.txt", "a.txt", "c d.txt"}), 7),
            (Files{"C:\\dir\\b.txt", "C:\\dir\\a.txt", "C:\\dir\\c d.txt"}));
}

TEST(ChosenFilesTest, ARootFolderGetsNoSecondBackslash) {
  EXPECT_EQ(ChosenFiles(Buffer({"C:\\", "a.txt", "b.txt"}), 4), (Files{"C:\\a.txt", "C:\\b.txt"}));
}

TEST(ChosenFilesTest, AnEmptyBufferIsNoSelection) { EXPECT_EQ(ChosenFiles(std::string(8, '\0'), 0), Files{}); }

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
  std::string Answer;
  WORD AnswerOffset = 0;
  BOOL Result = TRUE;
  OPENFILENAMEA Seen{};
  std::string SeenFileName, SeenInitialDir, SeenTitle;

 protected:
  BOOL RunDialog(OPENFILENAMEA& request) override {
    Seen = request;
    SeenFileName = request.lpstrFile;
    SeenInitialDir = request.lpstrInitialDir != nullptr ? request.lpstrInitialDir : "(none)";
    SeenTitle = request.lpstrTitle != nullptr ? request.lpstrTitle : "(none)";
    Answer.copy(request.lpstrFile, Answer.size());
    request.nFileOffset = AnswerOffset;
    return Result;
  }
};

TEST(OpenDialogTest, ItAsksForSeveralResizableExplorerFilesAndKeepsTheFirstForNextTime) {
  TScriptedDialog dialog(nullptr);
  dialog.SetTitle("Select the File(s) to Shred");
  dialog.SetInitialDir("C:\\data\\");
  dialog.Answer = Buffer({"C:\\data", "x.bin", "y.bin"});
  dialog.AnswerOffset = 8;
  ASSERT_TRUE(dialog.Execute());

  EXPECT_EQ(dialog.Seen.Flags, static_cast<DWORD>(OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_ENABLESIZING));
  EXPECT_EQ(dialog.Seen.nMaxFile, 65519u);
  EXPECT_EQ(dialog.Seen.lpstrFilter, nullptr);
  EXPECT_EQ(dialog.Seen.lpstrDefExt, nullptr);
  EXPECT_EQ(dialog.SeenTitle, "Select the File(s) to Shred");
  EXPECT_EQ(dialog.SeenInitialDir, "C:\\data");
  EXPECT_EQ(dialog.SeenFileName, "");
  EXPECT_EQ(dialog.Files(), (Files{"C:\\data\\x.bin", "C:\\data\\y.bin"}));
  EXPECT_EQ(dialog.FileName(), "C:\\data\\x.bin");

  dialog.Answer = Buffer({"C:\\data\\z.bin"});
  dialog.AnswerOffset = 8;
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.SeenFileName, "C:\\data\\x.bin") << "the first chosen file is the next initial name";
  EXPECT_EQ(dialog.Files(), (Files{"C:\\data\\z.bin"}));
}

TEST(OpenDialogTest, ACancelOrASelectionTooLongForTheBufferLeavesNoFiles) {
  TScriptedDialog dialog(nullptr);
  dialog.Answer = Buffer({"C:\\a.txt"});
  dialog.AnswerOffset = 3;
  ASSERT_TRUE(dialog.Execute());

  // Too small: the system fails and leaves the needed size in the buffer's first bytes.
  dialog.Answer = std::string("\x10\x27", 2);
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
