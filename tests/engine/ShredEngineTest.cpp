// The engine's rules against the in-memory file system: the failures here are ones
// a real disk cannot be made to produce on demand.
#include "engine/ShredEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "engine/ShredSizes.h"
#include "engine/ShredTexts.h"
#include "tests/support/FakeFileSystem.h"
#include "tests/support/RecordingDisplay.h"
#include "tests/support/VectorFileList.h"

namespace {

class ShredEngineTest : public ::testing::Test {
 protected:
  TFakeFileSystem fs;
  TRecordingDisplay display;
  TShredEngine engine{fs, display};
};

TEST_F(ShredEngineTest, SizesOfEmptyExistingAndMissingEntries) {
  fs.AddFile("C:\\f", 20000);
  fs.AddFolder("C:\\dir");
  fs.freeSpace["C:\\"] = 30;
  EXPECT_EQ(engine.ShredSize(""), 0);
  EXPECT_EQ(engine.ShredSize("C:\\f"), 20000);
  EXPECT_EQ(engine.ShredSize("C:\\missing"), 28);
  EXPECT_EQ(engine.ShredSize("c:\\missing"), 28);
  EXPECT_EQ(engine.ShredSize("C:\\dir"), 28);  // a folder counts as a missing name
  EXPECT_EQ(engine.ShredSize("Q:\\missing"), -1);
  EXPECT_TRUE(display.calls.empty());
}

TEST_F(ShredEngineTest, ALockedFileCannotBeSized) {
  fs.AddFile("C:\\locked", 10);
  fs.lockedForReading.insert("C:\\locked");
  try {
    engine.ShredSize("C:\\locked");
    FAIL() << "no error";
  } catch (const EFOpenError& error) {
    EXPECT_EQ(error.Message(), "Cannot open file C:\\locked");
  }
}

// The path is put into the message as it is, even where it holds place holders.
TEST_F(ShredEngineTest, TheMessageShowsALockedPathExactly) {
  const std::string path = "C:\\sales\\100%d%s.txt";
  fs.AddFile(path, 10);
  fs.lockedForReading.insert(path);
  try {
    engine.ShredSize(path);
    FAIL() << "no error";
  } catch (const EFOpenError& error) {
    EXPECT_EQ(error.Message(), "Cannot open file C:\\sales\\100%d%s.txt");
  }
}

TEST_F(ShredEngineTest, FillOfAMissingNameIsWrittenInFullBlocksFlushedAndGone) {
  fs.freeSpace["D:\\"] = 1000000;
  const auto size = engine.ShredSize("D:\\fill");
  ASSERT_EQ(size, 950000);
  EXPECT_EQ(engine.ShredFile("D:\\fill", size), 950000);
  EXPECT_EQ(fs.writes, 58);  // 57 blocks of 16,384 and one of 16,112
  EXPECT_EQ(fs.largestWrite, 16384u);
  EXPECT_EQ(display.readout, kDigitPattern.substr(12, 120));
  EXPECT_EQ(display.maxes.front(), 950000);
  const auto bar = display.PositionsBefore(kRecordFillText);  // the data's, before the records'
  EXPECT_EQ(bar.back(), 0);
  EXPECT_EQ(bar[bar.size() - 2], 950000);
  EXPECT_EQ(display.positions.back(), 0);
  EXPECT_EQ(fs.flushes, 1);
  EXPECT_FALSE(fs.NameExists("D:\\fill"));  // removed by the system at close
}

TEST_F(ShredEngineTest, FlushComesAfterTheLastBlockAndBeforeClose) {
  fs.AddFile("C:\\f", 20000);
  EXPECT_EQ(engine.ShredFile("C:\\f", 20000), 20000);
  const auto flush = std::find(fs.log.begin(), fs.log.end(), "flush C:\\f");
  const auto close = std::find(fs.log.begin(), fs.log.end(), "close C:\\f");
  ASSERT_NE(flush, fs.log.end());
  EXPECT_LT(flush, close);
  EXPECT_TRUE(fs.AllZero("C:\\f"));
  EXPECT_EQ(fs.nodes["C:\\f"].data.size(), 20000u);
}

// A failed write, a short write and a failed flush all end the overwrite: the bar
// goes back to 0, an existing file is kept for another try, and the run goes on.
TEST_F(ShredEngineTest, FailedWritesAndFlushesLeaveTheEntryUnmarkedAndTheFileKept) {
  struct Case {
    const char* name;
    int failWriteAfter;
    bool shortWrite;
    bool failFlush;
    int expectedWrites;
  };
  for (const Case c : {Case{"write", 1, false, false, 2}, Case{"short", 0, true, false, 1},
                       Case{"flush", -1, false, true, 3}}) {
    SCOPED_TRACE(c.name);
    TFakeFileSystem local;
    TRecordingDisplay shown;
    TShredEngine run{local, shown};
    local.AddFile("C:\\a", 40000);
    local.AddFile("C:\\b", 10);
    local.failWriteAfter = c.failWriteAfter;
    local.shortWrite = c.shortWrite;
    local.failFlush = c.failFlush;
    TVectorFileList list({"C:\\a", "C:\\b"});
    run.Run(list);
    EXPECT_EQ(list.items[0], "C:\\a");
    EXPECT_TRUE(local.NameExists("C:\\a"));
    EXPECT_EQ(local.nodes["C:\\a"].data.size(), 40000u);
    EXPECT_FALSE(local.nodes["C:\\a"].open);
    EXPECT_EQ(shown.position, 0);
    if (c.failFlush) {
      EXPECT_EQ(list.items[1], "C:\\b");  // its flush fails too
    }
    EXPECT_EQ(std::count(local.log.begin(), local.log.end(), "delete C:\\a"), 0);
    EXPECT_GE(local.writes, c.expectedWrites);
  }
}

TEST_F(ShredEngineTest, AFailedFillLeavesNoFileBehind) {
  fs.freeSpace["D:\\"] = 100000;
  fs.failWriteAfter = 2;
  TVectorFileList list({"D:\\fill"});
  engine.Run(list);
  EXPECT_EQ(list.items[0], "D:\\fill");
  EXPECT_FALSE(fs.NameExists("D:\\fill"));
}

TEST_F(ShredEngineTest, AFailedFillIsDeletedEvenWhereTheSystemWouldKeepIt) {
  fs.freeSpace["D:\\"] = 100000;
  fs.failWriteAfter = 2;
  fs.deleteOnCloseHonoured = false;
  EXPECT_EQ(engine.ShredFile("D:\\fill", 95000), -1);
  EXPECT_FALSE(fs.NameExists("D:\\fill"));
}

TEST_F(ShredEngineTest, ADeletionThatLeavesTheNameIsNotMarked) {
  fs.AddFile("C:\\a", 100);
  fs.AddFile("C:\\b", 100);
  fs.nodes["C:\\a"].undeletable = true;
  TVectorFileList list({"C:\\a", "C:\\b"});
  engine.Run(list);
  EXPECT_EQ(list.items[0], "C:\\a");
  EXPECT_TRUE(fs.AllZero("C:\\a"));
  EXPECT_EQ(list.items[1], "SHREDDED! ... C:\\b");
  EXPECT_EQ(list.repaints, 1);
}

TEST_F(ShredEngineTest, RunMarksInListOrderAndEndsAtAFileThatCannotBeSized) {
  fs.AddFile("C:\\1", 10);
  fs.AddFile("C:\\2", 10);
  fs.AddFile("C:\\3", 10);
  fs.lockedForReading.insert("C:\\2");
  TVectorFileList list({"C:\\1", "C:\\2", "C:\\3"});
  EXPECT_THROW(engine.Run(list), EFOpenError);
  EXPECT_EQ(list.items, (std::vector<std::string>{"SHREDDED! ... C:\\1", "C:\\2", "C:\\3"}));
  EXPECT_TRUE(fs.NameExists("C:\\3"));
  EXPECT_EQ(list.fontColor, 0u);
  EXPECT_EQ(display.statusColor, 0u);
}

TEST_F(ShredEngineTest, EntriesThatCannotBeOpenedOrSizedAreSkippedWithoutMarks) {
  fs.AddFile("C:\\writelocked", 10);
  fs.lockedForWriting.insert("C:\\writelocked");
  fs.AddFolder("C:\\dir");
  fs.freeSpace["C:\\"] = 1000;
  TVectorFileList list({"", "C:\\dir", "C:\\writelocked", "Q:\\nodrive", "SHREDDED! ... C:\\old"});
  engine.Run(list);
  EXPECT_EQ(list.items, (std::vector<std::string>{"", "C:\\dir", "C:\\writelocked", "Q:\\nodrive",
                                                  "SHREDDED! ... C:\\old"}));
  EXPECT_EQ(list.repaints, 0);
  EXPECT_EQ(fs.nodes["C:\\writelocked"].data.size(), 10u);
  // The skipped drive-less entries showed nothing; the last status is the write-locked file's.
  EXPECT_EQ(display.status, "shredding C:\\writelocked: size is 10 bytes ...");
}

TEST_F(ShredEngineTest, ReadOnlyIsClearedAndOtherAttributesKept) {
  fs.AddFile("C:\\ro", 5);
  fs.nodes["C:\\ro"].attributes = 0x1 | 0x2 | 0x20;  // read-only, hidden, archive
  EXPECT_EQ(engine.ShredFile("C:\\ro", 5), 5);
  EXPECT_EQ(fs.nodes["C:\\ro"].attributes, 0x22u);

  // Only a change is written: bits above the low 16 are one, read-only the other.
  fs.AddFile("C:\\plain", 5);
  fs.nodes["C:\\plain"].attributes = 0x20;
  fs.AddFile("C:\\pinned", 5);
  fs.nodes["C:\\pinned"].attributes = 0x80000 | 0x20;
  fs.log.clear();
  EXPECT_EQ(engine.ShredFile("C:\\plain", 5), 5);
  EXPECT_EQ(engine.ShredFile("C:\\pinned", 5), 5);
  std::vector<std::string> written;
  std::copy_if(fs.log.begin(), fs.log.end(), std::back_inserter(written),
               [](const std::string& l) { return l.rfind("setattr", 0) == 0; });
  EXPECT_EQ(written, std::vector<std::string>{"setattr C:\\pinned 32"});
}

TEST_F(ShredEngineTest, AttributesThatCannotBeReadAreNotWrittenBack) {
  EXPECT_EQ(engine.ShredFile("", 0), -1);
  EXPECT_EQ(std::count_if(fs.log.begin(), fs.log.end(), [](const std::string& l) { return l.rfind("setattr", 0) == 0; }),
            0);
  EXPECT_EQ(display.status, "shredding : size is 0 bytes ...");
}

TEST_F(ShredEngineTest, WildcardNamesAreNeverTakenForOtherFiles) {
  fs.AddFile("C:\\*", 10);  // what FindFirstFileA would match
  fs.freeSpace["C:\\"] = 100;
  EXPECT_EQ(engine.ShredSize("C:\\*"), 95);
}

TEST_F(ShredEngineTest, FilesOfTwoGigabytesAndMoreAreOverwrittenWithScaledProgress) {
  const std::int64_t size = 3LL << 30;  // 3 GiB
  // Counts bytes instead of keeping them: 3 GiB need not be held in memory.
  class HugeFile : public IShredFile {
   public:
    explicit HugeFile(std::int64_t& written) : FWritten(written) {}
    std::int64_t Length() override { return 3LL << 30; }
    bool Write(const std::byte*, std::uint32_t count) override {
      FWritten += count;
      return true;
    }
    bool Flush() override { return true; }
    bool Truncate() override { return true; }
    bool SetTimes(std::int64_t) override { return true; }

   private:
    std::int64_t& FWritten;
  };
  class HugeFs : public TFakeFileSystem {
   public:
    std::int64_t written = 0;
    std::unique_ptr<IShredFile> OpenExisting(const std::string&, bool) override {
      return std::make_unique<HugeFile>(written);
    }
  } huge;
  huge.AddFile("C:\\big", 0);
  TRecordingDisplay shown;
  TShredEngine run{huge, shown};
  EXPECT_EQ(run.ShredSize("C:\\big"), size);
  EXPECT_EQ(run.ShredFile("C:\\big", size), size);
  EXPECT_EQ(huge.written, size);
  const std::int64_t divisor = 2;  // 3 GiB / (2^31 - 16,384) rounded up
  EXPECT_EQ(shown.max, size / divisor);
  ASSERT_GE(shown.positions.size(), 3u);
  EXPECT_EQ(shown.positions[shown.positions.size() - 2], size / divisor);  // full before the reset
  EXPECT_TRUE(std::is_sorted(shown.positions.begin() + 1, shown.positions.end() - 1));
  EXPECT_EQ(shown.positions.size(), static_cast<std::size_t>(size / kBlockSize) + 2);
}

// A file listed twice, in any letter case, is shredded once; its later entries are
// marked without a look at the drive: by then its name is missing, and a missing
// name is a fill of the drive's free space.
TEST_F(ShredEngineTest, AFileListedAgainInTheSameRunIsMarkedWithoutAFill) {
  fs.AddFile("C:\\Dir\\a.txt", 5000);
  fs.AddFile("C:\\Dir\\b.txt", 10);
  fs.freeSpace["C:\\"] = 16 << 20;
  TVectorFileList list({"C:\\Dir\\a.txt", "C:\\Dir\\b.txt", "C:\\Dir\\a.txt", "c:\\dIR\\A.TXT"});
  engine.Run(list);
  EXPECT_EQ(list.items, (std::vector<std::string>{"SHREDDED! ... C:\\Dir\\a.txt", "SHREDDED! ... C:\\Dir\\b.txt",
                                                  "SHREDDED! ... C:\\Dir\\a.txt", "SHREDDED! ... c:\\dIR\\A.TXT"}));
  EXPECT_EQ(list.repaints, 4);
  EXPECT_EQ(std::count_if(fs.log.begin(), fs.log.end(), [](const std::string& l) { return l.rfind("create", 0) == 0; }),
            0);
  EXPECT_EQ(display.max, 10);  // the last size shown is b.txt's, not a fill's
  EXPECT_TRUE(fs.nodes.empty());
}

// Only what this run marked counts: a missing name is a fill however often it is
// listed in runs of its own, and an entry the run could not shred is tried again.
TEST_F(ShredEngineTest, OnlyEntriesMarkedInThisRunAreMarkedAgain) {
  fs.freeSpace["D:\\"] = 1000000;
  for (int run = 0; run < 2; ++run) {
    TVectorFileList list({"D:\\wipe"});
    engine.Run(list);
    EXPECT_EQ(list.items[0], "SHREDDED! ... D:\\wipe");
  }
  EXPECT_EQ(std::count(fs.log.begin(), fs.log.end(), "create D:\\wipe"), 2);

  fs.AddFile("C:\\held", 10);
  fs.lockedForWriting.insert("C:\\held");
  TVectorFileList list({"C:\\held", "C:\\held"});
  engine.Run(list);
  EXPECT_EQ(list.items, (std::vector<std::string>{"C:\\held", "C:\\held"}));
  EXPECT_EQ(std::count(fs.log.begin(), fs.log.end(), "open-rw C:\\held"), 2);
}

// The default comparison knows ASCII letters only: bytes above 127 are compared as
// they are. It is an order, as a set of paths needs, not just a test for equality.
TEST(FileSystemNamesTest, DefaultComparisonFoldsAsciiCaseOnly) {
  TFakeFileSystem fs;
  EXPECT_EQ(fs.CompareNames("C:\\Dir\\File", "c:\\dir\\FILE"), 0);
  EXPECT_EQ(fs.CompareNames("C:\\a", "C:\\B"), -1);
  EXPECT_EQ(fs.CompareNames("C:\\B", "C:\\a"), 1);
  EXPECT_EQ(fs.CompareNames("C:\\a", "C:\\ab"), -1);
  EXPECT_EQ(fs.CompareNames("C:\\ab", "C:\\A"), 1);
  EXPECT_NE(fs.CompareNames("C:\\\xC9", "C:\\\xE9"), 0);
}

}  // namespace
