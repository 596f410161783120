// The record fill that follows a free-space fill, against the in-memory file system:
// an MFT whose free records still hold deleted files' data, drives without one, and
// the failures, stops and kills a real drive cannot be made to give on demand.
#include "engine/freespace/RecordFill.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/freespace/RecordTree.h"
#include "engine/Overwrite.h"
#include "engine/freespace/WipeTexts.h"
#include "engine/run/ListRows.h"
#include "tests/support/EngineRig.h"

namespace {

const std::string kTop = "D:\\" + std::string(kRecordFolderName);

// A drive whose MFT has `free` records that deleted files left their data in.
void GiveMft(TFakeFileSystem& fs, std::size_t free, std::size_t residentLimit, bool nextFit) {
  fs.freeSpace["D:\\"] = 10000000;
  fs.hasMft = true;
  fs.mft.assign(free, TFakeFileSystem::Record{});
  fs.residentLimit = residentLimit;
  fs.nextFitRecords = nextFit;
}

int Count(const std::vector<std::string>& log, const std::string& start) {
  return static_cast<int>(
      std::count_if(log.begin(), log.end(), [&](const std::string& line) { return line.rfind(start, 0) == 0; }));
}

// Whatever the record size, and in either order of handing out records, every record
// that was free ends up overwritten by the longest data that stays resident, or by a
// folder's index: the search found the length, the search's shorter files were made
// as long, and its longer ones gave their records back to later files. The folders
// never outgrew their records, since the fill went on until the MFT had to grow.
// Handed out lowest first, the MFT grows once; after the last one given, as ntfs-3g
// does, it grows once before the free records below are reached, and twice more.
TEST(RecordFillTest, EveryFreeRecordIsOverwrittenByTheLongestResidentData) {
  struct Case {
    std::size_t residentLimit;  // 1 KiB and 4 KiB records
    bool nextFit;               // ntfs-3g's order of handing out records, or Windows'
  };
  for (const Case c : {Case{664, false}, Case{664, true}, Case{3720, false}, Case{3720, true}}) {
    SCOPED_TRACE(std::to_string(c.residentLimit) + (c.nextFit ? " next fit" : " lowest first"));
    TEngineRig rig;
    auto& fs = rig.fs;
    auto& display = rig.display;
    GiveMft(fs, 1400, c.residentLimit, c.nextFit);
    fs.lastRecordGiven = 700;
    EXPECT_EQ(rig.Run({"D:\\wipe"})[0], "SHREDDED! ... D:\\wipe");
    for (std::size_t i = 0; i < 1400; ++i)
      ASSERT_TRUE(fs.mft[i].held == static_cast<int>(c.residentLimit) ||
                  fs.mft[i].held == TFakeFileSystem::kFolderIndex)
          << "record " << i << " holds " << fs.mft[i].held;
    EXPECT_EQ(fs.mftGrown, (c.nextFit ? 3 : 1) * fs.mftGrowth);
    EXPECT_TRUE(fs.nodes.empty());
    EXPECT_EQ(fs.FreeSpace("D:\\"), 10000000 - fs.mftGrown);
    EXPECT_TRUE(std::none_of(fs.mft.begin(), fs.mft.end(), [](const auto& record) { return record.used; }));

    // It said what it did, the bar moved, and the status line is the fill's again.
    EXPECT_NE(std::find(display.statuses.begin(), display.statuses.end(), RecordFillText("D:\\", 1000)),
              display.statuses.end());
    EXPECT_EQ(display.status, StatusText("D:\\wipe", 9500000));
    EXPECT_EQ(display.position, 0);
    EXPECT_GT(std::count(display.positions.begin(), display.positions.end(), 500), 0);
  }
}

// FAT32, exFAT, ext4: the first byte takes a cluster, and that ends the fill at once.
// The fill holds only zeros and is gone once closed: the scrub never touches it.
TEST(RecordFillTest, ADriveThatKeepsNoDataInRecordsEndsTheFillAtOnce) {
  TEngineRig rig;
  auto& fs = rig.fs;
  fs.freeSpace["D:\\"] = 10000000;
  EXPECT_EQ(rig.Run({"D:\\wipe"})[0], "SHREDDED! ... D:\\wipe");
  EXPECT_EQ(Count(fs.log, "small "), 1);
  EXPECT_EQ(Count(fs.log, "mkdir "), 1 + TRecordTree::kLevels);
  EXPECT_TRUE(fs.nodes.empty());
  EXPECT_EQ(fs.FreeSpace("D:\\"), 10000000);
  EXPECT_EQ(Count(fs.log, "rename ") + Count(fs.log, "open-rw ") + Count(fs.log, "list "), 0);
}

class RecordFillEndTest : public ::testing::Test {
 protected:
  void SetUp() override { GiveMft(fs, 400, 664, false); }
  // The entry and whether anything the fill made is left.
  void RunAndExpectNothingLeft(const std::string& expectedEntry) {
    EXPECT_EQ(rig.Run({"D:\\wipe"})[0], expectedEntry);
    EXPECT_TRUE(fs.nodes.empty()) << fs.nodes.begin()->first;
    EXPECT_EQ(rig.display.position, 0);
  }
  TEngineRig rig;
  TFakeFileSystem& fs = rig.fs;
};

// A creation that fails, a folder that cannot be made: each ends the fill there,
// every file and folder it made goes, and the wipe does not count as done. (A stop:
// RunStopTest.)
TEST_F(RecordFillEndTest, AFailureMidwayLeavesNothingAndTheEntryUnmarked) {
  fs.smallFilesBeforeFailure = 150;
  RunAndExpectNothingLeft(LeftRow(kRecordsFailedReason, "D:\\wipe"));
  EXPECT_EQ(fs.smallFiles, 150);

  fs.smallFilesBeforeFailure = -1;
  fs.foldersBeforeFailure = 40;
  RunAndExpectNothingLeft(LeftRow(kRecordsFailedReason, "D:\\wipe"));

}

TEST_F(RecordFillEndTest, AFileTheSystemKeepsLeavesTheEntryUnmarked) {
  fs.onSmallFile = [&](int made) {
    if (made != 30) return;
    const std::string& line = fs.log.back();  // "small PATH LENGTH"
    fs.nodes.at(line.substr(6, line.rfind(' ') - 6)).undeletable = true;
  };
  EXPECT_EQ(rig.Run({"D:\\wipe"})[0], LeftRow(kRecordsFailedReason, "D:\\wipe"));
  EXPECT_FALSE(fs.NameExists("D:\\wipe"));
}

// An error that leaves the run (here from the display) still takes every small file
// with it, on the way out.
TEST_F(RecordFillEndTest, AnErrorThatEndsTheRunRemovesEverything) {
  struct TThrowingDisplay final : TNullDisplay {
    bool recordFill = false;
    int positions = 0;
    void SetStatusText(std::string_view text) override { recordFill = text.rfind(kRecordFillText, 0) == 0; }
    void SetProgressPosition(std::int32_t) override {
      if (recordFill && ++positions == 300) throw std::runtime_error("cannot draw");
    }
  } throwing;
  TShredEngine failing{fs, throwing};
  TVectorFileList list({"D:\\wipe"});
  EXPECT_THROW(failing.Run(list), std::runtime_error);
  EXPECT_GE(fs.smallFiles, 300);
  EXPECT_TRUE(fs.nodes.empty());
}

// What a killed record fill leaves (a tree of zero files) goes before the next fill
// writes anything; anything else under the folder's name stays whole.
TEST(LeftoverRecordsTest, OnlyATreeOfTheFillsOwnShapeIsRemoved) {
  const TRecordTree tree(kTop);
  const auto leaveTree = [&](TFakeFileSystem& fs, int files) {
    fs.AddFolder(kTop);
    for (int slot = 0; slot < files; ++slot) {
      for (int level = 1; level <= TRecordTree::kLevels; ++level) fs.AddFolder(tree.FolderPath(slot, level));
      fs.AddFile(tree.FilePath(slot), 600, std::byte{0});
    }
  };
  struct Case {
    const char* name;
    void (*spoil)(TFakeFileSystem&, const TRecordTree&);
    bool removed;
  };
  for (const Case c :
       {Case{"as a killed fill left it", [](TFakeFileSystem&, const TRecordTree&) {}, true},
        Case{"a file that is not all zeros",
             [](TFakeFileSystem& fs, const TRecordTree& t) { fs.nodes[t.FilePath(7)].data[599] = std::byte{1}; },
             false},
        Case{"a file of another name",
             [](TFakeFileSystem& fs, const TRecordTree& t) { fs.AddFile(t.FolderPath(7, TRecordTree::kLevels) + "\\x", 1, std::byte{0}); },
             false},
        Case{"a file where folders go", [](TFakeFileSystem& fs, const TRecordTree&) { fs.AddFile(kTop + "\\4", 1, std::byte{0}); },
             false},
        Case{"a file too long for a record",
             [](TFakeFileSystem& fs, const TRecordTree& t) { fs.nodes[t.FilePath(3)].data.resize(TRecordTree::kLongestFile + 1); },
             false}}) {
    SCOPED_TRACE(c.name);
    TEngineRig rig;
    auto& fs = rig.fs;
    fs.freeSpace["D:\\"] = 10000000;
    leaveTree(fs, 12);
    c.spoil(fs, tree);
    const auto left = fs.nodes;
    const std::string entry = rig.Run({"D:\\wipe"})[0];
    if (c.removed) {
      EXPECT_EQ(entry, "SHREDDED! ... D:\\wipe");
      EXPECT_TRUE(fs.nodes.empty());
      // Gone before the fill began, so that its records were free for this fill.
      const auto fill = std::find(fs.log.begin(), fs.log.end(), "create D:\\wipe");
      EXPECT_LT(std::find(fs.log.begin(), fs.log.end(), "delete " + tree.FilePath(11)), fill);
    } else {
      // The record fill could not have its folder: the wipe is not complete.
      EXPECT_EQ(entry, LeftRow(kRecordsFailedReason, "D:\\wipe"));
      EXPECT_EQ(fs.nodes.size(), left.size());
      for (const auto& [path, node] : left) EXPECT_EQ(fs.nodes.at(path).data, node.data) << path;
    }
  }
}

}  // namespace
