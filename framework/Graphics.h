#pragma once
// Colours and fonts as the layouts store them, and the GDI objects made from them.

#include "base/Handles.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

// A COLORREF (0x00BBGGRR), or a system colour: 0x80000000 | COLOR_xxx, resolved when
// drawn so that it follows the user's scheme.
using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor kSystemColor = 0x80000000;
constexpr TColor clBtnFace = kSystemColor | COLOR_BTNFACE;
constexpr TColor clWindow = kSystemColor | COLOR_WINDOW;
constexpr TColor clWindowText = kSystemColor | COLOR_WINDOWTEXT;
// "Not stored": the control takes its parent's colour, or its kind's own default.
constexpr TColor clDefault = 0x20000000;

constexpr TColor RGBColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return TColor{red} | (TColor{green} << 8) | (TColor{blue} << 16);
}

COLORREF ColorToRGB(TColor color) noexcept;

// A font as stored in a layout. An empty Name means "the parent's font"; Color
// clDefault means "the parent's font colour".
struct TFontSpec {
  std::string_view Name{};
  int Height = 0;  // character height in pixels, without the internal leading
  bool Bold = false;
  bool Underline = false;
  BYTE Charset = DEFAULT_CHARSET;
  TColor Color = clDefault;
};

// Throws Exception when the system cannot make the font.
UniqueHFont CreateFontFromSpec(const TFontSpec& stored);

// A solid brush that is remade only when its colour changes.
class TSolidBrush {
 public:
  HBRUSH Get(TColor color);

 private:
  UniqueHBrush FBrush;
  COLORREF FColor = 0;
};
