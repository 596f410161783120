#pragma once
// The file list's rows, as the main window's commands and the shredding run change
// them. Only TDeferredDrawing makes one, and only a TCommandScope hands it out.

#include <chrono>
#include <cstdint>
#include <string>

#include "engine/FileList.h"

class THListBox;

// Under Wine every row added, removed or swapped in a list with scroll bars costs
// several milliseconds, most of it in redrawing the scroll bars: more than shredding
// a small file, and far too much for a drop of thousands of names. So while a
// command runs, the list's drawing is held as rows change, and the list is drawn
// when the command ends. In between it is drawn at most every kListFrame, and never
// sooner than kCostShare times what its last drawing took: under Wine one drawing
// takes about 5 ms, so drawing keeps to a fiftieth of a run. Nor is it drawn while
// the rows that changed are all out of view. Every frame it shows is a state the
// list really had.
class TFileRows final : public IFileList {
 public:
  static constexpr std::chrono::milliseconds kListFrame{100};
  static constexpr int kCostShare = 50;

  int Count() const override;
  std::string Text(int index) const override;
  void Replace(int index, const std::string& text) override;
  void Repaint() override;
  void SetFontColor(std::uint32_t color) override;

  // The window's own commands: adding at the sorted place, removing, selecting.
  void AddString(const std::string& text);
  void Delete(int index);
  int SelCount() const;
  bool Selected(int index) const;
  void SetSelected(int index, bool selected);

 private:
  friend class TDeferredDrawing;
  explicit TFileRows(THListBox& list) noexcept : FList(list) {}
  // While set, changes hold the list's drawing; Flush draws what was held.
  void SetDeferring(bool deferring) noexcept { FDeferring = deferring; }
  void Flush();
  void HoldDrawing();
  bool InView(int index) const;

  THListBox& FList;
  bool FDeferring = false;
  bool FHeld = false;
  bool FShownChanged = false;  // since the last drawing, in what the list shows
  std::chrono::steady_clock::time_point FDrawnAt{};
  std::chrono::steady_clock::duration FDrawingTook{};
};
