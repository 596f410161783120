#include "ui/ShredRun.h"

#include "engine/run/ShredEngine.h"

TShredRun::TShredRun(IFileSystem& fileSystem, std::vector<std::string> entries, HWND window, UINT message,
                     UINT question)
    : FFileSystem(fileSystem),
      FWindow(window),
      FMessage(message),
      FQuestion(question),
      FReport(std::move(entries),
              [this](bool ended) { return ::PostMessageW(FWindow, FMessage, ended ? 1 : 0, 0) != FALSE; }),
      FThread([this] { Work(); }) {}

TShredRun::~TShredRun() {
  Stop();
  Wait();
}

void TShredRun::Stop() noexcept {
  FStop.Request();
  // A run waiting for the answer takes a stop for "No".
  const std::lock_guard lock(FAsking);
  FAnswered.notify_all();
}

std::vector<TFolderTally> TShredRun::Folders() const {
  const std::lock_guard lock(FAsking);
  return FFolders;
}

void TShredRun::Answer(bool yes) noexcept {
  const std::lock_guard lock(FAsking);
  FAnswer = yes;
  FAnswered.notify_all();
}

// On the run's thread: the window asks the user, and the run waits.
bool TShredRun::ShredFoldersWhole(const std::vector<TFolderTally>& folders) {
  std::unique_lock lock(FAsking);
  FFolders = folders;
  FAnswer.reset();
  if (!::PostMessageW(FWindow, FQuestion, 0, 0)) return false;
  FAnswered.wait(lock, [this] { return FAnswer.has_value() || FStop.Requested(); });
  return FAnswer.value_or(false) && !FStop.Requested();
}

void TShredRun::Wait() noexcept {
  if (FThread.joinable()) FThread.join();
}

// Nothing may leave a thread: an error ends the run here and travels to the window
// as the report's last news.
void TShredRun::Work() noexcept {
  try {
    TShredEngine engine(FFileSystem, FReport, FStop);
    FDeclined = engine.Run(FReport, this) == TRunEnd::Declined;
  } catch (...) {
    FError = std::current_exception();
  }
  // The window waits for this one; it is told again until it has been.
  try {
    FReport.End();
  } catch (...) {
  }
}
