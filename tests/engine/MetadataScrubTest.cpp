// What the run does between the overwrite and the deletion, against the in-memory
// file system: every failure of the scrub's steps, which a real disk cannot be
// made to give on demand.
#include "engine/MetadataScrub.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/EngineRig.h"

namespace {

class MetadataScrubTest : public ::testing::Test {
 protected:
  TEngineRig rig;

  // Runs the engine over one file of the user's; true when its entry was marked.
  bool Shred(const std::string& path) { return rig.Run({path})[0] == "SHREDDED! ... " + path; }

  // The log from the last time that line was written.
  std::vector<std::string> LogFromLast(const std::string& first) const {
    const auto start = std::find(rig.fs.log.rbegin(), rig.fs.log.rend(), first);
    return {start.base() - 1, rig.fs.log.end()};
  }
};

bool IsNeutralName(const std::string& path, const std::string& folder, std::size_t length = kNeutralNameLength) {
  if (path.size() != folder.size() + length || path.compare(0, folder.size(), folder) != 0) return false;
  return std::all_of(path.begin() + static_cast<std::ptrdiff_t>(folder.size()), path.end(),
                     [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

TEST_F(MetadataScrubTest, AShreddedFileIsCutRetimedRenamedInItsFolderAndDeletedUnderItsLastName) {
  rig.fs.AddFile("C:\\Deals\\Quarterly-Merger-Plan.docx", 54000);
  rig.fs.AddFile("C:\\Deals\\keep.txt", 10);
  ASSERT_TRUE(Shred("C:\\Deals\\Quarterly-Merger-Plan.docx"));

  // Short, as long as the original (it lands where FAT and exFAT kept the long
  // name), short again; all neutral, all in the file's folder.
  ASSERT_EQ(rig.fs.renamedTo.size(), 3u);
  const std::string original = "C:\\Deals\\Quarterly-Merger-Plan.docx";
  EXPECT_TRUE(IsNeutralName(rig.fs.renamedTo[0], "C:\\Deals\\", kNeutralNameLength)) << rig.fs.renamedTo[0];
  EXPECT_TRUE(IsNeutralName(rig.fs.renamedTo[1], "C:\\Deals\\", 26)) << rig.fs.renamedTo[1];
  EXPECT_TRUE(IsNeutralName(rig.fs.renamedTo[2], "C:\\Deals\\", kNeutralNameLength)) << rig.fs.renamedTo[2];
  EXPECT_NE(rig.fs.renamedTo[0], rig.fs.renamedTo[2]);
  // The overwrite is flushed and closed first; the scrub opens the file again.
  EXPECT_EQ(LogFromLast("open-rw " + original),
            (std::vector<std::string>{
                "open-rw " + original, "truncate " + original, "settimes " + original,
                "flush " + original, "close " + original, "rename " + original + " " + rig.fs.renamedTo[0],
                "rename " + rig.fs.renamedTo[0] + " " + rig.fs.renamedTo[1], "rename " + rig.fs.renamedTo[1] + " " + rig.fs.renamedTo[2],
                "delete " + rig.fs.renamedTo[2]}));
  EXPECT_EQ(std::count(rig.fs.log.begin(), rig.fs.log.end(), "flush " + original), 2);
  // Nothing of it under any name; the file beside it untouched.
  EXPECT_EQ(rig.fs.nodes.size(), 1u);
  EXPECT_EQ(rig.fs.nodes.count("C:\\Deals\\keep.txt"), 1u);
  EXPECT_EQ(rig.fs.nodes["C:\\Deals\\keep.txt"].data.size(), 10u);
}

// A rename that fails leaves the file where it is: it goes under the name it has,
// since its contents are gone already.
TEST_F(MetadataScrubTest, AFailedRenameStillDeletesTheFileUnderTheNameItHas) {
  for (const int renames : {0, 1, 2}) {
    SCOPED_TRACE(renames);
    TEngineRig local;
    local.fs.AddFile("C:\\a.txt", 100);
    local.fs.renamesBeforeFailure = renames;
    EXPECT_EQ(local.Run({"C:\\a.txt"})[0], "SHREDDED! ... C:\\a.txt");
    EXPECT_TRUE(local.fs.nodes.empty());
    const std::string last = renames == 0 ? "C:\\a.txt" : local.fs.renamedTo.back();
    EXPECT_EQ(local.fs.log.back(), "delete " + last);
  }
}

TEST_F(MetadataScrubTest, LengthAndTimesThatCannotBeChangedDoNotKeepTheFile) {
  rig.fs.AddFile("C:\\a.txt", 100);
  rig.fs.failTruncate = true;
  rig.fs.failSetTimes = true;
  EXPECT_TRUE(Shred("C:\\a.txt"));
  EXPECT_TRUE(rig.fs.nodes.empty());
}

// A file that stays after its deletion gets its path back, so the entry names it
// for a later run; it stays unmarked, with no length and the neutral times.
TEST_F(MetadataScrubTest, AFileThatStaysIsRenamedBackAndLeftUnmarked) {
  rig.fs.AddFile("C:\\d\\a.txt", 100);
  rig.fs.nodes["C:\\d\\a.txt"].undeletable = true;
  EXPECT_FALSE(Shred("C:\\d\\a.txt"));
  ASSERT_EQ(rig.fs.nodes.size(), 1u);
  ASSERT_EQ(rig.fs.nodes.count("C:\\d\\a.txt"), 1u);
  EXPECT_TRUE(rig.fs.nodes["C:\\d\\a.txt"].data.empty());
  EXPECT_EQ(rig.fs.nodes["C:\\d\\a.txt"].times, kScrubFileTime);
  EXPECT_EQ(rig.fs.log.back(), "rename " + rig.fs.renamedTo[2] + " C:\\d\\a.txt");

  // When even that rename fails the entry still stays unmarked: the file is under
  // a name the list does not hold.
  TEngineRig local;
  local.fs.AddFile("C:\\d\\b.txt", 100);
  local.fs.nodes["C:\\d\\b.txt"].undeletable = true;
  local.fs.renamesBeforeFailure = TMetadataScrub::kRenames;
  EXPECT_EQ(local.Run({"C:\\d\\b.txt"})[0], "C:\\d\\b.txt");
  EXPECT_EQ(local.fs.nodes.count(local.fs.renamedTo.back()), 1u);
}

// The fill of a missing name holds only zeros and is gone once closed: it is
// neither reopened nor renamed.
TEST_F(MetadataScrubTest, AFillFileIsNotScrubbed) {
  rig.fs.freeSpace["D:\\"] = 100000;
  EXPECT_TRUE(Shred("D:\\wipe"));
  EXPECT_TRUE(rig.fs.renamedTo.empty());
  EXPECT_EQ(std::count(rig.fs.log.begin(), rig.fs.log.end(), "truncate D:\\wipe"), 0);
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
