#pragma once
// What the main window has not drawn yet, and when it is drawn.
//
// Under Wine, drawing the file list after each changed row and giving the status
// line each new text cost more than shredding a small file (see TFileRows and
// TControlsDisplay). So a command works with drawing deferred: it opens a
// TCommandScope, which is the window's only way to the list's rows, and while any
// scope is open the list holds its drawing and the status line is painted without
// taking its text. When the last open scope ends, however the command ends, the
// list is drawn and the status line given its text, before any error is shown.
// Outside every scope nothing is deferred: a change is drawn as it is made.

#include "ui/ControlsDisplay.h"
#include "ui/FileRows.h"

class THListBox;
class TEdit;
class TLabel;
class TProgressBar;

class TDeferredDrawing {
 public:
  TDeferredDrawing(THListBox& list, TEdit& status, TLabel& readout, TProgressBar& progress) noexcept
      : FRows(list), FScreen(status, readout, progress) {}
  TDeferredDrawing(const TDeferredDrawing&) = delete;
  TDeferredDrawing& operator=(const TDeferredDrawing&) = delete;

  // What the engine writes its status, readout and progress to.
  IShredDisplay& Screen() noexcept { return FScreen; }

 private:
  friend class TCommandScope;
  void Open() noexcept;
  void Close() noexcept;

  TFileRows FRows;
  TControlsDisplay FScreen;
  int FOpenScopes = 0;
};

// A command's hold on the window's drawing, from its start to its end (a drop's
// from its start event to its finish). Scopes may nest; the outermost one draws.
class TCommandScope {
 public:
  explicit TCommandScope(TDeferredDrawing& drawing) noexcept : FDrawing(drawing) { FDrawing.Open(); }
  TCommandScope(const TCommandScope&) = delete;
  TCommandScope& operator=(const TCommandScope&) = delete;
  ~TCommandScope() { FDrawing.Close(); }

  TFileRows& Rows() const noexcept { return FDrawing.FRows; }

 private:
  TDeferredDrawing& FDrawing;
};
