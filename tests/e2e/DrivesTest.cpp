// The built program on drives a test script has mounted for it: a small tmpfs for
// the free-space fill, and an ext4 image whose raw bytes the script checks before and after.
#include <windows.h>

#include <cstdlib>
#include <gtest/gtest.h>

#include "tests/e2e/RemoteProgram.h"
#include "tests/support/TempFolder.h"
#include "ui/ShredderIds.h"

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::int64_t FreeBytes(const std::string& root) {
  ULARGE_INTEGER available{}, total{}, totalFree{};
  if (!::GetDiskFreeSpaceExA(root.c_str(), &available, &total, &totalFree)) return -1;
  return static_cast<std::int64_t>(available.QuadPart);
}

TEST(DrivesTest, AFreeSpaceFillAndAFileOnAJournalledDiskAreShredded) {
  const std::string fillRoot = Env("QUORVANE_FILL_ROOT");     // e.g. K:\ on a small tmpfs
  const std::string mediumRoot = Env("QUORVANE_MEDIUM_ROOT"); // e.g. L:\ on an ext4 image
  ASSERT_FALSE(fillRoot.empty() || mediumRoot.empty()) << "run by e2e-drives.sh";

  const std::string secret = mediumRoot + "secret.txt";  // written and synced by the script
  ASSERT_TRUE(PathExists(secret));
  const std::string fill = fillRoot + "wipe-free-space";
  const std::int64_t freeBefore = FreeBytes(fillRoot);
  ASSERT_GT(freeBefore, 0);

  TRemoteProgram program(Env("QUORVANE_EXE"));
  program.Drop({fill, secret});
  program.Click(kIdBtnWipe);
  const auto items = program.ListItems();
  ASSERT_EQ(items.size(), 2u);
  EXPECT_NE(std::find(items.begin(), items.end(), "SHREDDED! ... " + fill), items.end());
  EXPECT_NE(std::find(items.begin(), items.end(), "SHREDDED! ... " + secret), items.end());
  EXPECT_FALSE(PathExists(fill));
  EXPECT_FALSE(PathExists(secret));
  EXPECT_EQ(FreeBytes(fillRoot), freeBefore);
  EXPECT_TRUE(program.Close());
}

}  // namespace
