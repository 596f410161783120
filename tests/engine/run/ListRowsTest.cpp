// A row names its path however the run left it, and a second run finds it again:
// reasons hold brackets of their own, paths may hold anything.
#include "engine/run/ListRows.h"

#include <gtest/gtest.h>

#include "engine/EntryRules.h"
#include "engine/freespace/WipeTexts.h"

TEST(ListRows, EveryRowGivesBackItsPathAndReason) {
  const std::string path = "C:\\odd) ... (name";
  for (const std::string_view reason :
       {kGoneReason, kLinkReason, kInUseReason, kRecordsFailedReason, RefusalText(TEntryRefusal::kDeviceName)}) {
    SCOPED_TRACE(reason);
    const std::string row = LeftRow(reason, path);
    EXPECT_TRUE(IsLeftRow(row));
    EXPECT_EQ(EntryOfRow(row), path);
    EXPECT_EQ(ReasonOfRow(row), reason);
  }
  EXPECT_EQ(EntryOfRow("SHREDDED! ... " + path), path);
  EXPECT_EQ(EntryOfRow(path), path);
  EXPECT_EQ(ReasonOfRow(path), "");
  // Text that begins like a row but has no end to its mark is taken as it is.
  EXPECT_EQ(EntryOfRow("NOT SHREDDED (x"), "NOT SHREDDED (x");
}
