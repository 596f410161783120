#pragma once
// A shredding run on a thread of its own, so that the window goes on answering,
// moving and drawing through a run that may last an hour. The engine knows nothing
// of windows or threads: it writes to a TRunReport, which tells the window by a
// posted message, and it looks at a TRunStop, which the window sets.

#include <windows.h>

#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/FileSystem.h"
#include "engine/RunStop.h"
#include "engine/folders/FolderTally.h"
#include "ui/RunReport.h"

class TShredRun : private IFolderQuestion {
 public:
  // Starts the run over entries at once. The window is posted `message` whenever
  // the run has something new for it, with a WPARAM of 1 for the run's end; it
  // then calls Take. A run that holds folders posts `question` once they are
  // counted, and waits for Answer (or a stop) before it touches anything.
  TShredRun(IFileSystem& fileSystem, std::vector<std::string> entries, HWND window, UINT message, UINT question);
  TShredRun(const TShredRun&) = delete;
  TShredRun& operator=(const TShredRun&) = delete;
  // Stops the run and waits for it: a run never outlives the window it reports to.
  ~TShredRun();

  void Stop() noexcept;
  // The folders the run asks about, on the window's thread after `question`.
  std::vector<TFolderTally> Folders() const;
  void Answer(bool yes) noexcept;
  bool StopRequested() const noexcept { return FStop.Requested(); }
  TRunReport::TFrame Take() { return FReport.Take(); }
  // Waits for the run's thread to end: at once after a frame that says it ended,
  // at most one block (or a flush) after a Stop.
  void Wait() noexcept;
  // The error that ended the run, if one did; to be rethrown on the window's thread.
  std::exception_ptr Error() const noexcept { return FError; }
  // Whether the user said "No" to shredding the run's folders, so it touched nothing;
  // read after Wait.
  bool Declined() const noexcept { return FDeclined; }

 private:
  void Work() noexcept;
  bool ShredFoldersWhole(const std::vector<TFolderTally>& folders) override;

  IFileSystem& FFileSystem;
  HWND FWindow;
  UINT FMessage;
  UINT FQuestion;
  mutable std::mutex FAsking;
  std::condition_variable FAnswered;
  std::vector<TFolderTally> FFolders;
  std::optional<bool> FAnswer;
  TRunStop FStop;
  TRunReport FReport;
  std::exception_ptr FError;  // written by the run's thread before it ends, read after Wait
  bool FDeclined = false;     // likewise
  std::thread FThread;        // last: starts once everything it uses is made
};
