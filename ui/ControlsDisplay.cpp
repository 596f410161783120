#include "ui/ControlsDisplay.h"

#include "framework/Edit.h"
#include "framework/Label.h"
#include "framework/ProgressBar.h"

void TControlsDisplay::SetStatusText(std::string_view text) { FStatus.SetText(text); }
void TControlsDisplay::SetStatusFontColor(std::uint32_t color) { FStatus.SetFontColor(color); }
void TControlsDisplay::SetReadoutText(std::string_view text) { FReadout.SetCaption(text); }
void TControlsDisplay::SetProgressMin(std::int32_t value) { FProgress.SetMin(value); }
void TControlsDisplay::SetProgressMax(std::int32_t value) { FProgress.SetMax(value); }
void TControlsDisplay::SetProgressPosition(std::int32_t value) { FProgress.SetPosition(value); }
