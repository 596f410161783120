#pragma once
// Move-only owners for Win32 handles. Each is released exactly once, on every path.

#include <windows.h>

#include <shellapi.h>

#include <cstddef>
#include <utility>

// One owner for every kind of handle. Traits name the kind:
//   using Handle = ...;                   the handle's type
//   static Handle Invalid() noexcept;     the value that means "none"
//   static void Close(Handle) noexcept;   releases one
// Invalid is a function because INVALID_HANDLE_VALUE is no constant expression.
template <typename Traits>
class UniqueHandle {
 public:
  using Handle = typename Traits::Handle;

  UniqueHandle() noexcept = default;
  explicit UniqueHandle(Handle handle) noexcept : FHandle(handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept : FHandle(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  // A copy would close the handle twice.
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  Handle get() const noexcept { return FHandle; }
  explicit operator bool() const noexcept { return FHandle != Traits::Invalid(); }
  Handle release() noexcept { return std::exchange(FHandle, Traits::Invalid()); }
  // For a call that hands a new handle back through a pointer: whatever this held is
  // released first, so nothing is overwritten unreleased.
  Handle* put() noexcept {
    reset();
    return &FHandle;
  }
  void reset(Handle handle = Traits::Invalid()) noexcept {
    if (FHandle != Traits::Invalid()) Traits::Close(FHandle);
    FHandle = handle;
  }

 private:
  Handle FHandle = Traits::Invalid();
};

// Only the owners a program uses are linked in: each layer links the system
// libraries of the kinds it owns (gdi32, user32, advapi32, shell32).

// Most kinds are empty when null (HKEY, HGLOBAL, HDROP, GDI objects, ...).
template <typename HandleType>
struct NullIsInvalid {
  using Handle = HandleType;
  static Handle Invalid() noexcept { return nullptr; }
};

// CreateFileA and FindFirstFileA fail with INVALID_HANDLE_VALUE, not null.
struct InvalidHandleValueIsInvalid {
  using Handle = HANDLE;
  static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
};

// The close results are ignored throughout: nothing can be done about a failed close,
// and the handle is gone from our side either way.
struct FileTraits : InvalidHandleValueIsInvalid {
  static void Close(HANDLE file) noexcept { ::CloseHandle(file); }
};
// A kernel object that is null when its creation fails (a mutex, an event, a process).
struct KernelObjectTraits : NullIsInvalid<HANDLE> {
  static void Close(HANDLE object) noexcept { ::CloseHandle(object); }
};
// FindFirstFileA's search handle.
struct FindTraits : InvalidHandleValueIsInvalid {
  static void Close(HANDLE find) noexcept { ::FindClose(find); }
};
struct HKeyTraits : NullIsInvalid<HKEY> {
  static void Close(HKEY key) noexcept { ::RegCloseKey(key); }
};
template <typename GdiObject>
struct GdiObjectTraits : NullIsInvalid<GdiObject> {
  static void Close(GdiObject object) noexcept { ::DeleteObject(object); }
};
struct HGlobalTraits : NullIsInvalid<HGLOBAL> {
  static void Close(HGLOBAL memory) noexcept { ::GlobalFree(memory); }
};
// LocalAlloc's memory, as CommandLineToArgvW and FormatMessage hand it out.
struct HLocalTraits : NullIsInvalid<HLOCAL> {
  static void Close(HLOCAL memory) noexcept { ::LocalFree(memory); }
};
// The shell's drop memory.
struct HDropTraits : NullIsInvalid<HDROP> {
  static void Close(HDROP drop) noexcept { ::DragFinish(drop); }
};
// A font registered for this process alone (AddFontMemResourceEx).
struct FontMemoryTraits : NullIsInvalid<HANDLE> {
  static void Close(HANDLE fonts) noexcept { ::RemoveFontMemResourceEx(fonts); }
};
struct HMenuTraits : NullIsInvalid<HMENU> {
  static void Close(HMENU menu) noexcept { ::DestroyMenu(menu); }
};
struct HIconTraits : NullIsInvalid<HICON> {
  static void Close(HICON icon) noexcept { ::DestroyIcon(icon); }
};

// A DC of our own making (CreateCompatibleDC), not one borrowed from a window.
struct MemoryDcTraits : NullIsInvalid<HDC> {
  static void Close(HDC dc) noexcept { ::DeleteDC(dc); }
};

using UniqueFile = UniqueHandle<FileTraits>;
using UniqueFind = UniqueHandle<FindTraits>;
using UniqueKernelObject = UniqueHandle<KernelObjectTraits>;
using UniqueHKey = UniqueHandle<HKeyTraits>;
using UniqueHFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueHBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniqueHBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueHGlobal = UniqueHandle<HGlobalTraits>;
using UniqueHLocal = UniqueHandle<HLocalTraits>;
using UniqueHDrop = UniqueHandle<HDropTraits>;
using UniqueFontMemory = UniqueHandle<FontMemoryTraits>;
using UniqueHMenu = UniqueHandle<HMenuTraits>;
using UniqueHIcon = UniqueHandle<HIconTraits>;

// Movable memory locked while it is read or written, with its size: nothing may
// read past the block. Empty when the lock fails.
class GlobalLockScope {
 public:
  explicit GlobalLockScope(HGLOBAL memory) noexcept
      : FMemory(memory), FData(::GlobalLock(memory)), FSize(FData != nullptr ? ::GlobalSize(memory) : 0) {}
  GlobalLockScope(const GlobalLockScope&) = delete;
  GlobalLockScope& operator=(const GlobalLockScope&) = delete;
  ~GlobalLockScope() {
    if (FData != nullptr) ::GlobalUnlock(FMemory);
  }

  void* data() const noexcept { return FData; }
  std::size_t size() const noexcept { return FSize; }

 private:
  HGLOBAL FMemory;
  void* FData;
  std::size_t FSize;
};

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
