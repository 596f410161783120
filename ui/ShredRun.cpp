#include "ui/ShredRun.h"

#include "engine/run/ShredEngine.h"

TShredRun::TShredRun(IFileSystem& fileSystem, std::vector<std::string> entries, HWND window, UINT message)
    : FFileSystem(fileSystem),
      FWindow(window),
      FMessage(message),
      FReport(std::move(entries),
              [this](bool ended) { return ::PostMessageW(FWindow, FMessage, ended ? 1 : 0, 0) != FALSE; }),
      FThread([this] { Work(); }) {}

TShredRun::~TShredRun() {
  Stop();
  Wait();
}

void TShredRun::Wait() noexcept {
  if (FThread.joinable()) FThread.join();
}

// Nothing may leave a thread: an error ends the run here and travels to the window
// as the report's last news.
void TShredRun::Work() noexcept {
  try {
    TShredEngine engine(FFileSystem, FReport, FStop);
    engine.Run(FReport);
  } catch (...) {
    FError = std::current_exception();
  }
  // The window waits for this one; it is told again until it has been.
  try {
    FReport.End();
  } catch (...) {
  }
}
