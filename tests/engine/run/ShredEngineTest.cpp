// The engine's rules against the in-memory file system: the failures here are ones
// a real disk cannot be made to produce on demand.
#include "engine/run/ShredEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/EntryRules.h"
#include "engine/Overwrite.h"
#include "engine/freespace/WipeTexts.h"
#include "engine/run/ListRows.h"
#include "engine/run/ShredTexts.h"
#include "tests/support/EngineRig.h"

namespace {

class ShredEngineTest : public ::testing::Test {
 protected:
  TEngineRig rig;
};

TEST_F(ShredEngineTest, SizesOfEmptyExistingAndMissingEntries) {
  rig.fs.AddFile("C:\\f", 20000);
  rig.fs.AddFolder("C:\\dir");
  rig.fs.freeSpace["C:\\"] = 30;
  EXPECT_EQ(rig.engine.ShredSize("").Bytes, -1);
  EXPECT_EQ(rig.engine.ShredSize("C:\\f").Bytes, 20000);
  EXPECT_EQ(rig.engine.ShredSize("C:\\f").Kind, TShredSize::kExistingFile);
  EXPECT_EQ(rig.engine.ShredSize("C:\\missing").Bytes, 28);
  EXPECT_EQ(rig.engine.ShredSize("c:\\missing").Bytes, 28);
  EXPECT_EQ(rig.engine.ShredSize("C:\\dir").Bytes, 28);  // a folder counts as a missing name
  EXPECT_EQ(rig.engine.ShredSize("C:\\dir").Kind, TShredSize::kFill);
  EXPECT_EQ(rig.engine.ShredSize("Q:\\missing").Bytes, -1);
  EXPECT_TRUE(rig.display.calls.empty());
}

TEST_F(ShredEngineTest, FillOfAMissingNameIsWrittenInFullBlocksFlushedAndGone) {
  rig.fs.freeSpace["D:\\"] = 1000000;
  EXPECT_EQ(rig.Shred("D:\\fill"), 950000);
  EXPECT_EQ(rig.fs.writes, 58);  // 57 blocks of 16,384 and one of 16,112
  EXPECT_EQ(rig.fs.largestWrite, 16384u);
  EXPECT_EQ(rig.display.readout, kDigitPattern.substr(12, 120));
  EXPECT_EQ(rig.display.maxes.front(), 950000);
  const auto bar = rig.display.PositionsBefore(kRecordFillText);  // the data's, before the records'
  EXPECT_EQ(bar.back(), 0);
  EXPECT_EQ(bar[bar.size() - 2], 950000);
  EXPECT_EQ(rig.display.positions.back(), 0);
  EXPECT_EQ(rig.fs.flushes, 1);
  EXPECT_FALSE(rig.fs.NameExists("D:\\fill"));  // removed by the system at close
}

TEST_F(ShredEngineTest, FlushComesAfterTheLastBlockAndBeforeClose) {
  rig.fs.AddFile("C:\\f", 20000);
  EXPECT_EQ(rig.engine.ShredFile("C:\\f", {TShredSize::kExistingFile, 20000}), 20000);
  const auto flush = std::find(rig.fs.log.begin(), rig.fs.log.end(), "flush C:\\f");
  const auto close = std::find(rig.fs.log.begin(), rig.fs.log.end(), "close C:\\f");
  ASSERT_NE(flush, rig.fs.log.end());
  EXPECT_LT(flush, close);
  EXPECT_TRUE(rig.fs.AllZero("C:\\f"));
  EXPECT_EQ(rig.fs.nodes["C:\\f"].data.size(), 20000u);
}

// A failed write, a short write and a failed flush all end the overwrite: the bar
// goes back to 0, an existing file is kept for another try, and the run goes on.
TEST_F(ShredEngineTest, FailedWritesAndFlushesLeaveTheEntryUnmarkedAndTheFileKept) {
  struct Case {
    const char* name;
    int failWriteAfter;
    bool shortWrite;
    bool failFlush;
    std::vector<std::string> writes;  // asked of C:\a, the one that fails last
    std::ptrdiff_t zeroed;            // bytes of C:\a written before the failure
    std::string_view reason;
  };
  const std::string block = "write C:\\a 16384";
  for (const Case& c : {Case{"write", 1, false, false, {block, block}, 16384, kWriteFailedReason},
                        Case{"short", 0, true, false, {block}, 8192, kWriteFailedReason},
                        Case{"flush", -1, false, true, {block, block, "write C:\\a 7232"}, 40000, kFlushFailedReason}}) {
    SCOPED_TRACE(c.name);
    TEngineRig local;
    local.fs.AddFile("C:\\a", 40000);
    local.fs.AddFile("C:\\b", 10);
    local.fs.failWriteAfter = c.failWriteAfter;
    local.fs.shortWrite = c.shortWrite;
    local.fs.failFlush = c.failFlush;
    local.Run({"C:\\a", "C:\\b"});
    EXPECT_EQ(local.list.items[0], LeftRow(c.reason, "C:\\a"));
    EXPECT_TRUE(local.fs.NameExists("C:\\a"));
    const auto& data = local.fs.nodes["C:\\a"].data;
    EXPECT_EQ(data.size(), 40000u);
    EXPECT_FALSE(local.fs.nodes["C:\\a"].open);
    EXPECT_EQ(local.display.position, 0);
    if (c.failFlush) {
      EXPECT_EQ(local.list.items[1], LeftRow(kFlushFailedReason, "C:\\b"));  // its flush fails too
    }
    EXPECT_EQ(local.fs.Logged("delete C:\\a").size(), 0u);
    EXPECT_EQ(local.fs.Logged("write C:\\a"), c.writes);
    EXPECT_EQ(std::find(data.begin(), data.end(), std::byte{0x5A}) - data.begin(), c.zeroed);
  }
}

// The locked path goes into the message as it is, even where it holds place holders.
TEST_F(ShredEngineTest, RunMarksInListOrderAndEndsAtAFileThatCannotBeSized) {
  const std::string locked = "C:\\100%d%s.txt";
  rig.fs.AddFile("C:\\1", 10);
  rig.fs.AddFile(locked, 10);
  rig.fs.AddFile("C:\\3", 10);
  rig.fs.lockedForReading.insert(locked);
  try {
    rig.Run({"C:\\1", locked, "C:\\3"});
    ADD_FAILURE() << "no error";
  } catch (const EFOpenError& error) {
    EXPECT_EQ(error.Message(), "Cannot open file C:\\100%d%s.txt");
  }
  EXPECT_EQ(rig.list.items, (std::vector<std::string>{"SHREDDED! ... C:\\1", locked, "C:\\3"}));
  EXPECT_TRUE(rig.fs.NameExists("C:\\3"));
  EXPECT_EQ(rig.list.fontColor, 0u);
  EXPECT_EQ(rig.display.statusColor, 0u);
}

TEST_F(ShredEngineTest, EntriesThatCannotBeOpenedOrSizedAreLeftWithTheirReasons) {
  rig.fs.AddFile("C:\\writelocked", 10);
  rig.fs.lockedForWriting.insert("C:\\writelocked");
  rig.fs.freeSpace["C:\\"] = 1000;
  rig.fs.lastError = TFileError::kInUse;
  const std::vector<std::string> entries{"", "C:\\writelocked", "Q:\\nodrive", "SHREDDED! ... C:\\old"};
  EXPECT_EQ(rig.Run(entries),
            (std::vector<std::string>{LeftRow(RefusalText(CheckEntry("")), ""), LeftRow(kInUseReason, "C:\\writelocked"),
                                      LeftRow(kFreeSpaceUnknownReason, "Q:\\nodrive"), entries.back()}));
  EXPECT_EQ(rig.fs.nodes["C:\\writelocked"].data.size(), 10u);
  // Attributes that cannot be read (the empty entry's) are not written back.
  EXPECT_TRUE(rig.fs.Logged("setattr").empty());
  // A drive that cannot be asked is told in the row; the status line keeps the last file's.
  EXPECT_EQ(rig.display.status, "shredding C:\\writelocked: size is 10 bytes ...");
}

TEST_F(ShredEngineTest, ReadOnlyIsClearedAndOtherAttributesKept) {
  rig.fs.AddFile("C:\\ro", 5);
  rig.fs.nodes["C:\\ro"].attributes = 0x1 | 0x2 | 0x20;  // read-only, hidden, archive
  EXPECT_EQ(rig.Shred("C:\\ro"), 5);
  EXPECT_EQ(rig.fs.nodes["C:\\ro"].attributes, 0x22u);

  // Only a change is written: bits above the low 16 are one, read-only the other.
  rig.fs.AddFile("C:\\plain", 5);
  rig.fs.nodes["C:\\plain"].attributes = 0x20;
  rig.fs.AddFile("C:\\pinned", 5);
  rig.fs.nodes["C:\\pinned"].attributes = 0x80000 | 0x20;
  rig.fs.log.clear();
  EXPECT_EQ(rig.Shred("C:\\plain"), 5);
  EXPECT_EQ(rig.Shred("C:\\pinned"), 5);
  EXPECT_EQ(rig.fs.Logged("setattr"), std::vector<std::string>{"setattr C:\\pinned 32"});
}

// The entry rules' table is EntryRulesTest's; here the run keeps to them.
TEST_F(ShredEngineTest, RefusedEntriesAndLinksAreNeitherTouchedNorMarkedAndSayWhy) {
  rig.fs.AddFile("C:\\*", 10);  // what FindFirstFileA would match
  rig.fs.AddLink("C:\\link");
  rig.fs.freeSpace["C:\\"] = 100;
  EXPECT_EQ(rig.Run({"C:\\*", "C:\\link"}),
            (std::vector<std::string>{LeftRow(RefusalText(TEntryRefusal::kWildcards), "C:\\*"),
                                      LeftRow(kLinkReason, "C:\\link")}));
  EXPECT_TRUE(rig.fs.Logged("open").empty() && rig.fs.Logged("create").empty() && rig.fs.Logged("setattr").empty());
  EXPECT_EQ(rig.display.statuses,
            (std::vector<std::string>{"Not shredded: C:\\*: " + std::string(RefusalText(TEntryRefusal::kWildcards)),
                                      "Not shredded: C:\\link: " + std::string(kLinkReason)}));
}

// Only the file that was sized is overwritten: another made under its name since is
// left alone, and so is one that takes its name before the scrub.
TEST_F(ShredEngineTest, AnotherFileUnderTheSizedNameIsNotTouched) {
  rig.fs.AddFile("C:\\a", 100);
  const TShredSize size = rig.engine.ShredSize("C:\\a");
  rig.fs.AddFile("C:\\a", 100);  // replaced: same name and length, another file
  rig.fs.AddFile("C:\\a:s", 10);  // with a named stream of its own
  rig.fs.streams["C:\\a"] = {"s"};
  EXPECT_EQ(rig.engine.ShredFile("C:\\a", size), -1);
  EXPECT_TRUE(rig.fs.Logged("write").empty());

  rig.fs.AddFile("C:\\b", 100);
  rig.fs.after["flush C:\\b"] = [this] { rig.fs.AddFile("C:\\b", 5); };
  EXPECT_EQ(rig.Run({"C:\\b"}), std::vector<std::string>{LeftRow(kNotDeletedReason, "C:\\b")});
  EXPECT_EQ(rig.fs.nodes.at("C:\\b").data.size(), 5u);
  EXPECT_TRUE(rig.fs.Logged("rename").empty());
}

// Named streams are shredded whole before the file's own data, each opened by its
// listed name; one that cannot be leaves the file untouched, unmarked and saying
// which, as does a listing that fails. Compressed files are refused: zeros written
// into one do not reach its clusters. Sparse ones are shredded as any file.
TEST_F(ShredEngineTest, NamedStreamsGoFirstAndAStreamThatStaysKeepsItsFile) {
  rig.fs.AddFile("C:\\dl.exe", 100);
  rig.fs.AddFile("C:\\dl.exe:Zone.Identifier", 90);
  rig.fs.AddFile("C:\\dl.exe:meta", 5000);
  rig.fs.streams["C:\\dl.exe"] = {"Zone.Identifier", "meta"};
  rig.fs.AddFile("C:\\kept.txt", 10);
  rig.fs.AddFile("C:\\kept.txt:held", 10);
  rig.fs.streams["C:\\kept.txt"] = {"held"};
  rig.fs.lockedForWriting.insert("C:\\kept.txt:held");
  rig.fs.lastError = TFileError::kInUse;
  rig.fs.AddFile("C:\\unlisted.txt", 10);
  rig.fs.unlistableStreams.insert("C:\\unlisted.txt");
  rig.fs.AddFile("C:\\packed.txt", 10);
  rig.fs.nodes["C:\\packed.txt"].attributes = 0x800;
  rig.fs.AddFile("C:\\sparse.bin", 10);  // zeros written into a sparse file are written to the disk
  rig.fs.nodes["C:\\sparse.bin"].attributes = 0x200;
  EXPECT_EQ(rig.Run({"C:\\dl.exe", "C:\\kept.txt", "C:\\unlisted.txt", "C:\\packed.txt", "C:\\sparse.bin"}),
            (std::vector<std::string>{
                "SHREDDED! ... C:\\dl.exe",
                LeftRow("its named stream \"held\" was not shredded: " + std::string(kInUseReason), "C:\\kept.txt"),
                LeftRow(kStreamsUnlistedReason, "C:\\unlisted.txt"), LeftRow(kCompressedReason, "C:\\packed.txt"),
                "SHREDDED! ... C:\\sparse.bin"}));
  // The scrub opens the file once more.
  auto opened = rig.fs.Logged("open-rw C:\\dl.exe");
  opened.resize(3);
  EXPECT_EQ(opened, (std::vector<std::string>{"open-rw C:\\dl.exe:Zone.Identifier", "open-rw C:\\dl.exe:meta",
                                              "open-rw C:\\dl.exe"}));
  for (const char* stream : {"C:\\dl.exe:Zone.Identifier", "C:\\dl.exe:meta"}) {
    EXPECT_EQ(rig.fs.Logged(std::string("write ") + stream).size(), 1u) << stream;
    EXPECT_EQ(rig.fs.Logged(std::string("truncate ") + stream).size(), 1u) << stream;
    EXPECT_FALSE(rig.fs.nodes.count(stream)) << stream;
  }
  for (const char* kept : {"C:\\kept.txt", "C:\\unlisted.txt", "C:\\packed.txt"}) {
    EXPECT_TRUE(rig.fs.Logged(std::string("write ") + kept).empty()) << kept;
    EXPECT_EQ(rig.fs.nodes.at(kept).data, std::vector<std::byte>(10, std::byte{0x5A})) << kept;
  }
}

// A file with other names (hard links) has its data overwritten for all of them and
// loses this name; the others remain, emptied, so the entry is not marked.
TEST_F(ShredEngineTest, AFileWithOtherNamesIsOverwrittenAndSaysTheyRemain) {
  rig.fs.AddFile("C:\\linked.txt", 100);
  rig.fs.nameCounts["C:\\linked.txt"] = 3;
  EXPECT_EQ(rig.Run({"C:\\linked.txt"}), std::vector<std::string>{LeftRow(OtherNamesReason(2), "C:\\linked.txt")});
  EXPECT_EQ(rig.fs.Logged("write C:\\linked.txt").size(), 1u);
  EXPECT_FALSE(rig.fs.nodes.count("C:\\linked.txt"));
  // Tried again, its name is gone with its file: no fill of the drive is made.
  rig.fs.freeSpace["C:\\"] = 1000;
  EXPECT_EQ(rig.Run({rig.list.items[0]}), std::vector<std::string>{LeftRow(kGoneReason, "C:\\linked.txt")});
  EXPECT_TRUE(rig.fs.Logged("create").empty());
}

// A second name of a file shredded earlier in the run (a hard link, an 8.3 name,
// another drive letter) is missing by its turn: it is no free space to fill.
TEST_F(ShredEngineTest, ANameWhoseFileWentEarlierInTheRunIsNoFill) {
  rig.fs.AddFile("C:\\long name.txt", 10);
  rig.fs.AddFile("C:\\LONGNA~1.TXT", 10);
  rig.fs.freeSpace["C:\\"] = 100000;
  // The two names are one file: the second goes with the first.
  rig.fs.after["truncate C:\\long name.txt"] = [this] { rig.fs.nodes.erase("C:\\LONGNA~1.TXT"); };
  EXPECT_EQ(rig.Run({"C:\\long name.txt", "C:\\LONGNA~1.TXT"}),
            (std::vector<std::string>{"SHREDDED! ... C:\\long name.txt", LeftRow(kGoneReason, "C:\\LONGNA~1.TXT")}));
  EXPECT_TRUE(rig.fs.Logged("create").empty());
  EXPECT_EQ(rig.display.status, "Not shredded: C:\\LONGNA~1.TXT: " + std::string(kGoneReason));
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
    std::optional<TFileIdentity> Identity() override { return std::nullopt; }

   private:
    std::int64_t& FWritten;
  };
  class HugeFs : public TFakeFileSystem {
   public:
    std::int64_t written = 0;
    std::unique_ptr<IShredFile> OpenExisting(const std::string&, bool) override {
      return std::make_unique<HugeFile>(written);
    }
  };
  TEngineRigOn<HugeFs> huge;
  huge.fs.AddFile("C:\\big", 0);
  EXPECT_EQ(huge.Shred("C:\\big"), size);
  EXPECT_EQ(huge.fs.written, size);
  const auto& shown = huge.display;
  const std::int64_t divisor = 2;  // 3 GiB / (2^31 - 16,384) rounded up
  EXPECT_EQ(shown.max, size / divisor);
  ASSERT_GE(shown.positions.size(), 3u);
  EXPECT_EQ(shown.positions[shown.positions.size() - 2], size / divisor);  // full before the reset
  EXPECT_TRUE(std::is_sorted(shown.positions.begin() + 1, shown.positions.end() - 1));
  EXPECT_EQ(shown.positions.size(), static_cast<std::size_t>(size / kBlockSize) + 2);
}

// The run acts on what it found when it sized an entry. A file that vanishes then
// is not made again as a fill; a file that appears under a missing name, or comes
// back with another length, is not written: the entry stays unmarked, and nothing
// is written, made or changed.
TEST_F(ShredEngineTest, ANameThatAppearsOrVanishesAfterItsSizingIsLeftAlone) {
  struct Case {
    const char* name;
    std::string entry;
    std::string after;     // the operation after which the name changes
    std::size_t sizeThen;  // of the file under the name from then on; 0: none
    std::uint32_t attributesThen;
    std::string_view reason;
  };
  for (const Case& c : {Case{"vanishes", "C:\\f", "close C:\\f", 0, 0, kNotOpenedReason},
                        Case{"appears read-only", "D:\\wipe", "free-space D:\\", 100, 0x21, kFillNotMadeReason},
                        Case{"comes back longer", "C:\\f", "close C:\\f", 30000, 0x20, kChangedReason}}) {
    SCOPED_TRACE(c.name);
    TEngineRig local;
    local.fs.freeSpace["D:\\"] = 100000;
    local.fs.AddFile("C:\\f", 20000);
    local.fs.after[c.after] = [&] {
      local.fs.nodes.erase(c.entry);
      if (c.sizeThen == 0) return;
      local.fs.AddFile(c.entry, c.sizeThen);
      local.fs.nodes[c.entry].attributes = c.attributesThen;
    };
    EXPECT_EQ(local.Run({c.entry}), std::vector<std::string>{LeftRow(c.reason, c.entry)});
    EXPECT_TRUE(local.fs.after.empty());  // the name did change
    EXPECT_EQ(local.fs.Logged("write"), std::vector<std::string>{});
    EXPECT_EQ(local.fs.Logged("setattr"), std::vector<std::string>{});
    EXPECT_EQ(local.fs.NameExists(c.entry), c.sizeThen > 0);
    if (c.sizeThen == 0) continue;
    EXPECT_EQ(local.fs.nodes[c.entry].data, std::vector<std::byte>(c.sizeThen, std::byte{0x5A}));
    EXPECT_EQ(local.fs.nodes[c.entry].attributes, c.attributesThen);
  }
}

// A file listed twice, in any letter case, is shredded once; its later entries are
// marked without a look at the drive: by then its name is missing, and a missing
// name is a fill of the drive's free space.
TEST_F(ShredEngineTest, AFileListedAgainInTheSameRunIsMarkedWithoutAFill) {
  rig.fs.AddFile("C:\\Dir\\a.txt", 5000);
  rig.fs.AddFile("C:\\Other\\b.txt", 10);
  rig.fs.freeSpace["C:\\"] = 16 << 20;
  EXPECT_EQ(rig.Run({"C:\\Dir\\a.txt", "C:\\Other\\b.txt", "C:\\Dir\\a.txt", "c:\\dIR\\A.TXT"}),
            (std::vector<std::string>{"SHREDDED! ... C:\\Dir\\a.txt", "SHREDDED! ... C:\\Other\\b.txt",
                                                  "SHREDDED! ... C:\\Dir\\a.txt", "SHREDDED! ... c:\\dIR\\A.TXT"}));
  EXPECT_EQ(rig.fs.Logged("create").size(), 0u);
  EXPECT_EQ(rig.display.max, 10);  // the last size shown is b.txt's, not a fill's
  EXPECT_TRUE(rig.fs.nodes.empty());
}

// Only what this run marked counts: a missing name is a fill however often it is
// listed in runs of its own, and an entry the run could not shred is tried again.
TEST_F(ShredEngineTest, OnlyEntriesMarkedInThisRunAreMarkedAgain) {
  rig.fs.freeSpace["D:\\"] = 1000000;
  for (int run = 0; run < 2; ++run) EXPECT_EQ(rig.Run({"D:\\wipe"})[0], "SHREDDED! ... D:\\wipe");
  EXPECT_EQ(rig.fs.Logged("create D:\\wipe").size(), 2u);

  rig.fs.AddFile("C:\\held", 10);
  rig.fs.lockedForWriting.insert("C:\\held");
  EXPECT_EQ(rig.Run({"C:\\held", "C:\\held"}),
            (std::vector<std::string>(2, LeftRow(kNotOpenedReason, "C:\\held"))));
  EXPECT_EQ(rig.fs.Logged("open-rw C:\\held").size(), 2u);
  // A second run takes the rows as their paths: made writable, the file is shredded.
  rig.fs.lockedForWriting.clear();
  EXPECT_EQ(rig.Run(rig.list.items), (std::vector<std::string>(2, "SHREDDED! ... C:\\held")));
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
