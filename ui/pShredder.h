#pragma once
// The main window: the list of files waiting to be shredded, the commands that fill
// and empty it, the shredding run, and the status line, digit readout and progress
// bar the run writes to. A run goes on a thread of its own; while it does, nothing
// changes the list's rows but the run's marks: names dropped meanwhile wait for its
// end, and "Shred NOW!" is its Stop.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <vector>

#include "engine/win32/Win32FileSystem.h"
#include "framework/Form.h"
#include "framework/RedrawHold.h"
#include "ui/ControlsDisplay.h"
#include "ui/ReadoutFont.h"
#include "ui/RunReport.h"
#include "ui/RunSignals.h"
#include "ui/ShredRun.h"

class TLabel;
class TEdit;
class TButton;
class TProgressBar;
class TOpenDialog;
class TFolderDialog;
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
  TFolderDialog* fdWipe = nullptr;
  TDnDForm* DnDForm1 = nullptr;
  TMainMenu* MainMenu1 = nullptr;

  void FormShow(TComponent* Sender);
  void btnBrowseClick(TComponent* Sender);
  void SelectFolders1Click(TComponent* Sender);
  void ExplorerMenu1Click(TComponent* Sender);
  void Button1Click(TComponent* Sender);
  void DnDForm1DnDStart(TComponent* Sender, int Count, int X, int Y);
  void DnDForm1DnDItem(TComponent* Sender, const std::string& Item);
  void DnDForm1DnDFinish(TComponent* Sender);
  void btnWipeClick(TComponent* Sender);
  void btnCloseClick(TComponent* Sender);
  void Exit1Click(TComponent* Sender);
  void About1Click(TComponent* Sender);

  // True from the click on "Shred NOW!" until the window has shown the run's end.
  bool Running() const noexcept { return FRun != nullptr; }
  // Where runs tell Windows that the machine must stay awake, and their progress;
  // tests put one there that records the calls.
  void SetRunSignals(std::unique_ptr<IRunSignals> signals) { FSignals = std::move(signals); }

  // A run's news. The window draws a frame of it at most every kRunFrame, and waits
  // kRunFrameCost times as long as the last frame took to draw before the next,
  // up to kRunFrameLongest: drawing keeps to a small share of the machine, which
  // the run needs. The run's end is shown at once.
  static constexpr UINT kRunNews = WM_APP + 1;
  // A run that holds folders asks before it touches anything.
  static constexpr UINT kRunQuestion = WM_APP + 2;
  static constexpr UINT_PTR kRunFrameTimer = 1;
  static constexpr std::chrono::milliseconds kRunFrame{33};
  static constexpr int kRunFrameCost = 25;
  static constexpr std::chrono::milliseconds kRunFrameLongest{1000};

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void AllowDropsWhenElevated();
  void UseAvailableReadoutFont();
  void UpdateWipeButton();
  // The File menu's item says what a click on it does now.
  void ShowExplorerMenuState();
  // Names chosen in a dialog: each one not listed exactly so already is added.
  void ListChosen(const std::vector<std::string>& names);
  // What is off while a run goes on: adding and removing entries.
  void EnableListChanges(bool enabled);
  void StartRun();
  void StopRun() noexcept;
  void RunNews(bool ended);
  void TakeRunFrame();
  void DrawRunFrame(const TRunReport::TFrame& frame);
  void FinishRun(std::exception_ptr& drawError);
  void ListDroppedDuringRun();
  // The question whether to shred the run's folders whole; "No" is its default.
  void AskAboutFolders();
  // Where a run that went to its end left any entry: how many, and the first reasons.
  void TellWhatWasLeft();
  // Closing waits for a run to stop; Windows ending the session does not wait for
  // the window.
  void CloseWhenStopped();
  void EndSession();

  TReadoutFont FReadoutFont;
  TWin32FileSystem FFileSystem;
  std::unique_ptr<TControlsDisplay> FScreen;
  std::optional<TRedrawHold> FDrop;  // from a drop's start to its finish
  std::unique_ptr<TShredRun> FRun;
  std::chrono::steady_clock::time_point FRunFrameAt{};  // when the last frame was drawn
  std::chrono::steady_clock::duration FRunFrameWait{};  // how long the next one waits after it
  bool FCloseAfterRun = false;
  std::vector<std::string> FDroppedDuringRun;
  std::vector<std::string> FDropNames;  // of the drop at hand, listed at its finish
  int FRunShredded = 0;  // rows the run at hand has marked
  int FRunRows = 0;      // rows the run at hand has replaced, marked or left
  int FRunEntries = 0;
  std::unique_ptr<IRunSignals> FSignals;
  // While the question is shown the run's news waits, its end included: the window
  // is not put back under the open question.
  bool FAsking = false;
  std::optional<bool> FNewsWhileAsking;  // true: the run ended meanwhile
};

extern TfrmShredder* frmShredder;
