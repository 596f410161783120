#pragma once
// A fresh folder under the system's temporary folder, removed with all it holds
// when the test ends.

#include <windows.h>

#include <string>

class TTempFolder {
 public:
  TTempFolder();
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  ~TTempFolder();

  // The folder's path with a trailing backslash.
  const std::string& Path() const { return FPath; }
  std::string operator/(const std::string& name) const { return FPath + name; }

 private:
  std::string FPath;
};

// Small helpers over real files, for absolute paths of any length (8-bit text in the
// ANSI code page): each reaches the system in its long form.
std::wstring LongPathOf(const std::string& path, UINT codePage = CP_ACP);
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
bool PathExists(const std::string& path);
void RemoveTree(const std::string& path);
// The folder and every folder above it that is missing.
void MakeFolders(const std::string& path);
// A folder under base (which ends in a backslash) in which a file of the given name
// has a path of exactly length characters; its folders' names are at most 200
// characters long. Not made.
std::string FolderForPath(const std::string& base, const std::string& name, std::size_t length);
