#pragma once
// A listed folder shredded whole: every file in it, at every depth, as a listed file
// is shredded; every link in it removed as itself, never entered or followed; then
// each folder it emptied, deepest first, scrubbed and removed. Each folder is held
// open while the run works inside it, so that nothing can be put in its place that
// leads out of the tree. Anything left (a file that could not be shredded, a stop,
// files that appeared meanwhile) keeps the folders on its way up, and is told in the
// folder's row.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "engine/FileSystem.h"
#include "engine/RunStop.h"

class TMetadataScrub;

// Shreds one file found in the folder; empty when it is gone, else why it was left.
class IFolderFiles {
 public:
  virtual ~IFolderFiles() = default;
  virtual std::string_view ShredFoundFile(const std::string& path) = 0;
};

class TFolderShred {
 public:
  TFolderShred(IFileSystem& fileSystem, TMetadataScrub& scrub, IFolderFiles& files, const TRunStop& stop) noexcept
      : FFileSystem(fileSystem), FScrub(scrub), FFiles(files), FStop(stop) {}

  // Folders (and the folders that hold them) never shredded whole.
  void Keep(std::set<TFolderIdentity> kept) { FKept = std::move(kept); }
  bool Kept(const TFolderIdentity& identity) const { return FKept.count(identity) != 0; }

  // The folder (a path without its separator): empty when it is gone, else the
  // reason its row says.
  std::string Shred(const std::string& folder);

 private:
  struct TLevel {
    std::string Path;
    TFolderHold Hold;
    std::vector<TFolderEntry> Entries;
    std::size_t Next = 0;
    bool Keep = false;  // something in it stays, so it stays too
  };
  // Holds and lists a folder to work in; false when it is left as it is.
  bool Enter(const std::string& path);
  void Leave(const std::string& path, std::string_view why);
  void Step(TLevel& level);
  // Every entry of the level is done: it goes unless something in it stays.
  void Finish();
  std::string Reason(const std::string& folder) const;

  IFileSystem& FFileSystem;
  TMetadataScrub& FScrub;
  IFolderFiles& FFiles;
  const TRunStop& FStop;
  std::set<TFolderIdentity> FKept;
  std::vector<TLevel> FLevels;
  bool FStopped = false;
  std::string_view FTopWhy;  // why the folder itself could not be worked in
  std::int64_t FLeftCount = 0;
  std::vector<std::string> FLeftFirst;  // "name (why)" of the first ones left
  std::int64_t FShredded = 0;
};
