#include "engine/EntryPaths.h"

#include <gtest/gtest.h>

TEST(EntryPaths, TheFolderOfAPathKeepsItsSeparator) {
  EXPECT_EQ(FolderOf("C:\\a\\b.txt"), "C:\\a\\");
  EXPECT_EQ(FolderOf("C:\\b.txt"), "C:\\");
  EXPECT_EQ(FolderOf("C:b.txt"), "C:");
  EXPECT_EQ(FolderOf("\\\\server\\share\\x"), "\\\\server\\share\\");
  EXPECT_EQ(FolderOf("C:\\a\\x:y"), "C:\\a\\");  // a ':' in a name is the name's
  EXPECT_EQ(FolderOf("b.txt"), "");
}
