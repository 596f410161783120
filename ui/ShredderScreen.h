#pragma once
// The main window's controls as the engine sees them: the file list, and the status
// line, digit readout and progress bar.

#include <chrono>
#include <optional>
#include <string>

#include "engine/FileList.h"
#include "engine/ShredDisplay.h"
#include "framework/Edit.h"

class THListBox;
class TLabel;
class TProgressBar;

// Under Wine every row added, removed or swapped in a list with scroll bars costs
// several milliseconds, most of it in redrawing the scroll bars: more than shredding
// a small file, and far too much for a drop of thousands of names. So the list's
// drawing is held while rows change, and once more when the command ends (Flush).
// In between the list is drawn at most every kListFrame, and never sooner than
// kCostShare times what its last drawing took: under Wine one drawing takes about
// 5 ms, so drawing keeps to a fiftieth of a run. Nor is it drawn while the rows
// that changed are all out of view. Every frame it shows is a state the list
// really had.
class TFileListAdapter final : public IFileList {
 public:
  static constexpr std::chrono::milliseconds kListFrame{100};
  static constexpr int kCostShare = 50;

  explicit TFileListAdapter(THListBox& list) noexcept : FList(list) {}
  // Draws what is held back; every command that changes rows calls it at its end.
  void Flush();
  bool Held() const noexcept { return FHeld; }
  int Count() const override;
  std::string Text(int index) const override;
  void AddString(const std::string& text) override;
  void Replace(int index, const std::string& text) override;
  void Delete(int index) override;
  int SelCount() const override;
  bool Selected(int index) const override;
  void SetSelected(int index, bool selected) override;
  void Repaint() override;
  void SetFontColor(std::uint32_t color) override;

 private:
  void HoldDrawing();
  bool InView(int index) const;

  THListBox& FList;
  bool FHeld = false;
  bool FShownChanged = false;  // since the last drawing, in what the list shows
  std::chrono::steady_clock::time_point FDrawnAt{};
  std::chrono::steady_clock::duration FDrawingTook{};
};

// The status line shows every file's status text, and under Wine an edit spends
// about a millisecond taking a new text and painting it: as long as shredding a
// small file. So each text is painted straight into the edit by a painter that
// keeps the edit's DC for the whole command, and the edit itself is given the last
// text when the command ends (Flush), which also lets the DC go.
class TControlsDisplay final : public IShredDisplay {
 public:
  TControlsDisplay(TEdit& status, TLabel& readout, TProgressBar& progress) noexcept
      : FStatus(status), FReadout(readout), FProgress(progress) {}
  // Gives the status line the text it shows; every command that shreds calls it at its end.
  void Flush();
  void SetStatusText(std::string_view text) override;
  void RepaintStatus() override;
  void SetStatusFontColor(std::uint32_t color) override;
  void SetReadoutText(std::string_view text) override;
  void RepaintReadout() override;
  void SetProgressMin(std::int32_t value) override;
  void SetProgressMax(std::int32_t value) override;
  void SetProgressPosition(std::int32_t value) override;

 private:
  TEdit& FStatus;
  TLabel& FReadout;
  TProgressBar& FProgress;
  std::string FStatusText;
  bool FStatusPending = false;
  std::optional<TEdit::TPainter> FStatusPainter;
};
