#pragma once
// The system's folder picker (the file dialog that chooses folders): several folders
// at once, file-system folders only.

#include "framework/Component.h"

#include <string>
#include <string_view>
#include <vector>

class TFolderDialog : public TComponent {
 public:
  explicit TFolderDialog(TComponent* owner);

  void SetTitle(std::string_view title) { FTitle = title; }
  // Where the dialog starts; a folder that is not there is no start.
  void SetInitialDir(std::string_view folder) { FInitialDir = folder; }
  // Full paths, in the dialog's order; empty after a cancel or a failure. Only names
  // the ANSI code page holds exactly are here; the user is told of the others.
  const std::vector<std::string>& Folders() const noexcept { return FFolders; }

  bool Execute();

  void ApplySpec(const TControlSpec& stored, TForm& form) override;

 protected:
  // The system's dialog: the chosen folders' paths, or false after a cancel or a
  // failure. Tests put one there that fails as the system can.
  virtual bool RunDialog(std::vector<std::wstring>& chosen);

 private:
  std::string FTitle;
  std::string FInitialDir;
  std::vector<std::string> FFolders;
};
