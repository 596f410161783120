// The folders a run never shreds whole, as this system and user have them: worked
// out from their wide paths, so a name the code page cannot hold is kept too.
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <memory>

#include "base/Handles.h"
#include "engine/win32/Win32FileSystem.h"

namespace {

std::wstring KnownFolder(const KNOWNFOLDERID& id) {
  PWSTR path = nullptr;
  const HRESULT result = ::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path);
  const std::unique_ptr<wchar_t, decltype(&::CoTaskMemFree)> owned(path, &::CoTaskMemFree);
  if (FAILED(result) || path == nullptr) return {};
  return path;
}

// The folder that holds a path, without its separator; a drive's root keeps it.
// Empty above a root.
std::wstring ParentOf(const std::wstring& path) {
  const auto at = path.find_last_of(L'\\');
  if (at == std::wstring::npos || at + 1 >= path.size()) return {};
  std::wstring parent = path.substr(0, at);
  if (parent.size() == 2 && parent[1] == L':') parent += L'\\';
  return parent;
}

std::optional<TFolderIdentity> IdentityOf(const std::wstring& path) {
  const UniqueFile folder(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!folder || !::GetFileInformationByHandle(folder.get(), &info)) return std::nullopt;
  return TFolderIdentity{info.dwVolumeSerialNumber,
                         static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow};
}

// Each folder kept whole. AppData is the folder that holds the roaming and local
// ones. A 32-bit program has no known folder for the 64-bit programs' folder: the
// environment names it.
std::vector<std::wstring> KeptPaths() {
  std::vector<std::wstring> kept;
  for (const KNOWNFOLDERID* id :
       {&FOLDERID_Windows, &FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86, &FOLDERID_ProgramFilesX64,
        &FOLDERID_ProgramData, &FOLDERID_Profile, &FOLDERID_Desktop, &FOLDERID_Documents, &FOLDERID_Downloads,
        &FOLDERID_Pictures, &FOLDERID_Music, &FOLDERID_Videos, &FOLDERID_RoamingAppData, &FOLDERID_LocalAppData})
    if (std::wstring folder = KnownFolder(*id); !folder.empty()) kept.push_back(std::move(folder));
  if (const std::wstring roaming = KnownFolder(FOLDERID_RoamingAppData); !roaming.empty())
    kept.push_back(ParentOf(roaming));
  wchar_t programs[MAX_PATH] = {};
  if (const DWORD length = ::GetEnvironmentVariableW(L"ProgramW6432", programs, MAX_PATH);
      length > 0 && length < MAX_PATH)
    kept.emplace_back(programs);
  std::wstring program(32768, L'\0');
  program.resize(::GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size())));
  if (!program.empty()) kept.push_back(ParentOf(program));
  return kept;
}

}  // namespace

// Each kept folder and every folder above it, up to its drive's root: shredding one
// of those would take the kept one along. One that is there but cannot be told
// makes the answer unknown.
std::optional<std::set<TFolderIdentity>> TWin32FileSystem::KeptFolders() {
  std::set<TFolderIdentity> kept;
  for (std::wstring folder : KeptPaths()) {
    for (; !folder.empty(); folder = ParentOf(folder)) {
      if (const auto identity = IdentityOf(folder)) {
        kept.insert(*identity);
        continue;
      }
      if (::GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES) return std::nullopt;
    }
  }
  return kept;
}
