// What the run does between the overwrite and the deletion, against the in-memory
// file system: every failure of the scrub's steps, which a real disk cannot be
// made to give on demand.
#include "engine/scrub/MetadataScrub.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/run/ListRows.h"
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

constexpr std::size_t kShort = TMetadataScrub::kShortNameLength;

bool IsNeutralName(const std::string& path, const std::string& folder, std::size_t length = kShort) {
  if (path.size() != folder.size() + length || path.compare(0, folder.size(), folder) != 0) return false;
  return std::all_of(path.begin() + static_cast<std::ptrdiff_t>(folder.size()), path.end(),
                     [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

// A short name: a '~', which sorts behind the folder's names, and neutral characters.
bool IsShortName(const std::string& path, const std::string& folder) {
  return path.size() == folder.size() + kShort && path[folder.size()] == '~' &&
         IsNeutralName(folder + path.substr(folder.size() + 1), folder, kShort - 1);
}

TEST_F(MetadataScrubTest, AShreddedFileIsCutRetimedRenamedInItsFolderAndDeletedUnderItsLastName) {
  rig.fs.AddFile("C:\\Deals\\Quarterly-Merger-Plan.docx", 54000);
  rig.fs.AddFile("C:\\Deals\\keep.txt", 10);
  ASSERT_TRUE(Shred("C:\\Deals\\Quarterly-Merger-Plan.docx"));

  // Short, as long as the original (it lands where FAT and exFAT kept the long
  // name, and sorts after it, the last name of the folder), short again; all
  // neutral, all in the file's folder. The two short names are drawn apart and may
  // be the same: the first is free again by the time of the last.
  ASSERT_EQ(rig.fs.renamedTo.size(), 3u);
  const std::string original = "C:\\Deals\\Quarterly-Merger-Plan.docx";
  EXPECT_TRUE(IsShortName(rig.fs.renamedTo[0], "C:\\Deals\\")) << rig.fs.renamedTo[0];
  EXPECT_TRUE(IsNeutralName(rig.fs.renamedTo[1], "C:\\Deals\\", 26)) << rig.fs.renamedTo[1];
  EXPECT_GT(rig.fs.renamedTo[1], "C:\\Deals\\Q");
  EXPECT_TRUE(IsShortName(rig.fs.renamedTo[2], "C:\\Deals\\")) << rig.fs.renamedTo[2];
  // The overwrite is flushed and closed first; the scrub opens the file again, and
  // reads the folder's names before it renames.
  EXPECT_EQ(LogFromLast("open-rw " + original),
            (std::vector<std::string>{
                "open-rw " + original, "truncate " + original, "settimes " + original,
                "flush " + original, "close " + original, "list C:\\Deals\\",
                "rename " + original + " " + rig.fs.renamedTo[0],
                "rename " + rig.fs.renamedTo[0] + " " + rig.fs.renamedTo[1], "rename " + rig.fs.renamedTo[1] + " " + rig.fs.renamedTo[2],
                "delete " + rig.fs.renamedTo[2]}));
  EXPECT_EQ(std::count(rig.fs.log.begin(), rig.fs.log.end(), "flush " + original), 2);
  // Nothing of it under any name; the file beside it untouched.
  EXPECT_EQ(rig.fs.nodes.size(), 1u);
  EXPECT_EQ(rig.fs.nodes.count("C:\\Deals\\keep.txt"), 1u);
  EXPECT_EQ(rig.fs.nodes["C:\\Deals\\keep.txt"].data.size(), 10u);
}

// The long name goes into the gap behind the file's own in its folder's sorted
// order, showing no more of the name than the names beside it do; the short names
// tell nothing of it.
TEST_F(MetadataScrubTest, TheLongNameSortsRightBehindTheFileAndShowsOnlyWhatItsNeighboursShow) {
  struct Case {
    std::vector<std::string> others;
    std::string own;
    std::string prefix;  // of the long name, after the folder
    std::string above;   // the long name's character after the prefix sorts above this
    std::string below;   // and below this
  };
  for (const Case& c : {
           // The next name parts from it at once: nothing of it is carried.
           Case{{"Board.txt", "Tax.pdf"}, "Quarterly-Merger-Plan.docx", "", "Q", "T"},
           // Nothing between "1" and "2": "report-1." is on view in the name before.
           Case{{"report-1.doc", "report-2.pdf", "zeta"}, "report-1.pdf", "report-1", ".", "~~"},
           // Less on view before: below the next name's "." instead.
           Case{{"notes", "report-2.pdf"}, "report-1.pdf", "report-2", "", "."},
       }) {
    SCOPED_TRACE(c.own);
    TEngineRig local;
    for (const auto& other : c.others) local.fs.AddFile("C:\\d\\" + other, 1);
    local.fs.AddFile("C:\\d\\" + c.own, 100);
    EXPECT_EQ(local.Run({"C:\\d\\" + c.own})[0], "SHREDDED! ... C:\\d\\" + c.own);
    ASSERT_EQ(local.fs.renamedTo.size(), 3u);
    const std::string name = local.fs.renamedTo[1].substr(5);
    EXPECT_EQ(name.size(), c.own.size()) << name;
    EXPECT_EQ(name.substr(0, c.prefix.size()), c.prefix) << name;
    const std::string next(1, name[c.prefix.size()]);
    EXPECT_GT(local.fs.CompareNames(next, c.above), 0) << name;
    EXPECT_LT(local.fs.CompareNames(next, c.below), 0) << name;
    EXPECT_TRUE(IsShortName(local.fs.renamedTo[0], "C:\\d\\")) << local.fs.renamedTo[0];
    EXPECT_TRUE(IsShortName(local.fs.renamedTo[2], "C:\\d\\")) << local.fs.renamedTo[2];
    EXPECT_EQ(local.fs.nodes.size(), c.others.size());
  }
}

// Where no name between carries little enough, and where the folder cannot be read,
// the long name is a neutral one of the same length, as it lands anywhere.
TEST_F(MetadataScrubTest, WithoutAGapTheLongNameIsNeutral) {
  for (const char* name : {"C:\\d\\a0", "C:\\d\\a1", "C:\\d\\a2", "C:\\x\\Quarterly-Merger-Plan.docx"})
    rig.fs.AddFile(name, 1);
  rig.fs.unreadableFolders.insert("C:\\x\\");
  EXPECT_EQ(rig.Run({"C:\\d\\a1", "C:\\x\\Quarterly-Merger-Plan.docx"}),
            (std::vector<std::string>{"SHREDDED! ... C:\\d\\a1", "SHREDDED! ... C:\\x\\Quarterly-Merger-Plan.docx"}));
  ASSERT_EQ(rig.fs.renamedTo.size(), 6u);
  EXPECT_TRUE(IsNeutralName(rig.fs.renamedTo[1], "C:\\d\\", 2)) << rig.fs.renamedTo[1];
  EXPECT_TRUE(IsNeutralName(rig.fs.renamedTo[4], "C:\\x\\", 26)) << rig.fs.renamedTo[4];
  // Unread, the folder might hold any short name: the short ones are of 8 there.
  EXPECT_TRUE(IsNeutralName(rig.fs.renamedTo[3], "C:\\x\\", kNeutralNameLength)) << rig.fs.renamedTo[3];
  EXPECT_TRUE(IsNeutralName(rig.fs.renamedTo[5], "C:\\x\\", kNeutralNameLength)) << rig.fs.renamedTo[5];
}

// Short names are few: one the folder holds is not tried, so the rename does not fail
// on it and leave the file under its own name.
TEST_F(MetadataScrubTest, AShortNameTheFolderHoldsIsPassedOver) {
  constexpr std::uint64_t kSeed = 5;
  std::string taken = TNeutralNames(kSeed).NewName("C:\\d\\", kShort - 1);  // the first the run draws
  taken.insert(5, 1, '~');
  rig.fs.AddFile(taken, 1);
  rig.fs.AddFile("C:\\d\\plan.docx", 100);
  TShredEngine seeded{rig.fs, rig.display, kSeed, rig.stop};
  rig.list = TVectorFileList({"C:\\d\\plan.docx"});
  seeded.Run(rig.list);
  EXPECT_EQ(rig.list.items[0], "SHREDDED! ... C:\\d\\plan.docx");
  ASSERT_EQ(rig.fs.renamedTo.size(), 3u);
  EXPECT_TRUE(IsShortName(rig.fs.renamedTo[0], "C:\\d\\")) << rig.fs.renamedTo[0];
  EXPECT_EQ(std::count(rig.fs.log.begin(), rig.fs.log.end(), "rename C:\\d\\plan.docx " + taken), 0);
  EXPECT_EQ(rig.fs.nodes.count(taken), 1u);
}

// A run reads each folder once to find neighbours, however many of its files it
// shreds, and sees its own renames and deletions: each file's long name sorts right
// behind it among the files still there. At the end the folder gets files with names
// of 255 characters in the gaps the deletions left, as many as the deleted entries
// outweigh, all made before any is removed; one more listing finds any that closing
// did not remove, and they go too. A run that deletes one file of a folder makes
// none. The next run reads the folder again.
TEST_F(MetadataScrubTest, ARunListsEachFolderOnceAndEveryLongNameSortsBehindItsFile) {
  rig.fs.deleteOnCloseHonoured = false;
  std::vector<std::string> paths;
  const auto kept = [](int i) { return "C:\\d\\file-" + std::to_string(101 + 3 * i) + ".txt"; };
  for (int i = 0; i < 20; ++i) {
    paths.push_back("C:\\d\\file-" + std::to_string(100 + 3 * i) + ".txt");
    rig.fs.AddFile(paths.back(), 10);
    rig.fs.AddFile(kept(i), 10);
  }
  const auto items = rig.Run(paths);
  EXPECT_EQ(rig.fs.listings, 2);
  ASSERT_EQ(rig.fs.renamedTo.size(), 3 * paths.size());
  for (std::size_t i = 0; i < paths.size(); ++i) {
    SCOPED_TRACE(paths[i]);
    EXPECT_EQ(items[i], "SHREDDED! ... " + paths[i]);
    const std::string& name = rig.fs.renamedTo[3 * i + 1];
    // Between its own name and the kept file behind it.
    EXPECT_LT(rig.fs.CompareNames(paths[i], name), 0) << name;
    EXPECT_LT(rig.fs.CompareNames(name, kept(static_cast<int>(i))), 0) << name;
  }
  // 20 entries of 112 bytes closed up: a cover of 592 bytes for every three, twice
  // what it takes, and one for the last two.
  const std::vector<std::string> covers = rig.fs.Logged("create");
  ASSERT_EQ(covers.size(), 7u);
  for (const std::string& line : covers) {
    const std::string cover = line.substr(std::string("create ").size());
    EXPECT_EQ(cover.size(), std::string("C:\\d\\").size() + 255) << cover;
    const auto behind = std::find_if(paths.begin(), paths.end(), [&](const std::string& path) {
      return rig.fs.CompareNames(path, cover) < 0 &&
             rig.fs.CompareNames(cover, kept(static_cast<int>(&path - paths.data()))) < 0;
    });
    EXPECT_NE(behind, paths.end()) << cover << " is in no gap a deleted file left";
  }
  const auto firstDelete = std::find(rig.fs.log.begin(), rig.fs.log.end(), "delete " + covers.front().substr(7));
  EXPECT_TRUE(std::find(rig.fs.log.begin(), rig.fs.log.end(), covers.back()) < firstDelete);
  EXPECT_EQ(rig.fs.nodes.size(), paths.size());

  rig.fs.AddFile("C:\\d\\again", 10);
  rig.Run({"C:\\d\\again"});
  EXPECT_EQ(rig.fs.listings, 3);
  EXPECT_EQ(rig.fs.Logged("create").size(), covers.size());
}

// A file that cannot be opened for sizing ends the run with an error; the folder that
// lost two files before it still gets its covers.
TEST_F(MetadataScrubTest, ARunEndedByAnErrorStillCoversItsFolders) {
  for (const char* name : {"C:\\d\\a.txt", "C:\\d\\b.txt", "C:\\d\\c.txt"}) rig.fs.AddFile(name, 10);
  rig.fs.lockedForReading.insert("C:\\d\\c.txt");
  EXPECT_THROW(rig.Run({"C:\\d\\a.txt", "C:\\d\\b.txt", "C:\\d\\c.txt"}), EFOpenError);
  EXPECT_EQ(rig.fs.Logged("create C:\\d\\").size(), 1u);
  EXPECT_EQ(rig.fs.nodes.size(), 1u);  // the cover went too
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
  // and the run goes on to the next entry.
  local.fs.AddFile("C:\\e\\next", 10);
  EXPECT_EQ(local.Run({"C:\\d\\b.txt", "C:\\e\\next"}),
            (std::vector<std::string>{LeftRow(kNotDeletedReason, "C:\\d\\b.txt"), "SHREDDED! ... C:\\e\\next"}));
  EXPECT_EQ(local.fs.nodes.count(local.fs.renamedTo.back()), 1u);
}

TEST(MetadataScrubNames, NamesStayInTheFolderAndTellNothingOfTheOriginal) {
  TNeutralNames maker;
  std::vector<std::string> names;
  for (int i = 0; i < 50; ++i) names.push_back(maker.NewName("C:\\a\\"));
  for (const auto& name : names) EXPECT_TRUE(IsNeutralName(name, "C:\\a\\", kNeutralNameLength)) << name;
  std::sort(names.begin(), names.end());
  EXPECT_EQ(std::unique(names.begin(), names.end()), names.end());
}

}  // namespace
