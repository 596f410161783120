// A fill that one file cannot hold, against the in-memory file system: its files
// may stop growing at a size limit (FAT32), the drive may fill up, a new file may
// not be made, and the system may keep a file it should remove.
#include "engine/freespace/FreeSpaceFill.h"
#include "engine/freespace/FreeSpaceWipe.h"
#include "engine/freespace/RecordTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/freespace/WipeTexts.h"
#include "engine/run/ListRows.h"
#include "tests/support/EngineRig.h"

namespace {

TEST(FreeSpaceWipe, NinetyFivePercentRoundsHalfToEven) {
  EXPECT_EQ(NinetyFivePercent(1000000), 950000);
  EXPECT_EQ(NinetyFivePercent(10), 10);  // 9.5 goes to 10
  EXPECT_EQ(NinetyFivePercent(30), 28);  // 28.5 goes to 28
  EXPECT_EQ(NinetyFivePercent(1), 1);    // 0.95
  EXPECT_EQ(NinetyFivePercent(0), 0);
  EXPECT_EQ(NinetyFivePercent(-1), -1);
  EXPECT_EQ(NinetyFivePercent(2260491858LL), 2147467265LL);
  EXPECT_EQ(NinetyFivePercent(INT64_MAX), 8762203435012037017LL);  // no overflow
}

// A folder where another volume is mounted (or a junction to one): the fill and its
// records are sized and watched by that volume, not by the drive's root.
TEST(FreeSpaceWipe, AFillUnderAMountedFolderIsSizedByThatVolume) {
  TEngineRig rig;
  rig.fs.freeSpace["W:\\"] = 80000000;
  rig.fs.freeSpace["W:\\inner\\"] = 100000;
  rig.fs.AddFolder("W:\\inner");
  EXPECT_EQ(rig.Run({"W:\\inner\\wipe"})[0], "SHREDDED! ... W:\\inner\\wipe");
  EXPECT_EQ(rig.display.maxes.front(), 95000);
  for (const std::string& asked : rig.fs.Logged("free-space "))
    EXPECT_EQ(rig.fs.VolumeKey(asked.substr(11)), "W:\\inner\\") << asked;
  EXPECT_EQ(rig.fs.nodes.size(), 1u);
}

// Another window wipes that volume: its fill and its record folder are its own, not
// leftovers, and this wipe touches nothing.
TEST(FreeSpaceWipe, AVolumeAnotherWindowWipesIsLeftAlone) {
  TEngineRig rig;
  rig.fs.freeSpace["D:\\"] = 100000;
  rig.fs.AddFolder("D:\\" + std::string(kRecordFolderName));
  rig.fs.heldElsewhere.insert("D:\\");
  EXPECT_EQ(rig.Run({"D:\\wipe"})[0], LeftRow(kVolumeBusyReason, "D:\\wipe"));
  EXPECT_TRUE(rig.fs.Logged("create").empty() && rig.fs.Logged("rmdir").empty() && rig.fs.Logged("list").empty());
  EXPECT_EQ(rig.display.status, "Not wiped: another Quorvane window is wiping the free space of the drive of "
                                "D:\\wipe; list it again once that is done");
}

TEST(FreeSpaceFillTest, AFillThatOneFileCannotHoldGoesOnInNewFilesAndAllGoTogether) {
  for (const bool systemKeepsThem : {false, true}) {
    SCOPED_TRACE(systemKeepsThem ? "the system keeps closed fill files" : "the system removes them");
    TEngineRig rig;
    rig.fs.freeSpace["D:\\"] = 100000;  // shred size 95,000
    rig.fs.maxFillFileSize = 40000;     // two blocks of 16,384 per file
    rig.fs.deleteOnCloseHonoured = !systemKeepsThem;
    rig.fs.AddFile("D:\\keep.txt", 10);
    EXPECT_EQ(rig.Run({"D:\\wipe"})[0], "SHREDDED! ... D:\\wipe");

    const auto created = rig.fs.Logged("create");
    ASSERT_EQ(created.size(), 3u);  // 32,768 + 32,768 + 29,464
    EXPECT_EQ(created[0], "create D:\\wipe");
    for (std::size_t i = 1; i < created.size(); ++i) {
      EXPECT_EQ(created[i].rfind("create D:\\", 0), 0u) << created[i];
      EXPECT_EQ(created[i].size(), std::string("create D:\\").size() + kNeutralNameLength) << created[i];
    }
    // Every file flushed before any is closed: none gives its space back early.
    const auto lastFlush = std::find_if(rig.fs.log.rbegin(), rig.fs.log.rend(),
                                        [](const std::string& line) { return line.rfind("flush", 0) == 0; });
    const auto firstClose = std::find_if(rig.fs.log.begin(), rig.fs.log.end(),
                                         [](const std::string& line) { return line.rfind("close", 0) == 0; });
    EXPECT_EQ(rig.fs.Logged("flush").size(), 3u);
    EXPECT_LT(lastFlush.base(), firstClose + 1);
    // The bar ran over the whole fill as over one file.
    EXPECT_EQ(rig.display.maxes.front(), 95000);
    const auto bar = rig.display.PositionsBefore(kRecordFillText);  // the data's, before the records'
    EXPECT_EQ(bar[bar.size() - 2], 95000);
    EXPECT_TRUE(std::is_sorted(bar.begin() + 1, bar.end() - 1));
    // Nothing of the fill is left; the user's file is untouched.
    ASSERT_EQ(rig.fs.nodes.size(), 1u);
    EXPECT_EQ(rig.fs.nodes["D:\\keep.txt"].data.size(), 10u);
  }
}

// A fill that cannot reach its size fails as a single file does: every file it
// made is removed and the entry stays unmarked.
TEST(FreeSpaceFillTest, AFillThatCannotReachItsSizeRemovesEveryFile) {
  struct Case {
    const char* name;
    int fillsBeforeFailure;
    int failWriteAfter;
    std::int64_t size;
    std::size_t creations;  // files the fill tried to make
  };
  for (const Case c : {Case{"the second file cannot be made", 1, -1, 95000, 2},
                       // Three full files, and a fourth that takes the last 1,696 bytes.
                       Case{"the drive is full", -1, -1, 200000, 4},
                       Case{"a write on the second file fails", -1, 2, 95000, 2}}) {
    SCOPED_TRACE(c.name);
    TEngineRig rig;
    rig.fs.freeSpace["D:\\"] = 100000;
    rig.fs.maxFillFileSize = 40000;
    rig.fs.fillsBeforeFailure = c.fillsBeforeFailure;
    rig.fs.failWriteAfter = c.failWriteAfter;
    rig.fs.deleteOnCloseHonoured = false;  // so only the engine's own clean-up can remove them
    EXPECT_EQ(rig.engine.ShredFile("D:\\wipe", {TShredSize::kFill, c.size}), -1);
    EXPECT_EQ(rig.fs.Logged("create").size(), c.creations);
    EXPECT_TRUE(rig.fs.nodes.empty());
    EXPECT_EQ(rig.display.position, 0);
  }
}

}  // namespace
