#pragma once
// The file list: a standard list box that keeps its horizontal scroll range wide
// enough for the widest row added through AddString, so long paths can be scrolled
// into view. The range only grows: deleting or replacing rows leaves it alone.

#include "framework/ListBox.h"

#include <string>
#include <string_view>
#include <vector>

class THListBox : public TListBox {
 public:
  explicit THListBox(TComponent* owner);

  // The width S needs in the list's current font, plus one average character so the
  // last letter is not flush with the edge. In full: a path of thousands of
  // characters is wider than 65,535 pixels, and a list box takes any extent up to
  // 2^31 - 1 (measured under Wine; a larger one reads back negative and leaves no
  // range at all), which is where the width stops.
  int ItemWidth(std::string_view S) const;
  // Raises the extent first (only when S is strictly wider than any row so far),
  // then adds S at its sorted place. A refused add raises "Unable to insert a line"
  // with the extent already raised.
  void AddString(const std::string& S);
  // Every name as AddString adds it, in one pass (TListBox::AddAll), measured in one
  // device context.
  void AddStrings(const std::vector<std::string>& names);

  int MaxWidth() const noexcept { return FMaxWidth; }

 private:
  int FMaxWidth;
};
