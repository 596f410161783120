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
namespace {

// The list's font in a device context of its window, for measuring rows.
class TRowMeasure {
 public:
  explicit TRowMeasure(HWND window)
      : FDc(window), FFont(FDc.get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(window, WM_GETFONT, 0, 0))) {
    ::GetTextMetricsW(FDc.get(), &FMetrics);
  }
  int Width(std::string_view S) const {
    const std::wstring text = WideOf(S);
    SIZE extent{};
    ::GetTextExtentPoint32W(FDc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    return static_cast<int>(std::min<long long>(static_cast<long long>(extent.cx) + FMetrics.tmAveCharWidth, INT_MAX));
  }

 private:
  const WindowDc FDc;
  const SelectedObject FFont;
  TEXTMETRICW FMetrics{};
};

}  // namespace

int THListBox::ItemWidth(std::string_view S) const { return TRowMeasure(WindowHandle()).Width(S); }

void THListBox::AddString(const std::string& S) {
  const int width = ItemWidth(S);
  if (width > FMaxWidth) {
    FMaxWidth = width;
    ::SendMessageW(WindowHandle(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(width), 0);
  }
  Add(S);
}

void THListBox::AddStrings(const std::vector<std::string>& names) {
  if (names.empty()) return;
  int widest = 0;
  {
    const TRowMeasure measure(WindowHandle());
    for (const std::string& name : names) widest = std::max(widest, measure.Width(name));
  }
  if (widest > FMaxWidth) {
    FMaxWidth = widest;
    ::SendMessageW(WindowHandle(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest), 0);
  }
  AddAll(names);
}
