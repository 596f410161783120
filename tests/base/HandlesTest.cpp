#include "base/Handles.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(HandlesTest, SelectedObjectPutsThePreviousObjectBackOnEveryPath) {
  const WindowDc dc(::GetDesktopWindow());
  ASSERT_TRUE(dc);
  const HGDIOBJ before = ::GetCurrentObject(dc.get(), OBJ_FONT);
  const HGDIOBJ other = ::GetStockObject(before == ::GetStockObject(ANSI_FIXED_FONT) ? SYSTEM_FONT : ANSI_FIXED_FONT);
  try {
    const SelectedObject selected(dc.get(), other);
    EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), other);
    throw 1;
  } catch (int) {
  }
  EXPECT_EQ(::GetCurrentObject(dc.get(), OBJ_FONT), before);
}

TEST(HandlesTest, AMovedOwnerLeavesItsSourceEmptyAndClosesOnce) {
  HKEY raw = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\QuorvaneHandlesTest", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &raw, nullptr),
            ERROR_SUCCESS);
  UniqueHKey first(raw);
  UniqueHKey second(std::move(first));
  EXPECT_FALSE(first);
  EXPECT_EQ(second.get(), raw);
  second.reset();
  EXPECT_FALSE(second);
  // The handle is closed now: using it must fail.
  EXPECT_NE(::RegSetValueExA(raw, "x", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1), ERROR_SUCCESS);
  ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\QuorvaneHandlesTest");
}

// An out-parameter through put() frees what the owner held before taking the new one.
TEST(HandlesTest, PutReleasesTheOldHandleBeforeTakingTheNew) {
  UniqueHGlobal owner(::GlobalAlloc(GMEM_MOVEABLE, 16));
  const HGLOBAL old = owner.get();
  ASSERT_NE(old, nullptr);
  const HGLOBAL fresh = ::GlobalAlloc(GMEM_MOVEABLE, 16);  // made first, so it cannot take the old one's place
  *owner.put() = fresh;
  EXPECT_EQ(::GlobalFlags(old), static_cast<UINT>(GMEM_INVALID_HANDLE));
  EXPECT_EQ(owner.get(), fresh);
}

TEST(HandlesTest, UniqueHGlobalFreesItsMemory) {
  const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, 16);
  ASSERT_NE(memory, nullptr);
  { const UniqueHGlobal owner(memory); }
  EXPECT_EQ(::GlobalFlags(memory), static_cast<UINT>(GMEM_INVALID_HANDLE));
}

// A file opened without sharing refuses a second open until its owner closes it.
TEST(HandlesTest, UniqueFileIsEmptyForAFailedOpenAndClosesItsFile) {
  const TTempFolder folder;
  const std::string path = folder / "held.txt";
  const UniqueFile failed(::CreateFileA((folder / "missing.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_FALSE(failed);
  UniqueFile held(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(held);
  const auto openAgain = [&] {
    return UniqueFile(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  };
  EXPECT_FALSE(openAgain());
  held.reset();
  EXPECT_FALSE(held);
  EXPECT_TRUE(openAgain());
}

// A search left open keeps its folder busy: under Wine neither its file nor the folder
// can be removed then.
TEST(HandlesTest, UniqueFindIsEmptyWhenNothingMatchesAndClosesItsSearch) {
  const TTempFolder folder;
  const std::string inner = folder / "inner";
  ASSERT_TRUE(::CreateDirectoryA(inner.c_str(), nullptr));
  WIN32_FIND_DATAA data{};
  EXPECT_FALSE(UniqueFind(::FindFirstFileA((inner + "\\nothing-*").c_str(), &data)));
  WriteFileBytes(inner + "\\one.txt", "1");
  {
    const UniqueFind search(::FindFirstFileA((inner + "\\*.txt").c_str(), &data));
    ASSERT_TRUE(search);
    EXPECT_STREQ(data.cFileName, "one.txt");
  }
  EXPECT_TRUE(::DeleteFileA((inner + "\\one.txt").c_str())) << ::GetLastError();
  EXPECT_TRUE(::RemoveDirectoryA(inner.c_str())) << ::GetLastError();
}

TEST(HandlesTest, UniqueHFontAndUniqueHBrushDeleteTheirObjects) {
  LOGFONTA description{};
  description.lfHeight = 12;
  const HFONT font = ::CreateFontIndirectA(&description);
  const HBRUSH brush = ::CreateSolidBrush(RGB(1, 2, 3));
  ASSERT_NE(font, nullptr);
  ASSERT_NE(brush, nullptr);
  {
    const UniqueHFont fontOwner(font);
    const UniqueHBrush brushOwner(brush);
  }
  EXPECT_EQ(::GetObjectType(font), 0u);
  EXPECT_EQ(::GetObjectType(brush), 0u);
}

TEST(HandlesTest, UniqueMemoryDcAndUniqueHBitmapDeleteTheirObjects) {
  const WindowDc screen(nullptr);
  const HDC dc = ::CreateCompatibleDC(screen.get());
  const HBITMAP bitmap = ::CreateCompatibleBitmap(screen.get(), 4, 4);
  ASSERT_EQ(::GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
  ASSERT_EQ(::GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));
  {
    const UniqueMemoryDc dcOwner(dc);
    const UniqueHBitmap bitmapOwner(bitmap);
  }
  EXPECT_EQ(::GetObjectType(dc), 0u);
  EXPECT_EQ(::GetObjectType(bitmap), 0u);
}

TEST(HandlesTest, UniqueHMenuDestroysItsMenu) {
  const HMENU menu = ::CreatePopupMenu();
  ASSERT_TRUE(::IsMenu(menu));
  { const UniqueHMenu owner(menu); }
  EXPECT_FALSE(::IsMenu(menu));
}

TEST(HandlesTest, UniqueHIconDestroysItsIcon) {
  const HICON icon = ::CopyIcon(::LoadIconA(nullptr, IDI_APPLICATION));
  ASSERT_NE(icon, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(icon, &info));
  ::DeleteObject(info.hbmColor);
  ::DeleteObject(info.hbmMask);
  { const UniqueHIcon owner(icon); }
  EXPECT_FALSE(::GetIconInfo(icon, &info));
}

}  // namespace
