// The built program on drives a test script has mounted for it: a small tmpfs for
// the free-space fill, and an ext4 image whose raw bytes the script checks before and after.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

#include "tests/e2e/RemoteProgram.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowProbe.h"
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
  ASSERT_TRUE(program.Run());
  const auto items = program.ListItems();
  ASSERT_EQ(items.size(), 2u);
  EXPECT_NE(std::find(items.begin(), items.end(), "SHREDDED! ... " + fill), items.end());
  EXPECT_NE(std::find(items.begin(), items.end(), "SHREDDED! ... " + secret), items.end());
  EXPECT_FALSE(PathExists(fill));
  EXPECT_FALSE(PathExists(secret));
  EXPECT_EQ(FreeBytes(fillRoot), freeBefore);
  EXPECT_TRUE(program.Close());
}

// A fill of a large drive, under way: the program, the fill's name, and the free
// space the drive had before it.
class LargeFillTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(root.empty()) << "run by e2e-drives.sh";
    freeBefore = FreeBytes(root);
    ASSERT_GT(freeBefore, std::int64_t{1} << 30);
    program.Drop({fill});
    program.Click(kIdBtnWipe);
  }
  // Waits until the fill has taken this share of the free space.
  void WaitUntilFilled(double share) {
    const auto target = static_cast<std::int64_t>(static_cast<double>(freeBefore) * (1 - share));
    WaitFor([&] { return FreeBytes(root) <= target; }, std::chrono::minutes(2));
    ASSERT_LE(FreeBytes(root), target) << "the fill never got that far";
  }
  // Every byte of the drive is free again: the fill left no file behind.
  void ExpectTheDriveAsItWas() {
    EXPECT_FALSE(PathExists(fill));
    EXPECT_EQ(FreeBytes(root), freeBefore);
  }

  const std::string root = Env("QUORVANE_LARGE_FILL_ROOT");  // e.g. Q:\ on an 8 GiB tmpfs
  const std::string fill = root + "wipe-free-space";
  std::int64_t freeBefore = 0;
  TRemoteProgram program{Env("QUORVANE_EXE")};
};

TEST_F(LargeFillTest, AFillStoppedHalfWayLeavesTheDriveAsItWas) {
  WaitUntilFilled(0.5);
  program.Click(kIdBtnWipe);
  ASSERT_TRUE(program.WaitForRunEnd(60000)) << "Stop did not end the run";
  EXPECT_EQ(program.ListItems(),
            std::vector<std::string>{"NOT SHREDDED (stopped: the free space is only partly overwritten) ... " + fill})
      << "a stopped fill is not marked";
  ExpectTheDriveAsItWas();
  EXPECT_TRUE(program.Close());
}

TEST_F(LargeFillTest, AWindowClosedMidFillLeavesNothing) {
  WaitUntilFilled(0.25);
  const ULONGLONG asked = ::GetTickCount64();
  ::PostMessageA(program.Window(), WM_CLOSE, 0, 0);
  ASSERT_EQ(program.WaitForExit(60000), 0) << "the program did not end by itself";
  std::printf("the program ended %llu ms after it was asked to close\n", ::GetTickCount64() - asked);
  ExpectTheDriveAsItWas();
}

// Once Windows has been told the session ends, the process may go at any moment:
// by then the fill is gone.
TEST_F(LargeFillTest, WindowsEndingTheSessionMidFillLeavesNothing) {
  WaitUntilFilled(0.25);
  DWORD_PTR answer = 0;
  ASSERT_TRUE(::SendMessageTimeoutA(program.Window(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 60000, &answer));
  EXPECT_NE(answer, 0u) << "the program may let the session end";
  ASSERT_TRUE(::SendMessageTimeoutA(program.Window(), WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 60000, &answer));
  ExpectTheDriveAsItWas();
}

}  // namespace
