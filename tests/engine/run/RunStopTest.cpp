// A run stopped by the user, at each place a stop can come: before an entry, in
// the middle of an overwrite, a fill or its record fill, and once a file is
// overwritten in full.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "engine/freespace/WipeTexts.h"
#include "engine/run/ListRows.h"
#include "tests/support/EngineRig.h"

namespace {

class RunStopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    rig->fs.AddFile("C:\\a", 100000);
    rig->fs.AddFile("C:\\b", 20);
  }
  // The stop comes right after the count-th operation that logs this line.
  void StopAfter(const std::string& line, int count = 1) {
    rig->fs.after[line] = [this, line, count] {
      if (count == 1)
        rig->stop.Request();
      else
        StopAfter(line, count - 1);
    };
  }
  // Nothing was done to the path: the run never reached it.
  bool Untouched(const std::string& path) const {
    return std::none_of(rig->fs.log.begin(), rig->fs.log.end(),
                        [&](const std::string& line) { return line.find(path) != std::string::npos; });
  }

  // A new rig for each case a test loops over.
  void Renew() { rig = std::make_unique<TEngineRig>(); }

  std::unique_ptr<TEngineRig> rig = std::make_unique<TEngineRig>();
};

TEST_F(RunStopTest, AStopBeforeTheRunTouchesNothing) {
  rig->stop.Request();
  EXPECT_EQ(rig->Run({"C:\\a", "C:\\b"}), (std::vector<std::string>{LeftRow(kStoppedBeforeReason, "C:\\a"),
                                                                     LeftRow(kStoppedBeforeReason, "C:\\b")}));
  EXPECT_TRUE(rig->fs.log.empty());
  EXPECT_EQ(rig->display.status, "Stopped before C:\\a: it and the entries after it are untouched");
}

// The overwrite stops after the block it is writing; the file is closed as it is,
// zeros up to there and its own data after, neither scrubbed nor deleted.
TEST_F(RunStopTest, AStopInAnOverwriteKeepsThePartlyOverwrittenFile) {
  StopAfter("write C:\\a 16384", 3);
  EXPECT_EQ(rig->Run({"C:\\a", "C:\\b"}), (std::vector<std::string>{LeftRow(kStoppedInReason, "C:\\a"),
                                                                     LeftRow(kStoppedBeforeReason, "C:\\b")}));
  const auto& data = rig->fs.nodes.at("C:\\a").data;
  ASSERT_EQ(data.size(), 100000u);
  EXPECT_EQ(std::count(data.begin(), data.end(), std::byte{0}), 3 * 16384);
  EXPECT_TRUE(std::all_of(data.begin() + 3 * 16384, data.end(), [](std::byte b) { return b == std::byte{0x5A}; }));
  EXPECT_EQ(rig->fs.Logged("write").size(), 3u);
  EXPECT_TRUE(rig->fs.Logged("flush").empty() && rig->fs.Logged("rename").empty() && rig->fs.Logged("delete").empty());
  EXPECT_TRUE(Untouched("C:\\b"));
  EXPECT_EQ(rig->display.status, "Stopped: C:\\a is only partly overwritten with zeros, and was not deleted");
  EXPECT_EQ(rig->display.position, 0);
}

// A fill stopped halfway is removed at once, every file of it, also where the
// system does not remove files at their close.
TEST_F(RunStopTest, AStopInAFillRemovesEveryFileOfIt) {
  for (const bool deleteOnClose : {true, false}) {
    SCOPED_TRACE(deleteOnClose ? "removed at close" : "deleted after close");
    Renew();
    rig->fs.freeSpace["D:\\"] = 100000;
    rig->fs.maxFillFileSize = 20000;  // a fill in five files
    rig->fs.deleteOnCloseHonoured = deleteOnClose;
    // Sizing asks for the free space once; the fill asks again for its second file.
    StopAfter("free-space D:\\", 2);
    EXPECT_EQ(rig->Run({"D:\\wipe", "D:\\later"}),
              (std::vector<std::string>{LeftRow(kStoppedInFillReason, "D:\\wipe"),
                                        LeftRow(kStoppedBeforeReason, "D:\\later")}));
    EXPECT_EQ(rig->fs.Logged("create").size(), 2u) << "the stop came in the fill's second file";
    EXPECT_TRUE(rig->fs.nodes.empty());
    EXPECT_TRUE(std::none_of(rig->fs.log.begin(), rig->fs.log.end(),
                             [](const std::string& line) { return line.find("D:\\later") != std::string::npos; }));
    EXPECT_EQ(rig->display.status,
              "Stopped: the fill of D:\\wipe is removed; the free space of its drive is only partly overwritten");
  }
}

// A stop while the fill wipes the drive's free records (here on a drive with an MFT)
// ends that phase before its next small file; every small file and folder goes, and
// the fill with them, and the entry stays unmarked.
TEST_F(RunStopTest, AStopInTheRecordFillRemovesItAndTheFill) {
  rig->fs.freeSpace["D:\\"] = 1000000;
  rig->fs.hasMft = true;
  rig->fs.mft.assign(400, TFakeFileSystem::Record{});
  rig->fs.onSmallFile = [this](int made) {
    if (made == 200) rig->stop.Request();
  };
  rig->list = TVectorFileList({"D:\\wipe", "D:\\later"});
  EXPECT_EQ(rig->engine.Run(rig->list), TRunEnd::Stopped);
  EXPECT_EQ(rig->list.items, (std::vector<std::string>{LeftRow(kStoppedInRecordsReason, "D:\\wipe"),
                                                       LeftRow(kStoppedBeforeReason, "D:\\later")}));
  EXPECT_EQ(rig->fs.smallFiles, 200);
  EXPECT_EQ(rig->fs.nodes.size(), 2u);  // C:\\a and C:\\b only
  EXPECT_TRUE(rig->fs.Under("D:").empty());
  EXPECT_TRUE(Untouched("D:\\later"));
  EXPECT_EQ(rig->display.status,
            "Stopped: the fill of D:\\wipe and its small files are removed; the free records of its drive's file "
            "table are only partly overwritten");
  EXPECT_EQ(rig->display.position, 0);
}

// A file overwritten in full is finished: a stop as its last block is flushed or
// in its scrub neither leaves it under a neutral name nor stops the deletion, and
// the entry is marked. The entry after it is not touched.
TEST_F(RunStopTest, AStopAfterTheLastBlockFinishesTheFileAndGoesNoFurther) {
  for (const std::string moment : {"flush C:\\a", "truncate C:\\a"}) {
    SCOPED_TRACE(moment);
    Renew();
    SetUp();
    StopAfter(moment);
    EXPECT_EQ(rig->Run({"C:\\a", "C:\\b"}),
              (std::vector<std::string>{"SHREDDED! ... C:\\a", LeftRow(kStoppedBeforeReason, "C:\\b")}));
    EXPECT_EQ(rig->fs.nodes.count("C:\\a"), 0u);
    EXPECT_EQ(rig->fs.nodes.size(), 1u) << "the file went under its last name";
    EXPECT_EQ(rig->fs.renamedTo.size(), 3u);
    EXPECT_TRUE(Untouched("C:\\b"));
    EXPECT_EQ(rig->display.status, "Stopped before C:\\b: it and the entries after it are untouched");
  }
}

}  // namespace
