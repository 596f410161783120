#pragma once
// The file-open dialog: several files at once, explorer style, resizable; names
// need not exist; no filter and no default extension.

#include "framework/Component.h"

#include <windows.h>

#include <commdlg.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class TOpenDialog : public TComponent {
 public:
  // Room for the chosen names; a selection that does not fit is no selection.
  static constexpr DWORD kFileNameRoom = 65519;

  explicit TOpenDialog(TComponent* owner);

  const std::string& Title() const noexcept { return FTitle; }
  void SetTitle(std::string_view title) { FTitle = title; }
  const std::string& InitialDir() const noexcept { return FInitialDir; }
  // One trailing backslash is dropped, unless it follows a colon ("C:\" stays).
  void SetInitialDir(std::string_view folder);
  // The first chosen file; given to the dialog as its initial name next time.
  const std::string& FileName() const noexcept { return FFileName; }
  void SetFileName(std::string_view name) { FFileName = name; }
  // Full paths, in the dialog's order; empty after a cancel or a failure. Only names
  // the ANSI code page holds exactly are here; the others are in LeftOut.
  const std::vector<std::string>& Files() const noexcept { return FFiles; }
  const std::vector<std::wstring>& LeftOut() const noexcept { return FLeftOut; }

  // Runs the system's dialog. Chosen names that have no exact 8-bit form are left
  // out of Files, and the user is told which in one message box.
  bool Execute();

  void ApplySpec(const TControlSpec& stored, TForm& form) override;

 protected:
  // The system's dialog; tests put one there that fails as the system can.
  // Wide, so that the names come back as the file system has them, never through the
  // system's best-fit conversion to the code page.
  virtual BOOL RunDialog(OPENFILENAMEW& request);

 private:
  std::string FTitle;
  std::string FInitialDir;
  std::string FFileName;
  std::vector<std::string> FFiles;
  std::vector<std::wstring> FLeftOut;
};

// The folder a dialog starts in, from a stored one: see SetInitialDir.
std::string DialogInitialDir(std::string_view folder);

// The chosen files from a confirmed dialog's buffer. fileOffset is the dialog's
// nFileOffset: for one file it points into the full path, for several it is just past
// the folder's NUL, and the names follow (name NUL name NUL NUL). The offset, not a
// look past the first NUL, tells the two apart: after one short name the buffer may
// still hold the end of a longer initial name.
std::vector<std::wstring> ChosenFiles(std::wstring_view buffer, std::size_t fileOffset);
