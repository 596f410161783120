#pragma once
// The engine with everything it talks to, set up once: a file system, a display that
// records every call, a list and a stop request. A test sets up the file system (and
// requests a stop where it wants one), runs, and inspects what each part holds.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/RunStop.h"
#include "engine/run/ShredEngine.h"
#include "tests/support/FakeFileSystem.h"
#include "tests/support/RecordingDisplay.h"
#include "tests/support/VectorFileList.h"

template <class TFileSystem>
struct TEngineRigOn {
  TFileSystem fs;
  TRecordingDisplay display;
  TVectorFileList list;
  TRunStop stop;
  TShredEngine engine{fs, display, stop};

  // A run over a fresh list of these entries; returns them as the run left them.
  const std::vector<std::string>& Run(std::vector<std::string> entries) {
    list = TVectorFileList(std::move(entries));
    engine.Run(list);
    return list.items;
  }

  // One entry as the run takes it, without deletion or marking: sized, then
  // overwritten as its size says.
  std::int64_t Shred(const std::string& entry) { return engine.ShredFile(entry, engine.ShredSize(entry)); }
};

// The in-memory file system, for the failures a real disk cannot give on demand.
using TEngineRig = TEngineRigOn<TFakeFileSystem>;
