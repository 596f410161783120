// The shredding run over real drives without the window, for the medium tests and
// the benchmark: shredrun [--delay-ms N] [--record-delay-ms N] [--status] [--seed N] [--stream NAME] PATH...
// Prints every entry as the run left it, one per line; exit 0, or 3 when the run
// ended with an error (its message on stderr). --seed draws the scrub's random names
// from a fixed seed, so a medium test gives the same result on every run. --stream
// says every listed file has a named stream of that name, as Windows would list it:
// Wine lists none, and ntfs-3g shows a stream under the name "file:stream".
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "engine/run/ListRows.h"
#include "engine/run/ShredEngine.h"
#include "engine/freespace/WipeTexts.h"
#include "base/WideText.h"
#include "engine/win32/Win32FileSystem.h"
#include "engine/win32/Win32Path.h"
#include "tests/support/VectorFileList.h"

namespace {

// Sleeping per block lets a test kill the process while a fill is half written, and
// sleeping per small file while it fills the MFT's free records. The status text
// carries each entry's shred size, which the tests check.
class TToolDisplay final : public TNullDisplay {
 public:
  TToolDisplay(DWORD delayMs, DWORD recordDelayMs, bool echoStatus) noexcept
      : FDelayMs(delayMs), FRecordDelayMs(recordDelayMs), FEchoStatus(echoStatus) {}
  void SetStatusText(std::string_view text) override {
    FFillingRecords = text.rfind(kRecordFillText, 0) == 0;
    if (!FEchoStatus) return;
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    std::fflush(stderr);
  }
  void SetProgressPosition(std::int32_t) override {
    const DWORD delay = FFillingRecords ? FRecordDelayMs : FDelayMs;
    if (delay > 0) ::Sleep(delay);
  }

 private:
  DWORD FDelayMs;
  DWORD FRecordDelayMs;
  bool FEchoStatus;
  bool FFillingRecords = false;
};

// The real file system, whose files have the streams the test names.
class TStreamsNamed final : public TWin32FileSystem {
 public:
  explicit TStreamsNamed(std::vector<std::string> streams) : FStreams(std::move(streams)) {}
  std::optional<std::vector<std::string>> NamedStreams(const std::string& path) override {
    std::vector<std::string> there;
    for (const std::string& stream : FStreams)
      if (NameExists(path + ":" + stream)) there.push_back(stream);
    return there;
  }

 private:
  std::vector<std::string> FStreams;
};

int Usage() {
  std::fputs("usage: shredrun [--delay-ms N] [--record-delay-ms N] [--status] [--seed N] [--stream NAME] PATH...\n",
             stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // Lines end in \n, not \r\n, so the shell scripts compare them as they are.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  // The C runtime leaves stdout unbuffered and writes a pipe a character at a time:
  // the benchmark would time 40,000 writes for 2,000 entries along with the engine.
  std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);

  DWORD delayMs = 0, recordDelayMs = 0;
  bool echoStatus = false;
  std::optional<std::uint64_t> seed;
  std::vector<std::string> paths, streams;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--delay-ms" && i + 1 < argc) {
      delayMs = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
    } else if (arg == "--record-delay-ms" && i + 1 < argc) {
      recordDelayMs = static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10));
    } else if (arg == "--seed" && i + 1 < argc) {
      seed = std::strtoull(argv[++i], nullptr, 10);
    } else if (arg == "--stream" && i + 1 < argc) {
      streams.push_back(argv[++i]);
    } else if (arg == "--status") {
      echoStatus = true;
    } else if (arg.rfind("--", 0) == 0) {
      return Usage();
    } else if (IsLeftRow(arg) || IsShreddedRow(arg)) {
      // A row as an earlier run left it, for a second run over the same list.
      paths.push_back(arg);
    } else {
      // As the program lists a name from its command line: full, once.
      paths.push_back(NarrowOf(AbsolutePathOf(WideOf(arg))));
    }
  }
  if (paths.empty()) return Usage();

  TVectorFileList list(paths);
  try {
    TStreamsNamed fileSystem(streams);
    TToolDisplay display(delayMs, recordDelayMs, echoStatus);
    if (seed) TShredEngine(fileSystem, display, *seed).Run(list);
    else TShredEngine(fileSystem, display).Run(list);
  } catch (const std::exception& error) {
    // The entries as far as the run got still go to stdout: tests check them too.
    for (const auto& item : list.items) std::printf("%s\n", item.c_str());
    std::fprintf(stderr, "%s\n", error.what());
    return 3;
  }
  for (const auto& item : list.items) std::printf("%s\n", item.c_str());
  return 0;
}
