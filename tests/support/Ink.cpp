#include "tests/support/Ink.h"

#include "base/Handles.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>

namespace {

// A 32-bit top-down canvas whose pixels can be read directly.
class TCanvas {
 public:
  TCanvas(int width, int height) : FWidth(width), FHeight(height), FDc(::CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down: row 0 first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    FBitmap.reset(::CreateDIBSection(FDc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    FBits = static_cast<const DWORD*>(bits);
    FSelected.emplace(FDc.get(), FBitmap.get());
  }
  HDC Dc() const noexcept { return FDc.get(); }

  // The box of the pixels that are not the background colour.
  TInk InkAgainst(DWORD background) const {
    ::GdiFlush();
    TInk ink;
    ink.Box = {FWidth, FHeight, 0, 0};
    for (int y = 0; y < FHeight; ++y) {
      for (int x = 0; x < FWidth; ++x) {
        if ((Pixel(x, y) & 0xFFFFFF) == (background & 0xFFFFFF)) continue;
        ++ink.Pixels;
        ink.Box = {std::min<LONG>(ink.Box.left, x), std::min<LONG>(ink.Box.top, y),
                   std::max<LONG>(ink.Box.right, x + 1), std::max<LONG>(ink.Box.bottom, y + 1)};
      }
    }
    if (ink.Pixels == 0) ink.Box = {};
    return ink;
  }
  DWORD MostCommonColour() const {
    ::GdiFlush();
    std::map<DWORD, int> counts;
    for (int i = 0; i < FWidth * FHeight; ++i) ++counts[FBits[i] & 0xFFFFFF];
    auto most = counts.begin();
    for (auto it = counts.begin(); it != counts.end(); ++it)
      if (it->second > most->second) most = it;
    return most->first;
  }

 private:
  DWORD Pixel(int x, int y) const { return FBits[static_cast<std::size_t>(y) * FWidth + x]; }

  int FWidth;
  int FHeight;
  UniqueMemoryDc FDc;
  UniqueHBitmap FBitmap;
  const DWORD* FBits = nullptr;
  std::optional<SelectedObject> FSelected;
};

}  // namespace

TInk InkOfText(HFONT font, std::string_view text) {
  const UniqueMemoryDc probe(::CreateCompatibleDC(nullptr));
  TEXTMETRICA metrics{};
  {
    const SelectedObject selected(probe.get(), font);
    ::GetTextMetricsA(probe.get(), &metrics);
  }
  // Room for every character at twice the widest, and for overhangs on all sides:
  // the text starts at (margin, margin), and the box is given from there.
  const int margin = metrics.tmHeight;
  const int width = static_cast<int>(text.size()) * 2 * std::max(metrics.tmMaxCharWidth, metrics.tmAveCharWidth);
  const RECT all{0, 0, width + 2 * margin, metrics.tmHeight + 2 * margin};
  TCanvas canvas(all.right, all.bottom);
  ::FillRect(canvas.Dc(), &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  const SelectedObject selected(canvas.Dc(), font);
  ::SetBkMode(canvas.Dc(), TRANSPARENT);
  ::SetTextColor(canvas.Dc(), RGB(0, 0, 0));
  ::TextOutA(canvas.Dc(), margin, margin, text.data(), static_cast<int>(text.size()));
  TInk ink = canvas.InkAgainst(RGB(255, 255, 255));
  if (ink.Pixels > 0) ::OffsetRect(&ink.Box, -margin, -margin);
  return ink;
}

TInk InkOfWindow(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  TCanvas canvas(client.right, client.bottom);
  ::SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT | PRF_ERASEBKGND);
  return canvas.InkAgainst(canvas.MostCommonColour());
}

int AdvanceInPixels(HFONT font, char letter) {
  return (InkOfText(font, std::string(11, letter)).Box.right - InkOfText(font, std::string(1, letter)).Box.right) / 10;
}
