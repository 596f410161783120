#pragma once
// The benchmarks' workloads: real data, written and flushed before a run starts,
// as a user's files are.

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

#include "base/Handles.h"

inline void WriteFlushedFile(const std::string& path, std::size_t bytes) {
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
