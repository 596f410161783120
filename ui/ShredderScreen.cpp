#include "ui/ShredderScreen.h"

#include <windows.h>

#include "framework/Label.h"
#include "framework/ProgressBar.h"
#include "ui/HListBox.h"

int TFileListAdapter::Count() const { return FList.Count(); }
std::string TFileListAdapter::Text(int index) const { return FList.Text(index); }
void TFileListAdapter::AddString(const std::string& text) {
  HoldDrawing();
  FList.AddString(text);
  FShownChanged = true;  // the scroll bars, at least
}
void TFileListAdapter::HoldDrawing() {
  if (FHeld) return;
  ::SendMessageA(FList.Handle(), WM_SETREDRAW, FALSE, 0);
  FHeld = true;
}

void TFileListAdapter::Flush() {
  const auto start = std::chrono::steady_clock::now();
  if (FHeld) ::SendMessageA(FList.Handle(), WM_SETREDRAW, TRUE, 0);
  FHeld = false;
  FShownChanged = false;
  FList.Repaint();
  FDrawnAt = std::chrono::steady_clock::now();
  FDrawingTook = FDrawnAt - start;
}

void TFileListAdapter::Replace(int index, const std::string& text) {
  HoldDrawing();
  FList.Replace(index, text);
  // The row count stays, so only a row in view changes what the list shows.
  if (!FShownChanged) FShownChanged = InView(index);
}

bool TFileListAdapter::InView(int index) const {
  const HWND list = FList.WindowHandle();
  RECT row{}, client{}, overlap{};
  if (::SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&row)) == LB_ERR)
    return true;
  ::GetClientRect(list, &client);
  return ::IntersectRect(&overlap, &row, &client) != FALSE;
}

void TFileListAdapter::Repaint() {
  if (!FHeld) return Flush();
  if (!FShownChanged) return;
  const auto waited = std::chrono::steady_clock::now() - FDrawnAt;
  if (waited >= kListFrame && waited >= kCostShare * FDrawingTook) Flush();
}

void TFileListAdapter::Delete(int index) {
  HoldDrawing();
  FList.Delete(index);
  FShownChanged = true;
}
int TFileListAdapter::SelCount() const { return FList.SelCount(); }
bool TFileListAdapter::Selected(int index) const { return FList.Selected(index); }
void TFileListAdapter::SetSelected(int index, bool selected) { FList.SetSelected(index, selected); }
void TFileListAdapter::SetFontColor(std::uint32_t color) { FList.SetFontColor(color); }

void TControlsDisplay::Flush() {
  FStatusPainter.reset();
  if (!FStatusPending) return;
  FStatus.SetText(FStatusText);
  FStatusPending = false;
}

void TControlsDisplay::SetStatusText(std::string_view text) {
  FStatusText = text;
  FStatusPending = true;
}
void TControlsDisplay::RepaintStatus() {
  if (!FStatusPainter) FStatusPainter.emplace(FStatus);
  FStatusPainter->Paint(FStatusText);
}
void TControlsDisplay::SetStatusFontColor(std::uint32_t color) {
  FStatusPainter.reset();  // it holds the old colour
  FStatus.SetFontColor(color);
}
void TControlsDisplay::SetReadoutText(std::string_view text) { FReadout.SetCaption(text); }
void TControlsDisplay::RepaintReadout() { FReadout.Repaint(); }
void TControlsDisplay::SetProgressMin(std::int32_t value) { FProgress.SetMin(value); }
void TControlsDisplay::SetProgressMax(std::int32_t value) { FProgress.SetMax(value); }
void TControlsDisplay::SetProgressPosition(std::int32_t value) { FProgress.SetPosition(value); }
