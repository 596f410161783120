#pragma once
// A list box of text rows addressed by a 0-based index. With Sorted an added row goes
// to its alphabetical place; nothing else re-sorts. Both scroll bars are always there
// (the horizontal one shows once a horizontal extent is set).

#include "framework/Control.h"

#include <string>
#include <string_view>
#include <vector>

class TListBox : public TControl {
 public:
  explicit TListBox(TComponent* owner);

  int Count() const;
  // Raises EListError "List index out of bounds (<index>)" for a bad index, as do
  // Replace, Delete, Selected and SetSelected.
  std::string Text(int index) const;
  // Raises EOutOfResources "Unable to insert a line" when the control refuses.
  void Add(std::string_view text);
  // Adds every text where Add would put it, in one pass where it can: a sorted list
  // whose rows are in order takes them merged into its rows, put back whole, so a
  // large drop costs no more than its sorting. Selected rows stay selected. A list
  // whose order a Replace has broken takes them one at a time, as Add would.
  void AddAll(const std::vector<std::string>& texts);
  // New text at the same index: the row is deleted and inserted again there, so it
  // comes back unselected and the list is not re-sorted.
  void Replace(int index, std::string_view text);
  // The rows after it move up and keep their selection.
  void Delete(int index);
  void Clear();

  int SelCount() const;
  bool Selected(int index) const;
  void SetSelected(int index, bool selected);

  bool MultiSelect() const noexcept { return FMultiSelect; }
  bool Sorted() const noexcept { return FSorted; }

 protected:
  TWindowClass CreateParams() const override;
  void ReadSpec(const TControlSpec& stored) override;
  bool TakesFocus() const noexcept override { return true; }
  TColor DefaultColor() const noexcept override { return clWindow; }

 private:
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  void CheckIndex(int index) const;
  void Insert(int index, std::string_view text);
  void Append(const std::wstring& row);

  bool FMultiSelect = false;
  bool FExtendedSelect = true;
  bool FSorted = false;
};
