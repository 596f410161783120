#include "engine/EntryPaths.h"

#include <gtest/gtest.h>

TEST(EntryPaths, DriveRootComesFromTheUpperCasedFirstCharacter) {
  EXPECT_EQ(DriveRoot("c:\\x"), "C:\\");
  EXPECT_EQ(DriveRoot("D:\\x"), "D:\\");
  EXPECT_EQ(DriveRoot("\\\\server\\share\\x"), "\\:\\");
  EXPECT_EQ(DriveRoot("SHREDDED! ... C:\\x"), "S:\\");
  EXPECT_EQ(DriveRoot("\xE4:\\x"), "\xE4:\\");  // only a to z change
}

TEST(EntryPaths, TheFolderOfAPathKeepsItsSeparator) {
  EXPECT_EQ(FolderOf("C:\\a\\b.txt"), "C:\\a\\");
  EXPECT_EQ(FolderOf("C:\\b.txt"), "C:\\");
  EXPECT_EQ(FolderOf("C:b.txt"), "C:");
  EXPECT_EQ(FolderOf("\\\\server\\share\\x"), "\\\\server\\share\\");
  EXPECT_EQ(FolderOf("C:\\a\\x:y"), "C:\\a\\");  // a ':' in a name is the name's
  EXPECT_EQ(FolderOf("b.txt"), "");
}
