#pragma once
// The main window: the list of files waiting to be shredded, the commands that fill
// and empty it, the shredding run, and the status line, digit readout and progress
// bar the run writes to. Every command reaches the list's rows through a
// TCommandScope of FDrawing, never through ListBox1.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "engine/ShredEngine.h"
#include "engine/Win32FileSystem.h"
#include "framework/Form.h"
#include "ui/DisplayThrottle.h"
#include "ui/ReadoutFont.h"
#include "ui/DeferredDrawing.h"

class TLabel;
class TEdit;
class TButton;
class TProgressBar;
class TOpenDialog;
class TMainMenu;
class THListBox;
class TDnDForm;

class TfrmShredder : public TForm {
 public:
  explicit TfrmShredder(TComponent* owner);
  ~TfrmShredder() override;

  TLabel* Label1 = nullptr;
  THListBox* ListBox1 = nullptr;
  TEdit* Edit1 = nullptr;
  TLabel* Label2 = nullptr;
  TButton* btnBrowse = nullptr;
  TButton* Button1 = nullptr;
  TButton* btnWipe = nullptr;
  TButton* btnClose = nullptr;
  TProgressBar* pbWiping = nullptr;
  TOpenDialog* odWipe = nullptr;
  TDnDForm* DnDForm1 = nullptr;
  TMainMenu* MainMenu1 = nullptr;

  void FormShow(TComponent* Sender);
  void btnBrowseClick(TComponent* Sender);
  void Button1Click(TComponent* Sender);
  void DnDForm1DnDStart(TComponent* Sender, int Count, int X, int Y);
  void DnDForm1DnDItem(TComponent* Sender, const std::string& Item);
  void DnDForm1DnDFinish(TComponent* Sender);
  void btnWipeClick(TComponent* Sender);
  void btnCloseClick(TComponent* Sender);
  void Exit1Click(TComponent* Sender);
  void About1Click(TComponent* Sender);

  // The shredding engine's two operations on one entry.
  TShredSize ShredSize(const std::string& entry);
  std::int64_t ShredFile(const std::string& entry, const TShredSize& size);

 private:
  void AllowDropsWhenElevated();
  void UseAvailableReadoutFont();
  void UpdateWipeButton(const TFileRows& rows);

  TReadoutFont FReadoutFont;
  TWin32FileSystem FFileSystem;
  std::unique_ptr<TDeferredDrawing> FDrawing;
  std::unique_ptr<TDisplayThrottle> FDisplay;
  std::unique_ptr<TShredEngine> FEngine;
  std::optional<TCommandScope> FDrop;  // from a drop's start to its finish
};

extern TfrmShredder* frmShredder;
