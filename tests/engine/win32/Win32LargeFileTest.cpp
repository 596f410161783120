// A real file beyond 2^31 bytes: 32-bit lengths or counts would skip it or stop
// short, and a 32-bit progress range would overflow. Sparse, so it costs disk space
// only while the zeros are written.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "base/Handles.h"
#include "engine/run/ShredEngine.h"
#include "engine/win32/Win32FileSystem.h"
#include "tests/support/EngineRig.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr std::int64_t kSize = 2684354560;  // 2.5 GiB
// Both ends, both sides of block, 2^31 and 2^32-adjacent boundaries, and an odd spot.
constexpr std::int64_t kMarkerOffsets[] = {0,          16383,      16384,           2147483647,
                                           2147483648, 2147500037, kSize - 16385,   kSize - 1};
constexpr char kMarker = '\xA5';

UniqueFile OpenShared(const std::string& path, DWORD access, DWORD disposition) {
  UniqueFile file(::CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw std::runtime_error("cannot open " + path + ": error " + std::to_string(::GetLastError()));
  return file;
}

void Seek(const UniqueFile& file, std::int64_t offset) {
  LARGE_INTEGER to{};
  to.QuadPart = offset;
  if (!::SetFilePointerEx(file.get(), to, nullptr, FILE_BEGIN)) throw std::runtime_error("cannot seek");
}

// Only the marker bytes are written; everything between them stays a hole.
void MakeSparseFileWithMarkers(const std::string& path) {
  const UniqueFile file = OpenShared(path, GENERIC_WRITE, CREATE_NEW);
  for (const std::int64_t offset : kMarkerOffsets) {
    Seek(file, offset);
    DWORD written = 0;
    if (!::WriteFile(file.get(), &kMarker, 1, &written, nullptr) || written != 1)
      throw std::runtime_error("cannot write a marker");
  }
}

char ByteAt(const std::string& path, std::int64_t offset) {
  const UniqueFile file = OpenShared(path, GENERIC_READ, OPEN_EXISTING);
  Seek(file, offset);
  char byte = 0;
  DWORD read = 0;
  if (!::ReadFile(file.get(), &byte, 1, &read, nullptr) || read != 1) throw std::runtime_error("cannot read");
  return byte;
}

std::int64_t LengthOf(const std::string& path) {
  const UniqueFile file = OpenShared(path, GENERIC_READ, OPEN_EXISTING);
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) throw std::runtime_error("cannot size");
  return size.QuadPart;
}

TEST(Win32LargeFileTest, FileBeyondTwoGibibytesIsOverwrittenToItsLastByteWithScaledProgress) {
  TTempFolder folder;
  ULARGE_INTEGER available{};
  ASSERT_TRUE(::GetDiskFreeSpaceExA(folder.Path().c_str(), &available, nullptr, nullptr));
  if (available.QuadPart < static_cast<ULONGLONG>(kSize) + (1ull << 30))
    GTEST_SKIP() << "needs 3.5 GiB free in " << folder.Path() << " for the zeros";

  const std::string path = folder / "large.bin";
  MakeSparseFileWithMarkers(path);
  ASSERT_EQ(LengthOf(path), kSize);
  ASSERT_EQ(ByteAt(path, kSize - 1), kMarker);

  TEngineRigOn<TWin32FileSystem> rig;
  EXPECT_EQ(rig.Shred(path), kSize);

  for (const std::int64_t offset : kMarkerOffsets) EXPECT_EQ(ByteAt(path, offset), '\0') << "at " << offset;
  EXPECT_EQ(LengthOf(path), kSize);

  // The bar's 32-bit range holds 2.5 GiB only halved: maximum and positions share
  // the divisor 2, and the bar reaches its maximum exactly before going back to 0.
  const std::int32_t halfSize = static_cast<std::int32_t>(kSize / 2);
  EXPECT_EQ(rig.display.min, 0);
  EXPECT_EQ(rig.display.max, halfSize);
  const std::vector<std::int32_t>& positions = rig.display.positions;
  constexpr std::size_t kBlocks = kSize / 16384;
  ASSERT_EQ(positions.size(), kBlocks + 2);  // 0 at the start, one per block, 0 at the end
  EXPECT_EQ(positions.front(), 0);
  EXPECT_EQ(positions[1], 8192);
  EXPECT_EQ(positions[kBlocks], halfSize);
  EXPECT_EQ(positions.back(), 0);
  EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end() - 1));
}

}  // namespace
