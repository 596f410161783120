#pragma once
// The names in the folders a run scrubs files in, for finding a file's neighbours
// in the order the file system keeps them. Each folder is listed once per run and
// kept sorted, with the scrub's own renames and deletions applied: a run over a
// folder's files pays for reading it once, not once per file. A name another program adds
// during the run is not seen; between a file and its neighbour it only puts one
// more entry next to the file's own, in the same place.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/FileSystem.h"

class TFolderNames {
 public:
  explicit TFolderNames(IFileSystem& fileSystem) noexcept : FFileSystem(fileSystem) {}

  struct TNeighbours {
    std::optional<std::string> before;  // the last name that sorts before
    std::optional<std::string> after;   // the first name that sorts after
  };
  // The names beside `name` in the folder (a path prefix as FolderOf gives it); names
  // the file system takes for the same name do not count. Nothing when the folder
  // cannot be listed.
  std::optional<TNeighbours> Neighbours(const std::string& folder, const std::string& name);
  // Whether a listed folder holds a name the file system takes for `name`.
  bool Holds(const std::string& folder, const std::string& name);
  void Added(const std::string& folder, const std::string& name);
  void Renamed(const std::string& folder, const std::string& from, const std::string& to);
  void Removed(const std::string& folder, const std::string& name);
  // Whether the folder could be listed.
  bool Listed(const std::string& folder) { return Listing(folder).has_value(); }
  // A new run lists again: other programs may have changed the folders since.
  void Forget() noexcept { FFolders.clear(); }
  // The folder is listed again when next asked about: to see what the system did.
  void Forget(const std::string& folder) { FFolders.erase(folder); }

 private:
  using TNames = std::vector<std::string>;
  // Sorted, or nothing for a folder that could not be listed (it is not tried again).
  std::optional<TNames>& Listing(const std::string& folder);
  auto Order() {
    return [this](const std::string& a, const std::string& b) { return FFileSystem.CompareNames(a, b) < 0; };
  }

  IFileSystem& FFileSystem;
  std::map<std::string, std::optional<TNames>> FFolders;
};
