#include "engine/win32/NtCreate.h"

#include <winternl.h>

#include "engine/win32/Win32Path.h"

UniqueFile NtCreateNew(HANDLE root, const std::wstring& name, ACCESS_MASK access, ULONG share, ULONG options) {
  if (name.size() > 32767) return UniqueFile();
  UNICODE_STRING text{};
  text.Buffer = const_cast<wchar_t*>(name.data());
  text.Length = text.MaximumLength = static_cast<USHORT>(name.size() * sizeof(wchar_t));
  OBJECT_ATTRIBUTES attributes{};
  InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, root, nullptr);
  IO_STATUS_BLOCK io{};
  HANDLE handle = nullptr;
  if (!NT_SUCCESS(::NtCreateFile(&handle, access, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL, share, FILE_CREATE,
                                 options | FILE_SYNCHRONOUS_IO_NONALERT, nullptr, 0)))
    return UniqueFile();
  return UniqueFile(handle);
}

std::wstring NtPathOf(std::string_view entry) {
  std::wstring path = Win32Path(entry);
  if (!path.starts_with(L"\\\\?\\")) return {};
  path[1] = L'?';
  return path;
}
