#include "framework/Handles.h"

#include <gtest/gtest.h>

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

TEST(HandlesTest, UniqueHGlobalFreesItsMemory) {
  const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, 16);
  ASSERT_NE(memory, nullptr);
  { const UniqueHGlobal owner(memory); }
  EXPECT_EQ(::GlobalFlags(memory), static_cast<UINT>(GMEM_INVALID_HANDLE));
}

}  // namespace
