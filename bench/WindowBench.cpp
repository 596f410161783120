// What the main window's display costs a shredding run, and how fast a large drop
// is listed, against a baseline measured in the same run: the same run with no
// display attached; and the share of such a run that the window's thread spends
// drawing it, in processor time. usage: window_bench [large|small|drop] [ROUNDS, default 9]
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/Handles.h"
#include "framework/RedrawHold.h"
#include "engine/ShredDisplay.h"
#include "engine/run/ShredEngine.h"
#include "engine/win32/Win32FileSystem.h"
#include "tests/support/DropFiles.h"
#include "bench/BenchFiles.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VectorFileList.h"
#include "ui/HListBox.h"
#include "ui/about.h"
#include "ui/pShredder.h"

namespace {

double Seconds(const std::function<void()>& work) {
  LARGE_INTEGER start{}, end{}, frequency{};
  ::QueryPerformanceCounter(&start);
  work();
  ::QueryPerformanceCounter(&end);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Pump() {
  MSG message;
  while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

// A click on "Shred NOW!" and the window's messages until the run is over.
void RunThroughTheWindow() {
  frmShredder->btnWipeClick(frmShredder);
  MSG message;
  while (frmShredder->Running() && ::GetMessageA(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
}

// This thread's processor time so far, in seconds.
double ThreadSeconds() {
  FILETIME created{}, exited{}, kernel{}, user{};
  ::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user);
  const auto seconds = [](const FILETIME& time) {
    return static_cast<double>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime) / 1e7;
  };
  return seconds(kernel) + seconds(user);
}

std::vector<std::string> MakeFiles(const TTempFolder& folder, int count, std::size_t bytes) {
  std::vector<std::string> paths;
  for (int i = 0; i < count; ++i) {
    paths.push_back(folder / ("f" + std::to_string(i)));
    WriteFlushedFile(paths.back(), bytes);
  }
  return paths;
}

// The disk's speed drifts by more than the display costs, so the two runs of a
// round follow each other, take turns going first, and the figure is the median
// of the rounds' ratios.
void Compare(const char* name, int count, std::size_t bytes, int rounds) {
  const auto bareRun = [&] {
    const TTempFolder folder;
    auto paths = MakeFiles(folder, count, bytes);
    TWin32FileSystem fs;
    TNullDisplay none;
    TShredEngine engine(fs, none);
    TVectorFileList list(paths);
    return Seconds([&] { engine.Run(list); });
  };
  const auto windowRun = [&] {
    const TTempFolder folder;
    auto paths = MakeFiles(folder, count, bytes);
    for (const auto& path : paths) frmShredder->ListBox1->AddString(path);
    Pump();
    const double seconds = Seconds(RunThroughTheWindow);
    frmShredder->Button1Click(frmShredder);
    Pump();
    return seconds;
  };
  std::vector<double> bare, windowed, ratios;
  for (int round = 0; round < rounds; ++round) {
    if (round % 2 == 0) {
      bare.push_back(bareRun());
      windowed.push_back(windowRun());
    } else {
      windowed.push_back(windowRun());
      bare.push_back(bareRun());
    }
    ratios.push_back(windowed.back() / bare.back());
    std::printf("  round %d: no display %.3f s, window %.3f s: %.3f\n", round + 1, bare.back(), windowed.back(),
                ratios.back());
  }
  std::printf("%-22s no display %8.3f s   window %8.3f s   window/no display %.3f (median of %d rounds)\n", name,
              Median(bare), Median(windowed), Median(ratios), rounds);
}

// The window's thread draws a run while the run goes on beside it: what it spends
// doing so, in processor time, against the run's length.
double DisplayShare(int count, std::size_t bytes) {
  const TTempFolder folder;
  for (const auto& path : MakeFiles(folder, count, bytes)) frmShredder->ListBox1->AddString(path);
  Pump();
  const double cpuBefore = ThreadSeconds();
  const double run = Seconds(RunThroughTheWindow);
  const double drawing = ThreadSeconds() - cpuBefore;
  frmShredder->Button1Click(frmShredder);
  Pump();
  return drawing / run;
}

void Share(const char* name, int count, std::size_t bytes) {
  std::vector<double> shares;
  for (int round = 0; round < 3; ++round) shares.push_back(DisplayShare(count, bytes));
  const double share = Median(shares);
  std::printf("%-22s the window's thread draws for %.1f%% of the run (%.1f%%, %.1f%%, %.1f%%)\n", name,
              100 * share, 100 * shares[0], 100 * shares[1], 100 * shares[2]);
}

// A drop listed as the window lists one, against the same names added one sorted
// insert at a time, as the window listed them before (run once: it is the slow one).
void LargeDrop() {
  for (const int count : {10000, 30000, 100000}) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
      names.push_back("C:\\Users\\someone\\Documents\\Project\\file-" + std::to_string(i * 7919 % count) + ".txt");
    std::vector<double> times;
    for (int round = 0; round < 3; ++round) {
      times.push_back(Seconds([&] {
        ::SendMessageA(frmShredder->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(names)), 0);
        Pump();
      }));
      frmShredder->Button1Click(frmShredder);
    }
    const double oneByOne = Seconds([&] {
      const TRedrawHold hold(frmShredder->ListBox1->Handle());
      for (const std::string& name : names) frmShredder->ListBox1->AddString(name);
    });
    frmShredder->Button1Click(frmShredder);
    std::printf("drop of %6d names %8.3f s; one insert at a time %8.3f s (%.3f of it)\n", count, Median(times),
                oneByOne, Median(times) / oneByOne);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string only = argc > 1 ? argv[1] : "";
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
  frmShredder = new TfrmShredder(nullptr);
  frmAbout = new TfrmAbout(nullptr);
  frmShredder->Show();
  Pump();
  if (only.empty() || only == "large") {
    Compare("1 GiB file", 1, std::size_t{1} << 30, rounds);
    Share("1 GiB file", 1, std::size_t{1} << 30);
  }
  if (only.empty() || only == "small") {
    Compare("2,000 files of 4 KiB", 2000, 4096, rounds);
    Share("2,000 files of 4 KiB", 2000, 4096);
  }
  if (only.empty() || only == "drop") LargeDrop();
  delete frmAbout;
  delete frmShredder;
  return 0;
}
