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

// Small helpers over real files.
void WriteFileBytes(const std::string& path, const std::string& bytes);
std::string ReadFileBytes(const std::string& path);
bool PathExists(const std::string& path);
void RemoveTree(const std::string& path);
