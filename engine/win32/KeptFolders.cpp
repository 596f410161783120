// The folders a run never shreds whole, as this system and user have them.
#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include "base/WideText.h"
#include "engine/EntryPaths.h"
#include "engine/win32/Win32FileSystem.h"

namespace {

std::optional<std::string> KnownFolder(const KNOWNFOLDERID& id) {
  PWSTR path = nullptr;
  const HRESULT result = ::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path);
  const std::unique_ptr<wchar_t, decltype(&::CoTaskMemFree)> owned(path, &::CoTaskMemFree);
  if (FAILED(result) || path == nullptr) return std::nullopt;
  return ExactNarrowOf(path);
}

// The folder part of a path, without its separator.
std::string ParentOf(const std::string& path) {
  std::string folder(FolderOf(path));
  if (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  return folder;
}

}  // namespace

// Each whole; a folder inside one is the user's to shred. AppData is the folder that
// holds the roaming and local ones. A 32-bit program has no "Program Files" of 64-bit
// programs of its own, so that one is asked of the environment too.
std::vector<std::string> TWin32FileSystem::KeptFolders() {
  std::vector<std::string> kept;
  for (const KNOWNFOLDERID* id :
       {&FOLDERID_Windows, &FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86, &FOLDERID_ProgramFilesX64,
        &FOLDERID_ProgramData, &FOLDERID_Profile, &FOLDERID_Desktop, &FOLDERID_Documents, &FOLDERID_Downloads,
        &FOLDERID_Pictures, &FOLDERID_Music, &FOLDERID_Videos, &FOLDERID_RoamingAppData, &FOLDERID_LocalAppData})
    if (auto folder = KnownFolder(*id)) kept.push_back(std::move(*folder));
  if (auto roaming = KnownFolder(FOLDERID_RoamingAppData)) kept.push_back(ParentOf(*roaming));
  wchar_t programW6432[MAX_PATH] = {};
  if (const DWORD length = ::GetEnvironmentVariableW(L"ProgramW6432", programW6432, MAX_PATH);
      length > 0 && length < MAX_PATH)
    if (auto folder = ExactNarrowOf(programW6432)) kept.push_back(std::move(*folder));
  std::wstring program(32768, L'\0');
  const DWORD length = ::GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
  program.resize(length);
  if (length > 0)
    if (auto path = ExactNarrowOf(program)) kept.push_back(ParentOf(*path));
  return kept;
}
