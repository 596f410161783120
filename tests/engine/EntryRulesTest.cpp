// What an entry may name, decided on its text alone: every kind of entry the shell,
// the dialog, the command line or a tool can hand the program.
#include "engine/EntryRules.h"

#include <gtest/gtest.h>

namespace {

using R = TEntryRefusal;

TEST(EntryRules, OnlyFullPathsOfFilesOnADriveOrAShareAreAccepted) {
  struct Case {
    const char* entry;
    TEntryRefusal expected;
  };
  for (const Case& c : {
           Case{"C:\\a.txt", R::kAccepted},
           Case{"c:\\dir\\a.txt.", R::kAccepted},           // a trailing dot is the name's own
           Case{"C:\\dir\\lone ", R::kAccepted},            // and so is a trailing blank
           Case{"C:\\dir\\missing-name", R::kAccepted},     // a fill's place
           Case{"\\\\server\\share\\a.txt", R::kAccepted},
           Case{"\\\\?\\C:\\a.txt", R::kAccepted},
           Case{"\\\\?\\UNC\\server\\share\\d\\a.txt", R::kAccepted},
           Case{"\\\\?\\Volume{0b1c7f4e-1a2b-11ee-9c3d-806e6f6e6963}\\d\\a.txt", R::kAccepted},
           Case{"C:\\dir\\CONSOLE.txt", R::kAccepted},      // not a device: CON is the whole part
           Case{"C:\\dir\\COM10", R::kAccepted},
           // Devices and volumes.
           Case{"\\\\.\\PhysicalDrive0", R::kDevice},
           Case{"\\\\.\\C:", R::kDevice},
           Case{"//./C:", R::kDevice},
           Case{"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1\\a.txt", R::kDevice},
           Case{"\\??\\C:\\a.txt", R::kDevice},
           Case{"\\\\?\\Volume{0b1c7f4e-1a2b-11ee-9c3d-806e6f6e6963}", R::kRoot},
           Case{"\\\\?\\pipe\\x", R::kDevice},
           // Names Windows takes for devices, in any folder.
           Case{"C:\\x\\NUL", R::kDeviceName},
           Case{"C:\\x\\nul.txt", R::kDeviceName},
           Case{"C:\\x\\con .log", R::kDeviceName},
           Case{"C:\\x\\COM1", R::kDeviceName},
           Case{"C:\\x\\lpt9.tar.gz", R::kDeviceName},
           Case{"C:\\x\\AUX.", R::kDeviceName},
           Case{"C:\\x\\COM\xB9", R::kDeviceName},
           Case{"\\\\?\\C:\\PRN", R::kDeviceName},
           // Streams, relative paths, wildcards, roots.
           Case{"C:\\file.txt:stream", R::kStream},
           Case{"C:\\file.txt:Zone.Identifier:$DATA", R::kStream},
           Case{"a.txt", R::kNotFull},
           Case{"dir\\a.txt", R::kNotFull},
           Case{"C:a.txt", R::kNotFull},
           Case{"\\a.txt", R::kNotFull},
           Case{"C:\\a\\..\\b.txt", R::kNotFull},
           Case{"C:\\a\\.\\b.txt", R::kNotFull},
           Case{"C:\\a\\\\b.txt", R::kNotFull},
           Case{"\\\\server", R::kNotFull},
           Case{"", R::kNotFull},
           Case{"C:\\*.txt", R::kWildcards},
           Case{"C:\\a?.txt", R::kWildcards},
           Case{"C:\\", R::kRoot},
           Case{"C:/", R::kRoot},
           Case{"\\\\?\\C:\\", R::kRoot},
           Case{"\\\\server\\share\\", R::kRoot},
           Case{"\\\\server\\share", R::kRoot},
       }) {
    EXPECT_EQ(CheckEntry(c.entry), c.expected) << c.entry;
  }
}

TEST(EntryRules, EveryRefusalIsToldAndAnAcceptanceIsNot) {
  EXPECT_TRUE(RefusalText(R::kAccepted).empty());
  for (const auto refusal : {R::kDevice, R::kDeviceName, R::kStream, R::kNotFull, R::kWildcards, R::kRoot})
    EXPECT_FALSE(RefusalText(refusal).empty());
}

}  // namespace
