#pragma once
// The paths one run has marked, so that a second entry for a file the run has
// already shredded and deleted (or one in a folder it shredded whole) is marked as
// well: by then its name is missing, and a missing name would otherwise start a fill
// of the drive's free space.

#include <set>
#include <string>

#include "engine/EntryPaths.h"
#include "engine/FileSystem.h"

class TMarkedPaths {
 public:
  explicit TMarkedPaths(IFileSystem& fileSystem) : FPaths(TNameOrder{&fileSystem}) {}

  // True when path names the same file as a path added before: the same name, letter
  // case aside, as the file system compares names.
  bool Contains(const std::string& path) const { return FPaths.count(path) != 0; }
  // True when a folder that holds the path, however deep, was added: a folder
  // shredded whole took it along.
  bool ContainsFolderOf(std::string path) const {
    for (;;) {
      std::string folder(FolderOf(path));
      if (folder.size() < 2 || folder.size() >= path.size()) return false;
      folder.pop_back();
      if (Contains(folder)) return true;
      path = std::move(folder);
    }
  }
  void Add(const std::string& path) { FPaths.insert(path); }

 private:
  struct TNameOrder {
    IFileSystem* FileSystem;
    bool operator()(const std::string& a, const std::string& b) const { return FileSystem->CompareNames(a, b) < 0; }
  };
  std::set<std::string, TNameOrder> FPaths;
};
