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
  HANDLE get() const noexcept { return FHandle; }

 private:
  HANDLE FHandle;
};

// Closers for the null-invalid kinds the program holds.
struct HKeyCloser {
  // Nothing can be done about a failed close; the key is gone from our side either way.
  void operator()(HKEY key) const noexcept { ::RegCloseKey(key); }
};
struct GdiObjectCloser {
  void operator()(HGDIOBJ object) const noexcept { ::DeleteObject(object); }
};
struct HGlobalCloser {
  void operator()(HGLOBAL memory) const noexcept { ::GlobalFree(memory); }
};
struct MenuCloser {
  void operator()(HMENU menu) const noexcept { ::DestroyMenu(menu); }
};
struct IconCloser {
  void operator()(HICON icon) const noexcept { ::DestroyIcon(icon); }
};

using UniqueHKey = UniqueHandle<HKEY, HKeyCloser>;
using UniqueHFont = UniqueHandle<HFONT, GdiObjectCloser>;
using UniqueHBrush = UniqueHandle<HBRUSH, GdiObjectCloser>;
using UniqueHGlobal = UniqueHandle<HGLOBAL, HGlobalCloser>;
using UniqueHMenu = UniqueHandle<HMENU, MenuCloser>;
using UniqueHIcon = UniqueHandle<HICON, IconCloser>;

// A window's device context: ReleaseDC needs the window it came from.
class WindowDc {
 public:
  explicit WindowDc(HWND window) noexcept : FWindow(window), FDc(::GetDC(window)) {}
  WindowDc(WindowDc&& other) noexcept
      : FWindow(std::exchange(other.FWindow, nullptr)), FDc(std::exchange(other.FDc, nullptr)) {}
  WindowDc& operator=(WindowDc&&) = delete;
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (FDc != nullptr) ::ReleaseDC(FWindow, FDc);
  }

  HDC get() const noexcept { return FDc; }
  explicit operator bool() const noexcept { return FDc != nullptr; }

 private:
  HWND FWindow;
  HDC FDc;
};

// An object selected into a DC; the one it replaced goes back in when this ends,
// so the DC is never released or deleted with our object still inside it.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) noexcept : FDc(dc), FPrevious(::SelectObject(dc, object)) {}
  SelectedObject(SelectedObject&& other) noexcept
      : FDc(std::exchange(other.FDc, nullptr)), FPrevious(std::exchange(other.FPrevious, nullptr)) {}
  SelectedObject& operator=(SelectedObject&&) = delete;
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (FDc != nullptr && FPrevious != nullptr && FPrevious != HGDI_ERROR) ::SelectObject(FDc, FPrevious);
  }

 private:
  HDC FDc;
  HGDIOBJ FPrevious;
};

// BeginPaint and its EndPaint, for a WM_PAINT handler.
class PaintDc {
 public:
  explicit PaintDc(HWND window) noexcept : FWindow(window) { ::BeginPaint(window, &FPaint); }
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  ~PaintDc() { ::EndPaint(FWindow, &FPaint); }

  HDC get() const noexcept { return FPaint.hdc; }

 private:
  HWND FWindow;
  PAINTSTRUCT FPaint{};
};
