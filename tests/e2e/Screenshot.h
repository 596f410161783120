#pragma once
// What the screen shows of a window, read back through GDI.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class TScreenshot {
 public:
  // The client area of the window as it is on the screen now.
  explicit TScreenshot(HWND window);
  COLORREF At(int x, int y) const;  // client coordinates
  int Count(RECT area, bool (*test)(COLORREF)) const;
  void SaveBmp(const std::string& path) const;
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }

 private:
  int FWidth = 0;
  int FHeight = 0;
  std::vector<std::uint32_t> FPixels;  // top-down, 0x00RRGGBB
};
