#include "framework/Graphics.h"

#include "base/Exception.h"
#include "base/MessageFormat.h"

COLORREF ColorToRGB(TColor color) noexcept {
  if ((color & kSystemColor) != 0) return ::GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0x00FFFFFF;
}

UniqueHFont CreateFontFromSpec(const TFontSpec& stored) {
  const std::string face(stored.Name);
  // A negative height asks for the character height, which is what layouts store.
  UniqueHFont font(::CreateFontA(-stored.Height, 0, 0, 0, stored.Bold ? FW_BOLD : FW_NORMAL, FALSE, stored.Underline,
                                 FALSE, stored.Charset, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                 DEFAULT_PITCH | FF_DONTCARE, face.c_str()));
  if (!font) throw Exception(FormatMessage1("Cannot create the font '%s'", face));
  return font;
}

HBRUSH TSolidBrush::Get(TColor color) {
  const COLORREF rgb = ColorToRGB(color);
  if (!FBrush || rgb != FColor) {
    FBrush.reset(::CreateSolidBrush(rgb));
    FColor = rgb;
  }
  return FBrush.get();
}
