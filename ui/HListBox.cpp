#include "ui/HListBox.h"

#include "base/Handles.h"

#include <windows.h>

THListBox::THListBox(TComponent* owner) : TListBox(owner), FMaxWidth(0) {}

// The results of the DC, font and measuring calls are not checked: a failed
// measurement only means a narrower scroll range, never a lost row.
std::uint16_t THListBox::ItemWidth(std::string_view S) const {
  const HWND window = WindowHandle();
  const WindowDc dc(window);
  const auto font = reinterpret_cast<HGDIOBJ>(::SendMessageA(window, WM_GETFONT, 0, 0));
  const SelectedObject selected(dc.get(), font);
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(dc.get(), &metrics);
  SIZE extent{};
  ::GetTextExtentPoint32A(dc.get(), S.data(), static_cast<int>(S.size()), &extent);
  return static_cast<std::uint16_t>(extent.cx + metrics.tmAveCharWidth);
}

void THListBox::AddString(const std::string& S) {
  const int width = ItemWidth(S);
  if (width > FMaxWidth) {
    FMaxWidth = width;
    ::SendMessageA(WindowHandle(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(width), 0);
  }
  Add(S);
}
