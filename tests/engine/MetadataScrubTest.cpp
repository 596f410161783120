// What the run does between the overwrite and the deletion, against the in-memory
// file system: every failure of the scrub's steps, which a real disk cannot be
// made to give on demand.
#include "engine/MetadataScrub.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/ShredEngine.h"
#include "tests/support/FakeFileSystem.h"
#include "tests/support/RecordingDisplay.h"
#include "tests/support/VectorFileList.h"

namespace {

class MetadataScrubTest : public ::testing::Test {
 protected:
  TFakeFileSystem fs;
  TRecordingDisplay display;
  TShredEngine engine{fs, display};

  // Runs the engine over one file of the user's; true when its entry was marked.
  bool Shred(const std::string& path) {
    TVectorFileList list({path});
    engine.Run(list);
    return list.items[0] == "SHREDDED! ... " + path;
  }

  // The log from the last time that line was written.
  std::vector<std::string> LogFromLast(const std::string& first) const {
    const auto start = std::find(fs.log.rbegin(), fs.log.rend(), first);
    return {start.base() - 1, fs.log.end()};
  }
};

bool IsNeutralName(const std::string& path, const std::string& folder, std::size_t length = kNeutralNameLength) {
  if (path.size() != folder.size() + length || path.compare(0, folder.size(), folder) != 0) return false;
  return std::all_of(path.begin() + static_cast<std::ptrdiff_t>(folder.size()), path.end(),
                     [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

TEST_F(MetadataScrubTest, AShreddedFileIsCutRetimedRenamedInItsFolderAndDeletedUnderItsLastName) {
  fs.AddFile("C:\\Deals\\Quarterly-Merger-Plan.docx", 54000);
  fs.AddFile("C:\\Deals\\keep.txt", 10);
  ASSERT_TRUE(Shred("C:\\Deals\\Quarterly-Merger-Plan.docx"));

  // Short, as long as the original (it lands where FAT and exFAT kept the long
  // name), short again; all neutral, all in the file's folder.
  ASSERT_EQ(fs.renamedTo.size(), 3u);
  const std::string original = "C:\\Deals\\Quarterly-Merger-Plan.docx";
  EXPECT_TRUE(IsNeutralName(fs.renamedTo[0], "C:\\Deals\\", kNeutralNameLength)) << fs.renamedTo[0];
  EXPECT_TRUE(IsNeutralName(fs.renamedTo[1], "C:\\Deals\\", 26)) << fs.renamedTo[1];
  EXPECT_TRUE(IsNeutralName(fs.renamedTo[2], "C:\\Deals\\", kNeutralNameLength)) << fs.renamedTo[2];
  EXPECT_NE(fs.renamedTo[0], fs.renamedTo[2]);
  // The overwrite is flushed and closed first; the scrub opens the file again.
  EXPECT_EQ(LogFromLast("open-rw " + original),
            (std::vector<std::string>{
                "open-rw " + original, "truncate " + original, "settimes " + original,
                "flush " + original, "close " + original, "rename " + original + " " + fs.renamedTo[0],
                "rename " + fs.renamedTo[0] + " " + fs.renamedTo[1], "rename " + fs.renamedTo[1] + " " + fs.renamedTo[2],
                "delete " + fs.renamedTo[2]}));
  EXPECT_EQ(std::count(fs.log.begin(), fs.log.end(), "flush " + original), 2);
  // Nothing of it under any name; the file beside it untouched.
  EXPECT_EQ(fs.nodes.size(), 1u);
  EXPECT_EQ(fs.nodes.count("C:\\Deals\\keep.txt"), 1u);
  EXPECT_EQ(fs.nodes["C:\\Deals\\keep.txt"].data.size(), 10u);
}

// A rename that fails leaves the file where it is: it goes under the name it has,
// since its contents are gone already.
TEST_F(MetadataScrubTest, AFailedRenameStillDeletesTheFileUnderTheNameItHas) {
  for (const int renames : {0, 1, 2}) {
    SCOPED_TRACE(renames);
    TFakeFileSystem local;
    TRecordingDisplay shown;
    TShredEngine run{local, shown};
    local.AddFile("C:\\a.txt", 100);
    local.renamesBeforeFailure = renames;
    TVectorFileList list({"C:\\a.txt"});
    run.Run(list);
    EXPECT_EQ(list.items[0], "SHREDDED! ... C:\\a.txt");
    EXPECT_TRUE(local.nodes.empty());
    const std::string last = renames == 0 ? "C:\\a.txt" : local.renamedTo.back();
    EXPECT_EQ(local.log.back(), "delete " + last);
  }
}

TEST_F(MetadataScrubTest, LengthAndTimesThatCannotBeChangedDoNotKeepTheFile) {
  fs.AddFile("C:\\a.txt", 100);
  fs.failTruncate = true;
  fs.failSetTimes = true;
  EXPECT_TRUE(Shred("C:\\a.txt"));
  EXPECT_TRUE(fs.nodes.empty());
}

// A file that stays after its deletion gets its path back, so the entry names it
// for a later run; it stays unmarked, with no length and the neutral times.
TEST_F(MetadataScrubTest, AFileThatStaysIsRenamedBackAndLeftUnmarked) {
  fs.AddFile("C:\\d\\a.txt", 100);
  fs.nodes["C:\\d\\a.txt"].undeletable = true;
  EXPECT_FALSE(Shred("C:\\d\\a.txt"));
  ASSERT_EQ(fs.nodes.size(), 1u);
  ASSERT_EQ(fs.nodes.count("C:\\d\\a.txt"), 1u);
  EXPECT_TRUE(fs.nodes["C:\\d\\a.txt"].data.empty());
  EXPECT_EQ(fs.nodes["C:\\d\\a.txt"].times, kScrubFileTime);
  EXPECT_EQ(fs.log.back(), "rename " + fs.renamedTo[2] + " C:\\d\\a.txt");

  // When even that rename fails the entry still stays unmarked: the file is under
  // a name the list does not hold.
  TFakeFileSystem local;
  TRecordingDisplay shown;
  TShredEngine run{local, shown};
  local.AddFile("C:\\d\\b.txt", 100);
  local.nodes["C:\\d\\b.txt"].undeletable = true;
  local.renamesBeforeFailure = TMetadataScrub::kRenames;
  TVectorFileList list({"C:\\d\\b.txt"});
  run.Run(list);
  EXPECT_EQ(list.items[0], "C:\\d\\b.txt");
  EXPECT_EQ(local.nodes.count(local.renamedTo.back()), 1u);
}

// The fill of a missing name holds only zeros and is gone once closed: it is
// neither reopened nor renamed.
TEST_F(MetadataScrubTest, AFillFileIsNotScrubbed) {
  fs.freeSpace["D:\\"] = 100000;
  EXPECT_TRUE(Shred("D:\\wipe"));
  EXPECT_TRUE(fs.renamedTo.empty());
  EXPECT_EQ(std::count(fs.log.begin(), fs.log.end(), "truncate D:\\wipe"), 0);
}

TEST(MetadataScrubNames, NamesStayInTheFolderAndTellNothingOfTheOriginal) {
  EXPECT_EQ(FolderOf("C:\\a\\b.txt"), "C:\\a\\");
  EXPECT_EQ(FolderOf("C:b.txt"), "C:");
  EXPECT_EQ(FolderOf("\\\\server\\share\\x"), "\\\\server\\share\\");
  EXPECT_EQ(FolderOf("b.txt"), "");
  TNeutralNames maker;
  std::vector<std::string> names;
  for (int i = 0; i < 50; ++i) names.push_back(maker.NewName("C:\\a\\"));
  for (const auto& name : names) EXPECT_TRUE(IsNeutralName(name, "C:\\a\\")) << name;
  std::sort(names.begin(), names.end());
  EXPECT_EQ(std::unique(names.begin(), names.end()), names.end());
}

}  // namespace
