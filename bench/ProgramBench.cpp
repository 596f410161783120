// A shredding run through the built program, driven from this second process as a
// user's tools would: how long the run takes from the click to the window showing
// its end, how long the window takes to answer a message meanwhile (median and
// worst), and the program's peak memory.
// usage: program_bench QUORVANE_EXE large|small|medium|folder [ROUNDS, default 3] [--ask]
//        program_bench QUORVANE_EXE count FOLDER [ROUNDS]
//   large: one file of 1 GiB; small: 2,000 files of 4 KiB; medium: one of 64 MiB;
//   folder: the same 2,000 files in one folder, listed as the folder and shredded
//   after "Yes"; count: a folder's tree counted until the question shows (the window
//   asked every 10 ms meanwhile), then "No", which leaves the tree as it was
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
#include "bench/BenchFiles.h"
#include "tests/support/TempFolder.h"
#include "ui/ShredderIds.h"

namespace {

double Now() {
  LARGE_INTEGER counter{}, frequency{};
  ::QueryPerformanceCounter(&counter);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
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
  double Asked = 0;  // seconds from the click until the question showed
};

// The question a run with folders asks, once the program shows it.
HWND QuestionOf(const TRemoteProgram& program) {
  for (HWND box = nullptr; (box = ::FindWindowExA(nullptr, box, "#32770", "Quorvane")) != nullptr;) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(box, &process);
    if (process == program.ProcessId() && ::IsWindowVisible(box)) return box;
  }
  return nullptr;
}

// Answers the question when it shows; the seconds from `start` until it did.
double Answer(const TRemoteProgram& program, bool yes, double start) {
  HWND box = nullptr;
  while ((box = QuestionOf(program)) == nullptr) ::Sleep(1);
  const double shown = Now() - start;
  ::PostMessageA(box, WM_COMMAND, yes ? IDYES : IDNO, 0);
  return shown;
}

// Which folder a round works in and what it lists: the files, or (asFolder) the
// folder that holds them, or (tree) a folder made beforehand.
struct TLoad {
  int Count = 0;
  std::size_t Bytes = 0;
  bool AsFolder = false;
  std::string Tree;
};

TRound Round(const std::string& exe, const TLoad& load, bool ask) {
  const TTempFolder folder;
  std::vector<std::string> paths;
  const std::string inner = folder / "inner";
  if (load.AsFolder) ::CreateDirectoryA(inner.c_str(), nullptr);
  for (int i = 0; i < load.Count; ++i) {
    paths.push_back((load.AsFolder ? inner + "\\" : folder.Path()) + "f" + std::to_string(i));
    WriteFlushedFile(paths.back(), load.Bytes);
  }
  if (load.AsFolder) paths = {inner};
  if (!load.Tree.empty()) paths = {load.Tree};
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
  if (load.AsFolder || !load.Tree.empty()) round.Asked = Answer(program, load.Tree.empty(), start);
  // The count's own figures end at the question.
  if (!load.Tree.empty()) done = true;
  program.WaitForRunEnd();
  round.Seconds = Now() - start;
  done = true;
  prober.join();
  const auto items = program.ListItems();
  // "No" leaves the tree listed as it was.
  round.AllMarked = !load.Tree.empty() ? items == paths
                                       : std::all_of(items.begin(), items.end(), [](const std::string& item) {
                                           return item.rfind("SHREDDED! ... ", 0) == 0;
                                         });
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  if (::GetProcessMemoryInfo(program.Process(), &memory, sizeof memory)) round.PeakBytes = memory.PeakWorkingSetSize;
  program.Close();
  return round;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || (std::string(argv[2]) == "count" && argc < 4)) {
    std::fputs("usage: program_bench QUORVANE_EXE large|small|medium|folder [ROUNDS] [--ask]\n"
               "       program_bench QUORVANE_EXE count FOLDER [ROUNDS]\n", stderr);
    return 2;
  }
  const std::string exe = argv[1], load = argv[2];
  const bool counting = load == "count";
  const int first = counting ? 4 : 3;
  const int rounds = argc > first ? std::max(1, std::atoi(argv[first])) : 3;
  const bool ask = counting || (argc > 4 && std::string(argv[4]) == "--ask");
  const bool small = load == "small" || load == "folder";
  TLoad shape{small ? 2000 : counting ? 0 : 1,
              small ? 4096 : load == "medium" ? std::size_t{64} << 20 : std::size_t{1} << 30, load == "folder", {}};
  if (counting) shape.Tree = argv[3];
  std::vector<double> seconds, answers, worsts, questions;
  std::size_t peak = 0;
  for (int i = 0; i < rounds; ++i) {
    const TRound round = Round(exe, shape, ask);
    if (!round.AllMarked) {
      std::fprintf(stderr, "round %d: not every entry was marked\n", i + 1);
      return 1;
    }
    seconds.push_back(round.Seconds);
    answers.insert(answers.end(), round.Answers.begin(), round.Answers.end());
    worsts.push_back(round.Answers.empty() ? -1 : *std::max_element(round.Answers.begin(), round.Answers.end()));
    peak = std::max(peak, round.PeakBytes);
    std::printf("  round %d: %.3f s, %zu answers, worst %.1f ms, asked %.3f s into the run", i + 1, round.Seconds,
                round.Answers.size(), worsts.back(), round.SlowestAt);
    if (round.Asked > 0) std::printf(", question after %.3f s", round.Asked);
    std::printf("\n");
    questions.push_back(round.Asked);
  }
  if (counting)
    std::printf("count %s: question after %.3f s (median of %d)  answer median %.2f ms  worst %.1f ms  "
                "peak memory %zu KiB\n",
                shape.Tree.c_str(), Median(questions), rounds, Median(answers),
                *std::max_element(worsts.begin(), worsts.end()), peak / 1024);
  if (counting) return 0;
  std::printf("%s %s: run %.3f s (median of %d)  answer median %.2f ms  worst %.1f ms  peak memory %zu KiB\n",
              load.c_str(), exe.c_str(), Median(seconds), rounds, Median(answers),
              *std::max_element(worsts.begin(), worsts.end()), peak / 1024);
  return 0;
}
