#include "ui/HListBox.h"

#include "base/Handles.h"
#include "base/WideText.h"

#include <windows.h>

#include <algorithm>
#include <climits>

THListBox::THListBox(TComponent* owner) : TListBox(owner), FMaxWidth(0) {}

// The results of the DC, font and measuring calls are not checked: a failed
// measurement only means a narrower scroll range, never a lost row. Measured as the
// list draws its rows, in wide text.
int THListBox::ItemWidth(std::string_view S) const {
  const HWND window = WindowHandle();
  const WindowDc dc(window);
  const auto font = reinterpret_cast<HGDIOBJ>(::SendMessageW(window, WM_GETFONT, 0, 0));
  const SelectedObject selected(dc.get(), font);
  TEXTMETRICW metrics{};
  ::GetTextMetricsW(dc.get(), &metrics);
  const std::wstring text = WideOf(S);
  SIZE extent{};
  ::GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
  return static_cast<int>(std::min<long long>(static_cast<long long>(extent.cx) + metrics.tmAveCharWidth, INT_MAX));
}

void THListBox::AddString(const std::string& S) {
  const int width = ItemWidth(S);
  if (width > FMaxWidth) {
    FMaxWidth = width;
    ::SendMessageW(WindowHandle(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(width), 0);
  }
  Add(S);
}
