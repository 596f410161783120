#pragma once
// What a text or a window puts on the screen, measured in pixels: the box around
// every pixel that differs from the background. A measurement of its own, so that
// a test of a size the code computes from font metrics can check it against what
// is drawn, not against the same computation.

#include <windows.h>

#include <string_view>

struct TInk {
  int Pixels = 0;  // how many pixels differ from the background
  RECT Box{};      // their bounding box, right and bottom exclusive; empty when none
  int Width() const noexcept { return Box.right - Box.left; }
  int Height() const noexcept { return Box.bottom - Box.top; }
};

// The text drawn with TextOut in the font, black on white, on a canvas large enough
// for it; the box is given from the point the text was drawn at.
TInk InkOfText(HFONT font, std::string_view text);

// The window's client area as it paints itself (WM_PRINTCLIENT); the background is
// the colour of most of its pixels.
TInk InkOfWindow(HWND window);

// How far one character advances in the font, from the pixels alone: how far the
// ink's right edge moves when ten more of the character are drawn before it.
int AdvanceInPixels(HFONT font, char letter);
