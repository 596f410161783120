// Where the scrub's new names sort: in the gap between a file's name and the next
// one in its folder, telling nothing the folder does not show already.
#include "engine/scrub/NameGap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/scrub/FolderNames.h"
#include "engine/NeutralNames.h"
#include "tests/support/EngineRig.h"

namespace {

using std::nullopt;
using Name = std::optional<std::string>;

struct GapCase {
  std::string name;
  Name before, after;
  std::optional<TNameGap> gap;
};

TEST(NameGap, FromTheFirstDifferenceWithTheNextNameOrFurtherAlongWhatTheNeighboursShow) {
  const std::vector<GapCase> cases = {
      // Parting from the next name at once: anything from R on, up to it.
      {"Quarterly.docx", "Board.txt", "Tax.pdf", TNameGap{"", "RS"}},
      // The last name: anything above its first character.
      {"Quarterly.docx", "Board.txt", nullopt, TNameGap{"", "RSTUVWXYZ[]^_`{}~"}},
      // Letters compare upper-cased: "REPORTS" parts from "report.doc" after "report".
      {"report.doc", nullopt, "REPORTS", TNameGap{"report", "0123456789;=@ABCDEFGHIJKLMNOPQR"}},
      // A name that begins the next one: anything below the next one's character there.
      {"ab", nullopt, "abc", TNameGap{"ab", "!#$%&'()+,-0123456789;=@AB"}},
      // Nothing between 1 and 2: the name before shows "report-1." of it, so the gap may
      // go on from "report-1" with a character above ".".
      {"report-1.pdf", "report-1.doc", "report-2.pdf",
       TNameGap{"report-1", "0123456789;=@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_`{}~"}},
      // When the name before shows less, the gap goes on along the next name instead,
      // below its "." (which the file's own name does not show).
      {"report-1.pdf", "notes", "report-2.pdf", TNameGap{"report-2", "!#$%&'()+,-"}},
      // Every name between "a1" and "a2" begins "a1"; none after "~~" begins otherwise.
      {"a1", "a0", "a2", nullopt},
      {"~~", "a", nullopt, nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto gap = FindNameGap(c.name, c.before, c.after);
    ASSERT_EQ(gap.has_value(), c.gap.has_value());
    if (!gap) continue;
    EXPECT_EQ(gap->prefix, c.gap->prefix);
    EXPECT_EQ(gap->next, c.gap->next);
  }
}

// Names of all kinds: shared prefixes, punctuation, letters of both cases, a character
// beyond ASCII, one character to the longest.
std::string RandomName(std::mt19937& random) {
  static const std::string kPieces[] = {"Report-2023-", "report-2023-0", "a", "A", "~", "-", "_", "1", "9",
                                        ".", " x", "Z", "z", "\xE9", "Quarterly-Merger-Plan-"};
  static const std::string kCharacters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_ .!~";
  std::string name;
  const std::size_t length = std::uniform_int_distribution<std::size_t>(1, 255)(random);
  while (name.size() < length) {
    if (random() % 4 == 0) name += kPieces[random() % std::size(kPieces)];
    else name += kCharacters[random() % kCharacters.size()];
  }
  name.resize(length);
  return name;
}

// How many characters two names share from the start, as the file system compares them.
std::size_t Shared(IFileSystem& order, const std::string& a, const std::string& b) {
  std::size_t n = 0;
  while (n < a.size() && n < b.size() && order.CompareNames(a.substr(n, 1), b.substr(n, 1)) == 0) ++n;
  return n;
}

// Whatever the folder and whatever names are drawn: every name made from a gap sorts
// after the file's and before the next, and shares no more of the file's name than a
// neighbour does already.
TEST(NameGap, EveryNameInAGapSortsBetweenAndShowsNoMoreThanTheNeighbours) {
  std::mt19937 random(20240521);
  TEngineRig rig;
  IFileSystem& order = rig.fs;
  TNeutralNames names(7);
  int found = 0;
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::string> folder(2 + random() % 6);
    for (auto& name : folder) name = RandomName(random);
    std::sort(folder.begin(), folder.end(), [&](const auto& a, const auto& b) { return order.CompareNames(a, b) < 0; });
    folder.erase(std::unique(folder.begin(), folder.end(), [&](const auto& a, const auto& b) { return order.CompareNames(a, b) == 0; }),
                 folder.end());
    for (std::size_t i = 0; i < folder.size(); ++i) {
      const std::string& name = folder[i];
      const Name before = i > 0 ? Name(folder[i - 1]) : nullopt;
      const Name after = i + 1 < folder.size() ? Name(folder[i + 1]) : nullopt;
      const auto gap = FindNameGap(name, before, after);
      if (!gap) continue;
      ++found;
      const std::size_t shown = std::max(before ? Shared(order, *before, name) : 0, after ? Shared(order, name, *after) : 0);
      for (const std::size_t length : {std::size_t{1}, std::size_t{8}, name.size()}) {
        const std::string made = NameInGap(names, "", *gap, length);
        SCOPED_TRACE("name \"" + name + "\", after \"" + after.value_or("") + "\", made \"" + made + "\"");
        ASSERT_LT(order.CompareNames(name, made), 0);
        if (after) {
          ASSERT_LT(order.CompareNames(made, *after), 0);
        }
        ASSERT_LE(Shared(order, made, name), shown);
        ASSERT_EQ(made.size(), std::max(length, gap->prefix.size() + 1));
      }
    }
  }
  // Most names have a gap; the test would prove little if few had.
  EXPECT_GT(found, 9000);
}

TEST(NameGap, AGapNamePrefersALetterOrDigitAndRandomOnesAfterIt) {
  TNeutralNames names(1);
  const std::set<char> plain = {'A', 'B'};
  for (int i = 0; i < 50; ++i) {
    const std::string made = NameInGap(names, "C:\\d\\", TNameGap{"ab", "-AB"}, 12);
    ASSERT_EQ(made.substr(0, 7), "C:\\d\\ab");
    EXPECT_EQ(plain.count(made[7]), 1u) << made;
    EXPECT_TRUE(std::all_of(made.begin() + 8, made.end(), [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }))
        << made;
  }
  EXPECT_EQ(NameInGap(names, "", TNameGap{"x", "-"}, 2).substr(0, 2), "x-");
}

// The scrub asks for a file's neighbours once per file; the folder is read once per
// run, and what the scrub itself renames and deletes is kept up to date.
TEST(FolderNames, AFolderIsListedOnceAndFollowsTheScrubsOwnChanges) {
  TEngineRig rig;
  auto& fs = rig.fs;
  for (const char* name : {"C:\\d\\b", "C:\\d\\D", "C:\\d\\f", "C:\\d\\sub\\a", "C:\\e\\z"}) fs.AddFile(name, 1);
  fs.AddFolder("C:\\d\\sub");
  TFolderNames folders(fs);
  const auto around = [&](const std::string& name) {
    const auto n = folders.Neighbours("C:\\d\\", name);
    return n ? n->before.value_or("-") + " " + n->after.value_or("-") : std::string("unlisted");
  };
  EXPECT_EQ(around("D"), "b f");
  EXPECT_EQ(around("d"), "b f");  // the same name to the file system
  EXPECT_EQ(around("f"), "D sub");
  EXPECT_EQ(around("b"), "- D");
  EXPECT_EQ(around("zz"), "sub -");  // a name the folder does not hold has neighbours too
  folders.Renamed("C:\\d\\", "D", "g");
  EXPECT_EQ(around("f"), "b g");
  folders.Removed("C:\\d\\", "f");
  EXPECT_EQ(around("b"), "- g");
  EXPECT_EQ(fs.listings, 1);

  fs.unreadableFolders.insert("C:\\x\\");
  EXPECT_FALSE(folders.Neighbours("C:\\x\\", "a"));
  EXPECT_FALSE(folders.Neighbours("C:\\x\\", "b"));
  EXPECT_EQ(fs.listings, 2);  // an unreadable folder is not tried again

  folders.Forget();
  EXPECT_EQ(around("b"), "- D");  // a new run sees the folder as it is
  EXPECT_EQ(fs.listings, 3);
}

}  // namespace
