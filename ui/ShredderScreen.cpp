#include "ui/ShredderScreen.h"

#include "framework/Edit.h"
#include "framework/Label.h"
#include "framework/ProgressBar.h"
#include "ui/HListBox.h"

int TFileListAdapter::Count() const { return FList.Count(); }
std::string TFileListAdapter::Text(int index) const { return FList.Text(index); }
void TFileListAdapter::AddString(const std::string& text) { FList.AddString(text); }
void TFileListAdapter::Replace(int index, const std::string& text) { FList.Replace(index, text); }
void TFileListAdapter::Delete(int index) { FList.Delete(index); }
int TFileListAdapter::SelCount() const { return FList.SelCount(); }
bool TFileListAdapter::Selected(int index) const { return FList.Selected(index); }
void TFileListAdapter::SetSelected(int index, bool selected) { FList.SetSelected(index, selected); }
void TFileListAdapter::Repaint() { FList.Repaint(); }
void TFileListAdapter::SetFontColor(std::uint32_t color) { FList.SetFontColor(color); }

void TControlsDisplay::SetStatusText(std::string_view text) { FStatus.SetText(text); }
void TControlsDisplay::RepaintStatus() { FStatus.Repaint(); }
void TControlsDisplay::SetStatusFontColor(std::uint32_t color) { FStatus.SetFontColor(color); }
void TControlsDisplay::SetReadoutText(std::string_view text) { FReadout.SetCaption(text); }
void TControlsDisplay::RepaintReadout() { FReadout.Repaint(); }
void TControlsDisplay::SetProgressMin(std::int32_t value) { FProgress.SetMin(value); }
void TControlsDisplay::SetProgressMax(std::int32_t value) { FProgress.SetMax(value); }
void TControlsDisplay::SetProgressPosition(std::int32_t value) { FProgress.SetPosition(value); }
