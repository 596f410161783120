// Folders shredded whole, against the in-memory file system: the order of the work,
// links, the folders that are never shredded, and what a folder that stays says.
#include "engine/folders/FolderShred.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/EntryRules.h"
#include "engine/run/ListRows.h"
#include "engine/folders/FolderTexts.h"
#include "engine/run/ShredTexts.h"
#include "tests/support/EngineRig.h"

namespace {

class TAnswer final : public IFolderQuestion {
 public:
  explicit TAnswer(bool yes) : FYes(yes) {}
  bool ShredFoldersWhole(const std::vector<TFolderTally>& folders) override {
    asked.push_back(folders);
    return FYes;
  }
  std::vector<std::vector<TFolderTally>> asked;

 private:
  bool FYes;
};

class FolderShredTest : public ::testing::Test {
 protected:
  FolderShredTest() {
    rig.fs.freeSpace["D:\\"] = 1 << 20;
    rig.fs.AddFolder("D:\\t");
    rig.fs.AddFile("D:\\t\\a.txt", 100);
    rig.fs.AddFolder("D:\\t\\sub");
    rig.fs.AddFile("D:\\t\\sub\\b.doc", 20000);
    rig.fs.nodes["D:\\t\\sub\\b.doc"].attributes = 0x1 | 0x2 | 0x4;  // read-only, hidden, system
    rig.fs.AddFolder("D:\\t\\sub\\deep");
    rig.fs.AddFile("D:\\t\\sub\\deep\\c.bin", 7);
    rig.fs.AddFolder("D:\\t\\sub\\empty");
    rig.fs.AddFile("D:\\t\\z.txt", 1);
    rig.fs.AddFile("D:\\beside.txt", 5);
  }
  const std::vector<std::string>& Run(std::vector<std::string> entries, bool yes = true) {
    rig.list = TVectorFileList(std::move(entries));
    answer = TAnswer(yes);
    rig.engine.Run(rig.list, &answer);
    return rig.list.items;
  }
  std::vector<std::string> Under(const std::string& folder) const { return rig.fs.Under(folder); }

  TEngineRig rig;
  TAnswer answer{true};
};

TEST_F(FolderShredTest, EveryFileIsShreddedThenEveryFolderDeepestFirstAndNothingBeside) {
  EXPECT_EQ(Run({"D:\\t"}), std::vector<std::string>{"SHREDDED! ... D:\\t"});
  ASSERT_EQ(answer.asked.size(), 1u);
  ASSERT_EQ(answer.asked[0].size(), 1u);
  EXPECT_EQ(answer.asked[0][0].Files, 4);
  EXPECT_EQ(answer.asked[0][0].Bytes, 20108);
  EXPECT_FALSE(rig.fs.NameExists("D:\\t"));
  EXPECT_TRUE(Under("D:\\t").empty());
  EXPECT_EQ(rig.fs.nodes["D:\\beside.txt"].data, std::vector<std::byte>(5, std::byte{0x5A}));
  // Each file was overwritten in full and flushed where it stood before it went.
  for (const std::string file : {"D:\\t\\a.txt", "D:\\t\\sub\\b.doc", "D:\\t\\sub\\deep\\c.bin", "D:\\t\\z.txt"})
    EXPECT_FALSE(rig.fs.Logged("flush " + file).empty()) << file;
  // A folder goes after everything in it, under a neutral name: never by its own.
  const auto removed = rig.fs.Logged("rmdir ");
  ASSERT_EQ(removed.size(), 4u);
  const auto at = [&](const std::string& line) {
    return std::find(rig.fs.log.begin(), rig.fs.log.end(), line) - rig.fs.log.begin();
  };
  std::vector<std::ptrdiff_t> order;
  for (const std::string& line : removed) {
    EXPECT_EQ(line.find("empty"), std::string::npos) << line;
    order.push_back(at(line));
  }
  EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
  EXPECT_LT(at("flush D:\\t\\z.txt"), order.back());
  EXPECT_LT(order[1], at("flush D:\\t\\z.txt"));  // sub is gone before the files after it
  EXPECT_EQ(removed.back().rfind("rmdir D:\\", 0), 0u);
  EXPECT_NE(std::find(rig.display.statuses.begin(), rig.display.statuses.end(),
                      "shredding D:\\t\\z.txt: size is 1 bytes ... (file 4 of 4)"),
            rig.display.statuses.end());
}

TEST_F(FolderShredTest, EntriesInAFolderShreddedWholeAreMarkedWithIt) {
  const auto rows = Run({"D:\\t", "D:\\t\\a.txt", "D:\\t\\sub", "D:\\t\\wipe"});
  EXPECT_EQ(std::vector<std::string>(rows.begin(), rows.end() - 1),
            (std::vector<std::string>{"SHREDDED! ... D:\\t", "SHREDDED! ... D:\\t\\a.txt", "SHREDDED! ... D:\\t\\sub"}));
  EXPECT_FALSE(IsShreddedRow(rows.back())) << rows.back();  // a fill's name there was never the folder's
  ASSERT_EQ(answer.asked.size(), 1u);
  EXPECT_EQ(answer.asked[0].size(), 2u);

}

TEST_F(FolderShredTest, ALinkInsideIsRemovedAsItselfAndNeverEntered) {
  rig.fs.AddFolder("D:\\outside");
  rig.fs.AddFile("D:\\outside\\keep.txt", 9);
  rig.fs.AddFolderLink("D:\\t\\sub\\junction");
  EXPECT_EQ(Run({"D:\\t"}), std::vector<std::string>{"SHREDDED! ... D:\\t"});
  EXPECT_EQ(rig.fs.Logged("unlink "), std::vector<std::string>{"unlink D:\\t\\sub\\junction"});
  EXPECT_TRUE(rig.fs.Logged("hold-folder D:\\t\\sub\\junction").empty());
  EXPECT_EQ(rig.fs.nodes["D:\\outside\\keep.txt"].data, std::vector<std::byte>(9, std::byte{0x5A}));

  // Where the system cannot remove a link as itself, it stays, and so do its folders.
  rig.fs.AddFolder("D:\\t");
  rig.fs.AddFile("D:\\t\\x", 3);
  rig.fs.AddFolderLink("D:\\t\\j");
  rig.fs.linksRemovable = false;
  EXPECT_EQ(Run({"D:\\t"}), std::vector<std::string>{LeftRow(
                                "1 item in it was left, so it stays: j (" + std::string(kLinkLeftReason) + ")", "D:\\t")});
  EXPECT_EQ(Under("D:\\t"), std::vector<std::string>{"D:\\t\\j"});
}

TEST_F(FolderShredTest, KeptFoldersAndTheFoldersHoldingThemAreRefusedUntouched) {
  rig.fs.AddFolder("D:\\Users");
  rig.fs.AddFolder("D:\\Users\\me");
  rig.fs.AddFolder("D:\\Users\\me\\Documents");
  rig.fs.AddFile("D:\\Users\\me\\Documents\\mine.txt", 4);
  rig.fs.AddFolder("D:\\Users\\me\\Documents\\old");
  rig.fs.AddFile("D:\\Users\\me\\Documents\\old\\o.txt", 4);
  rig.fs.AddFolder("D:\\Tools");
  rig.fs.AddFile("D:\\Tools\\Quorvane.exe", 4);
  rig.fs.kept = {"D:\\Users\\me\\Documents", "D:\\Tools"};
  const std::vector<std::string> rows = Run({"D:\\Users", "D:\\Users\\me\\Documents", "D:\\Tools", "D:\\",
                                            "D:\\Users\\me\\Documents\\old"});
  EXPECT_EQ(rows, (std::vector<std::string>{LeftRow(kKeptFolderReason, "D:\\Users"),
                                            LeftRow(kKeptFolderReason, "D:\\Users\\me\\Documents"),
                                            LeftRow(kKeptFolderReason, "D:\\Tools"),
                                            LeftRow(RefusalText(TEntryRefusal::kRoot), "D:\\"),
                                            "SHREDDED! ... D:\\Users\\me\\Documents\\old"}));
  // Only the folder inside was counted and asked about.
  ASSERT_EQ(answer.asked.size(), 1u);
  EXPECT_EQ(answer.asked[0].size(), 1u);
  EXPECT_EQ(rig.fs.Logged("write ").size(), 1u);
  EXPECT_TRUE(rig.fs.NameExists("D:\\Users\\me\\Documents\\mine.txt"));
  EXPECT_TRUE(rig.fs.NameExists("D:\\Tools\\Quorvane.exe"));
}

TEST_F(FolderShredTest, RefusedEntriesAreNotAskedOfTheSystemAndUnknownKeptFoldersRefuseAll) {
  rig.fs.AddFolder("D:\\");  // the root is a folder too, but it is never asked of
  const std::vector<std::string> rows = Run({"\\\\.\\C:", "D:\\"});
  EXPECT_EQ(rows[0], LeftRow(RefusalText(TEntryRefusal::kDevice), "\\\\.\\C:"));
  EXPECT_EQ(rows[1], LeftRow(RefusalText(TEntryRefusal::kRoot), "D:\\"));
  for (const std::string& line : rig.fs.log)
    EXPECT_TRUE(line.find("C:") == std::string::npos && !line.ends_with(" D:\\")) << line;

  rig.fs.keptUnknown = true;
  rig.fs.log.clear();
  EXPECT_EQ(Run({"D:\\t"}), std::vector<std::string>{LeftRow(kKeptUnknownReason, "D:\\t")});
  EXPECT_TRUE(answer.asked.empty());
  EXPECT_TRUE(rig.fs.Logged("write ").empty());
}

TEST_F(FolderShredTest, WhatGoesOrIsReplacedMeanwhileKeepsTheFolder) {
  // A file moved away by another program was not shredded: its folder stays.
  rig.fs.after["flush D:\\t\\a.txt"] = [&] { rig.fs.nodes.erase("D:\\t\\z.txt"); };
  // A folder put in the place of one the run emptied, once the run let go of it.
  rig.fs.nodes["D:\\t\\sub\\empty"].attributes = IFileSystem::kReadOnly;
  rig.fs.after["setattr D:\\t\\sub\\empty 16"] = [&] {
    rig.fs.nodes.erase("D:\\t\\sub\\empty");
    rig.fs.AddFolder("D:\\t\\sub\\empty");
  };
  EXPECT_EQ(Run({"D:\\t"}), std::vector<std::string>{LeftRow("2 items in it were left, so it stays: sub\\empty (" +
                                                                std::string(kFolderNotRemovedReason) + "); z.txt (" +
                                                                std::string(kVanishedReason) + ")",
                                                            "D:\\t")});
  EXPECT_TRUE(rig.fs.NameExists("D:\\t\\sub\\empty"));
}

TEST_F(FolderShredTest, AFileInUseKeepsItsFoldersAndIsNamedInTheRow) {
  rig.fs.lockedForWriting.insert("D:\\t\\sub\\deep\\c.bin");
  rig.fs.lastError = TFileError::kInUse;
  EXPECT_EQ(Run({"D:\\t", "D:\\beside.txt"}),
            (std::vector<std::string>{
                LeftRow("1 item in it was left, so it stays: sub\\deep\\c.bin (in use by another program)", "D:\\t"),
                "SHREDDED! ... D:\\beside.txt"}));
  EXPECT_EQ(Under("D:\\t"), (std::vector<std::string>{"D:\\t\\sub", "D:\\t\\sub\\deep", "D:\\t\\sub\\deep\\c.bin"}));
  EXPECT_EQ(rig.fs.nodes["D:\\t\\sub\\deep\\c.bin"].data, std::vector<std::byte>(7, std::byte{0x5A}));
}

TEST_F(FolderShredTest, AStopInAFolderLeavesTheRestAndFilesThatAppearKeepTheirFolder) {
  rig.fs.after["flush D:\\t\\sub\\b.doc"] = [&] { rig.stop.Request(); };
  EXPECT_EQ(Run({"D:\\t", "D:\\beside.txt"}),
            (std::vector<std::string>{LeftRow("stopped after 2 of its files: it stays with what is left in it", "D:\\t"),
                                      LeftRow(kStoppedBeforeReason, "D:\\beside.txt")}));
  EXPECT_EQ(Under("D:\\t"), (std::vector<std::string>{"D:\\t\\sub", "D:\\t\\sub\\deep", "D:\\t\\sub\\deep\\c.bin",
                                                     "D:\\t\\sub\\empty", "D:\\t\\z.txt"}));
  EXPECT_EQ(rig.fs.nodes["D:\\t\\z.txt"].data, std::vector<std::byte>(1, std::byte{0x5A}));

  TEngineRig fresh;
  fresh.fs.freeSpace["D:\\"] = 1 << 20;
  fresh.fs.AddFolder("D:\\n");
  fresh.fs.AddFile("D:\\n\\old", 3);
  fresh.fs.after["flush D:\\n\\old"] = [&] { fresh.fs.AddFile("D:\\n\\new", 2); };
  EXPECT_EQ(fresh.Run({"D:\\n"}), std::vector<std::string>{LeftRow(
                                      "1 item in it was left, so it stays: D:\\n (" + std::string(kAppearedReason) + ")",
                                      "D:\\n")});
  EXPECT_EQ(fresh.fs.Under("D:\\n"), std::vector<std::string>{"D:\\n\\new"});
  EXPECT_EQ(fresh.fs.nodes["D:\\n\\new"].data, std::vector<std::byte>(2, std::byte{0x5A}));
}

TEST_F(FolderShredTest, NoToTheQuestionTouchesNothingAndFilesAloneAreNotAsked) {
  const std::vector<std::string> entries{"D:\\t", "D:\\beside.txt"};
  EXPECT_EQ(Run(entries, false), entries);
  EXPECT_EQ(rig.display.status, kFoldersDeclined);
  EXPECT_TRUE(rig.fs.Logged("write ").empty());
  EXPECT_TRUE(rig.fs.Logged("rename ").empty());

  EXPECT_EQ(Run({"D:\\beside.txt"}, false), std::vector<std::string>{"SHREDDED! ... D:\\beside.txt"});
  EXPECT_TRUE(answer.asked.empty());
  EXPECT_EQ(rig.display.status.find("(file "), std::string::npos);
}

TEST(FolderQuestionTest, NamesEachFolderWithItsFilesAndBytes) {
  EXPECT_EQ(GroupedDigits(1234567), "1,234,567");
  EXPECT_EQ(GroupedDigits(999), "999");
  EXPECT_EQ(FolderQuestionText({{"D:\\a", 1, 1, 0}, {"D:\\b", 2000, 1048576, 1}}),
            "Shred these folders whole, with everything in them?\n"
            "\nD:\\a: 1 file, 1 byte"
            "\nD:\\b: 2,000 files, 1,048,576 bytes (and 1 folder that could not be read)"
            "\n\nEvery file in them is overwritten with zeros and deleted, and the folders are removed. "
            "This cannot be undone.");
}

}  // namespace
