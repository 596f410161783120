#pragma once
// The main window's controls as the engine sees them: the file list, and the status
// line, digit readout and progress bar.

#include "engine/FileList.h"
#include "engine/ShredDisplay.h"

class THListBox;
class TEdit;
class TLabel;
class TProgressBar;

class TFileListAdapter final : public IFileList {
 public:
  explicit TFileListAdapter(THListBox& list) noexcept : FList(list) {}
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
  THListBox& FList;
};

class TControlsDisplay final : public IShredDisplay {
 public:
  TControlsDisplay(TEdit& status, TLabel& readout, TProgressBar& progress) noexcept
      : FStatus(status), FReadout(readout), FProgress(progress) {}
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
};
