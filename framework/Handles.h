#pragma once
// Move-only owners for Win32 handles. Each is released exactly once, on every path.

#include <windows.h>

#include <utility>

// For handles whose empty value is null (HKEY, HGLOBAL, HDROP, ...); Closer releases one.
template <typename Handle, typename Closer>
class UniqueHandle {
 public:
  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Handle handle) noexcept : FHandle(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : FHandle(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Handle get() const noexcept { return FHandle; }
  explicit operator bool() const noexcept { return FHandle != nullptr; }
  Handle release() noexcept { return std::exchange(FHandle, nullptr); }
  void reset(Handle handle = nullptr) noexcept {
    if (FHandle != nullptr) Closer{}(FHandle);
    FHandle = handle;
  }

 private:
  Handle FHandle = nullptr;
};

// Files: empty is INVALID_HANDLE_VALUE, not null.
class UniqueFile {
 public:
  UniqueFile() noexcept = default;
  explicit UniqueFile(HANDLE handle) noexcept : FHandle(handle) {}
  UniqueFile(UniqueFile&& other) noexcept : FHandle(std::exchange(other.FHandle, INVALID_HANDLE_VALUE)) {}
  UniqueFile& operator=(UniqueFile&& other) noexcept {
    if (this != &other) reset(std::exchange(other.FHandle, INVALID_HANDLE_VALUE));
    return *this;
  }
  UniqueFile(const UniqueFile&) = delete;
  UniqueFile& operator=(const UniqueFile&) = delete;
  ~UniqueFile() { reset(); }

  HANDLE get() const noexcept { return FHandle; }
  explicit operator bool() const noexcept { return FHandle != INVALID_HANDLE_VALUE; }
  void reset(HANDLE handle = INVALID_HANDLE_VALUE) noexcept {
    if (FHandle != INVALID_HANDLE_VALUE) ::CloseHandle(FHandle);
    FHandle = handle;
  }

 private:
  HANDLE FHandle = INVALID_HANDLE_VALUE;
};

// FindFirstFileA's search handle: also INVALID_HANDLE_VALUE when empty, closed with FindClose.
class UniqueFind {
 public:
  explicit UniqueFind(HANDLE handle) noexcept : FHandle(handle) {}
  UniqueFind(const UniqueFind&) = delete;
  UniqueFind& operator=(const UniqueFind&) = delete;
  ~UniqueFind() {
    if (FHandle != INVALID_HANDLE_VALUE) ::FindClose(FHandle);
  }
  explicit operator bool() const noexcept { return FHandle != INVALID_HANDLE_VALUE; }

 private:
  HANDLE FHandle;
};
