#include "ui/DeferredDrawing.h"

void TDeferredDrawing::Open() noexcept {
  if (FOpenScopes++ > 0) return;
  FRows.SetDeferring(true);
  FScreen.SetDeferring(true);
}

// Nothing can be reported from here: the command's own error, if any, is on its way
// to the user. What cannot be drawn now is drawn by the next WM_PAINT.
void TDeferredDrawing::Close() noexcept {
  if (--FOpenScopes > 0) return;
  FRows.SetDeferring(false);
  FScreen.SetDeferring(false);
  try {
    FRows.Flush();
    FScreen.Flush();
  } catch (...) {
  }
}
