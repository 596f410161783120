#include "tests/support/TempFolder.h"

#include <algorithm>
#include <stdexcept>

#include "base/Handles.h"
#include "base/WideText.h"

namespace {

// The tests' own long form of the absolute, normal paths they make, apart from the
// program's Win32Path, which tests check: a helper that shared its faults would
// find every file it lost.
std::wstring LongForm(const std::wstring& path) {
  if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  return L"\\\\?\\" + path;
}

void RemoveWideTree(const std::wstring& folder) {
  {
    // The search must be closed before the folder goes: an open one can keep it.
    WIN32_FIND_DATAW data{};
    const UniqueFind find(::FindFirstFileW(LongForm(folder + L"\\*").c_str(), &data));
    if (find) {
      do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        const std::wstring child = folder + L"\\" + name;
        ::SetFileAttributesW(LongForm(child).c_str(), FILE_ATTRIBUTE_NORMAL);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
          RemoveWideTree(child);
        else
          ::DeleteFileW(LongForm(child).c_str());
      } while (::FindNextFileW(find.get(), &data));
    }
  }
  ::RemoveDirectoryW(LongForm(folder).c_str());
}

}  // namespace

TTempFolder::TTempFolder() {
  char base[MAX_PATH + 1] = {};
  ::GetTempPathA(static_cast<DWORD>(std::size(base)), base);
  static unsigned counter = 0;
  for (;;) {
    FPath = std::string(base) + "quorvane-" + std::to_string(::GetCurrentProcessId()) + "-" +
            std::to_string(++counter) + "\\";
    if (::CreateDirectoryA(FPath.c_str(), nullptr)) return;
    if (::GetLastError() != ERROR_ALREADY_EXISTS) throw std::runtime_error("cannot create " + FPath);
  }
}

TTempFolder::~TTempFolder() { RemoveTree(FPath); }

std::wstring LongPathOf(const std::string& path, UINT codePage) { return LongForm(WideOf(path, codePage)); }

void RemoveTree(const std::string& path) {
  std::wstring folder = WideOf(path);
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  RemoveWideTree(folder);
}

void MakeFolders(const std::string& path) {
  for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
    ::CreateDirectoryW(LongPathOf(path.substr(0, at)).c_str(), nullptr);
  ::CreateDirectoryW(LongPathOf(path).c_str(), nullptr);
}

std::string FolderForPath(const std::string& base, const std::string& name, std::size_t length) {
  constexpr std::size_t kName = 200;  // within the 255 bytes of a Unix name under a Wine drive
  std::size_t rest = length - base.size() - name.size();  // for folder names, each with its backslash
  std::string folder = base;
  char letter = 'a';
  while (rest > 0) {
    // A last piece of one character would be a backslash with no name before it.
    std::size_t piece = std::min(rest, kName + 1);
    if (rest - piece == 1) --piece;
    folder += std::string(piece - 1, letter++) + "\\";
    rest -= piece;
  }
  return folder;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  UniqueFile file(::CreateFileW(LongPathOf(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw std::runtime_error("cannot create " + path);
  DWORD written = 0;
  if (!bytes.empty() && !::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
    throw std::runtime_error("cannot write " + path);
}

std::string ReadFileBytes(const std::string& path) {
  UniqueFile file(::CreateFileW(LongPathOf(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw std::runtime_error("cannot open " + path);
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  return bytes;
}

bool PathExists(const std::string& path) {
  return ::GetFileAttributesW(LongPathOf(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}
