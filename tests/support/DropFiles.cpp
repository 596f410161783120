#include "tests/support/DropFiles.h"

#include <shlobj.h>

#include <cstring>

HGLOBAL MakeDrop(const std::vector<std::string>& names, POINT at) {
  std::size_t bytes = sizeof(DROPFILES) + 1;
  for (const std::string& name : names) bytes += name.size() + 1;
  const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->pt = at;
  header->fNC = FALSE;
  header->fWide = FALSE;
  char* out = reinterpret_cast<char*>(header) + sizeof(DROPFILES);
  for (const std::string& name : names) {
    std::memcpy(out, name.c_str(), name.size() + 1);
    out += name.size() + 1;
  }
  ::GlobalUnlock(memory);
  return memory;
}
