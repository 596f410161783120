#include "ui/FileRows.h"

#include <windows.h>

#include "ui/HListBox.h"

int TFileRows::Count() const { return FList.Count(); }
std::string TFileRows::Text(int index) const { return FList.Text(index); }

void TFileRows::AddString(const std::string& text) {
  HoldDrawing();
  FList.AddString(text);
  FShownChanged = true;  // the scroll bars, at least
}

void TFileRows::Replace(int index, const std::string& text) {
  HoldDrawing();
  FList.Replace(index, text);
  // The row count stays, so only a row in view changes what the list shows.
  if (!FShownChanged) FShownChanged = InView(index);
}

void TFileRows::Delete(int index) {
  HoldDrawing();
  FList.Delete(index);
  FShownChanged = true;
}

void TFileRows::HoldDrawing() {
  if (FHeld || !FDeferring) return;
  ::SendMessageA(FList.Handle(), WM_SETREDRAW, FALSE, 0);
  FHeld = true;
}

void TFileRows::Flush() {
  const auto start = std::chrono::steady_clock::now();
  if (FHeld) ::SendMessageA(FList.Handle(), WM_SETREDRAW, TRUE, 0);
  FHeld = false;
  FShownChanged = false;
  FList.Repaint();
  FDrawnAt = std::chrono::steady_clock::now();
  FDrawingTook = FDrawnAt - start;
}

bool TFileRows::InView(int index) const {
  const HWND list = FList.WindowHandle();
  RECT row{}, client{}, overlap{};
  if (::SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&row)) == LB_ERR)
    return true;
  ::GetClientRect(list, &client);
  return ::IntersectRect(&overlap, &row, &client) != FALSE;
}

void TFileRows::Repaint() {
  if (!FHeld) return Flush();
  if (!FShownChanged) return;
  const auto waited = std::chrono::steady_clock::now() - FDrawnAt;
  if (waited >= kListFrame && waited >= kCostShare * FDrawingTook) Flush();
}

int TFileRows::SelCount() const { return FList.SelCount(); }
bool TFileRows::Selected(int index) const { return FList.Selected(index); }
void TFileRows::SetSelected(int index, bool selected) { FList.SetSelected(index, selected); }
void TFileRows::SetFontColor(std::uint32_t color) { FList.SetFontColor(color); }
