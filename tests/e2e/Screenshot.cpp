#include "tests/e2e/Screenshot.h"

#include <fstream>

#include "base/Handles.h"

TScreenshot::TScreenshot(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  POINT origin{0, 0};
  ::ClientToScreen(window, &origin);
  FWidth = client.right;
  FHeight = client.bottom;
  FPixels.assign(static_cast<std::size_t>(FWidth) * static_cast<std::size_t>(FHeight), 0);
  const WindowDc screen(nullptr);
  const UniqueMemoryDc memory(::CreateCompatibleDC(screen.get()));
  const UniqueHBitmap bitmap(::CreateCompatibleBitmap(screen.get(), FWidth, FHeight));
  {
    const SelectedObject selected(memory.get(), bitmap.get());
    ::BitBlt(memory.get(), 0, 0, FWidth, FHeight, screen.get(), origin.x, origin.y, SRCCOPY);
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = FWidth;
  info.bmiHeader.biHeight = -FHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  ::GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(FHeight), FPixels.data(), &info, DIB_RGB_COLORS);
}

COLORREF TScreenshot::At(int x, int y) const {
  const std::uint32_t p = FPixels.at(static_cast<std::size_t>(y) * static_cast<std::size_t>(FWidth) + static_cast<std::size_t>(x));
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int TScreenshot::Count(RECT area, bool (*test)(COLORREF)) const {
  int count = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x)
      if (test(At(x, y))) ++count;
  return count;
}

void TScreenshot::SaveBmp(const std::string& path) const {
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = FWidth;
  header.biHeight = -FHeight;
  header.biPlanes = 1;
  header.biBitCount = 32;
  header.biCompression = BI_RGB;
  const auto bytes = static_cast<DWORD>(FPixels.size() * sizeof(std::uint32_t));
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + bytes;
  // Opaque pixels: viewers take a zero fourth byte for full transparency.
  std::vector<std::uint32_t> opaque(FPixels);
  for (auto& pixel : opaque) pixel |= 0xFF000000u;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(opaque.data()), bytes);
}
