#include "tests/support/DropFiles.h"

#include <shlobj.h>

#include <cstring>

namespace {

HGLOBAL MakeBlock(const void* names, std::size_t bytes, bool wide, POINT at) {
  const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + bytes);
  auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->pt = at;
  header->fNC = FALSE;
  header->fWide = wide ? TRUE : FALSE;
  std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), names, bytes);
  ::GlobalUnlock(memory);
  return memory;
}

}  // namespace

HGLOBAL MakeDrop(const std::vector<std::string>& names, POINT at) {
  std::string list;
  for (const std::string& name : names) (list += name) += '\0';
  list += '\0';
  return MakeBlock(list.data(), list.size(), false, at);
}

HGLOBAL MakeWideDrop(const std::vector<std::wstring>& names, POINT at) {
  std::wstring list;
  for (const std::wstring& name : names) (list += name) += L'\0';
  list += L'\0';
  return MakeBlock(list.data(), list.size() * sizeof(wchar_t), true, at);
}

HGLOBAL MakeRawDrop(std::string_view bytes, bool wide, DWORD pFiles, POINT at) {
  const std::size_t size = sizeof(DROPFILES) + bytes.size();
  constexpr std::size_t kSpare = 4096;
  const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, size + kSpare);
  auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
  std::memset(header, 'x', size + kSpare);
  header->pFiles = pFiles != 0 ? pFiles : sizeof(DROPFILES);
  header->pt = at;
  header->fNC = FALSE;
  header->fWide = wide ? TRUE : FALSE;
  std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), bytes.data(), bytes.size());
  ::GlobalUnlock(memory);
  // Shrinking keeps the block where it is, and the bytes past its new end as they were.
  return ::GlobalReAlloc(memory, size, GMEM_MOVEABLE);
}
