// A shredding run through the built program, driven from this second process as a
// user's tools would: how long the run takes from the click to the window showing
// its end, how long the window takes to answer a message meanwhile (median and
// worst), and the program's peak memory.
// usage: program_bench QUORVANE_EXE large|small|medium [ROUNDS, default 3] [--ask]
//   large: one file of 1 GiB; small: 2,000 files of 4 KiB; medium: one of 64 MiB
//   --ask: the window is asked a message every 10 ms during the run, and the answer
//   times are the figures; without it the run's own length is (asking costs the
//   run a little, and a window that is held gives just one answer).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/RemoteProgram.h"
#include "tests/support/TempFolder.h"
#include "ui/ShredderIds.h"

namespace {

double Now() {
  LARGE_INTEGER counter{}, frequency{};
  ::QueryPerformanceCounter(&counter);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Real data, on the disk before the run starts, as a user's files are.
void WriteFile(const std::string& path, std::size_t bytes) {
  const UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  static const std::vector<char> block(1 << 20, 'x');
  for (std::size_t done = 0; done < bytes;) {
    const DWORD length = static_cast<DWORD>(std::min(block.size(), bytes - done));
    DWORD written = 0;
    ::WriteFile(file.get(), block.data(), length, &written, nullptr);
    done += length;
  }
  ::FlushFileBuffers(file.get());
}

double Median(std::vector<double> values) {
  if (values.empty()) return -1;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct TRound {
  double Seconds = 0;
  std::vector<double> Answers;  // milliseconds; -1: no answer within 10 s
  double SlowestAt = 0;         // seconds into the run the slowest answer was asked
  std::size_t PeakBytes = 0;
  bool AllMarked = false;
};

TRound Round(const std::string& exe, int count, std::size_t bytes, bool ask) {
  const TTempFolder folder;
  std::vector<std::string> paths;
  for (int i = 0; i < count; ++i) {
    paths.push_back(folder / ("f" + std::to_string(i)));
    WriteFile(paths.back(), bytes);
  }
  TRemoteProgram program(exe);
  program.Drop(paths);
  TRound round;
  std::atomic<bool> done = false;
  const double start = Now();
  // The second process's questions, every 10 ms while the run goes on. A window
  // that is held answers only once the run is over.
  std::thread prober([&] {
    while (ask && !done) {
      const double asked = Now();
      const double answer = program.AnswerTime(10000);
      if (done) break;
      if (round.Answers.empty() || answer > *std::max_element(round.Answers.begin(), round.Answers.end()))
        round.SlowestAt = asked - start;
      round.Answers.push_back(answer);
      ::Sleep(10);
    }
  });
  program.Click(kIdBtnWipe);  // a program that runs on its window's thread returns when it is over
  program.WaitForRunEnd();
  round.Seconds = Now() - start;
  done = true;
  prober.join();
  const auto items = program.ListItems();
  round.AllMarked = std::all_of(items.begin(), items.end(),
                                [](const std::string& item) { return item.rfind("SHREDDED! ... ", 0) == 0; });
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (::GetProcessMemoryInfo(program.Process(), &memory, sizeof memory)) round.PeakBytes = memory.PeakWorkingSetSize;
  program.Close();
  return round;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: program_bench QUORVANE_EXE large|small|medium [ROUNDS]\n", stderr);
    return 2;
  }
  const std::string exe = argv[1], load = argv[2];
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  const bool ask = argc > 4 && std::string(argv[4]) == "--ask";
  const int count = load == "small" ? 2000 : 1;
  const std::size_t bytes = load == "small" ? 4096 : load == "medium" ? std::size_t{64} << 20 : std::size_t{1} << 30;
  std::vector<double> seconds, answers, worsts;
  std::size_t peak = 0;
  for (int i = 0; i < rounds; ++i) {
    const TRound round = Round(exe, count, bytes, ask);
    if (!round.AllMarked) {
      std::fprintf(stderr, "round %d: not every entry was marked\n", i + 1);
      return 1;
    }
    seconds.push_back(round.Seconds);
    answers.insert(answers.end(), round.Answers.begin(), round.Answers.end());
    worsts.push_back(round.Answers.empty() ? -1 : *std::max_element(round.Answers.begin(), round.Answers.end()));
    peak = std::max(peak, round.PeakBytes);
    std::printf("  round %d: %.3f s, %zu answers, worst %.1f ms, asked %.3f s into the run\n", i + 1, round.Seconds,
                round.Answers.size(), worsts.back(), round.SlowestAt);
  }
  std::printf("%s %s: run %.3f s (median of %d)  answer median %.2f ms  worst %.1f ms  peak memory %zu KiB\n",
              load.c_str(), exe.c_str(), Median(seconds), rounds, Median(answers),
              *std::max_element(worsts.begin(), worsts.end()), peak / 1024);
  return 0;
}
