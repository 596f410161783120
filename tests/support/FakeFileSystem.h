#pragma once
// An in-memory file system for the failures a real one cannot give on demand:
// failing writes, short writes, failing flushes, deletions that do not delete,
// renames that fail, and names that appear or vanish at a given moment.

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/FileSystem.h"

class TFakeFileSystem : public IFileSystem {
 public:
  struct Node {
    std::vector<std::byte> data;
    std::uint32_t attributes = 0x80;  // normal
    bool folder = false;
    bool deleteOnClose = false;
    bool open = false;
    bool fill = false;         // made by CreateFill: its bytes take the drive's free space
    bool undeletable = false;  // Delete reports success, name stays (under any name)
    std::int64_t times = kOriginalTime;
  };
  static constexpr std::int64_t kOriginalTime = 129654432000000000LL;  // 2011-11-11

  // Set up.
  void AddFile(const std::string& path, std::size_t size, std::byte fill = std::byte{0x5A});
  void AddFolder(const std::string& path);
  std::map<std::string, std::int64_t> freeSpace;  // by root
  std::set<std::string> lockedForReading;         // opens for sizing fail
  std::set<std::string> lockedForWriting;         // opens for overwriting fail
  int failWriteAfter = -1;                        // writes that succeed before one fails; -1: never
  bool shortWrite = false;                        // the failing write reports some bytes instead
  bool failFlush = false;
  bool deleteOnCloseHonoured = true;
  int renamesBeforeFailure = -1;                  // renames that succeed before all fail; -1: never
  int fillsBeforeFailure = -1;                    // fill files made before CreateFill fails; -1: never
  std::size_t maxFillFileSize = SIZE_MAX;         // a fill file cannot grow past this (FAT32's limit)
  bool failTruncate = false;
  bool failSetTimes = false;
  std::set<std::string> unreadableFolders;       // ListFolder fails for these
  // Run once, right after the operation that logs this line: a file that appears or
  // vanishes between the sizing of an entry and its overwrite, a stop requested.
  std::map<std::string, std::function<void()>> after;

  // Observed.
  std::map<std::string, Node> nodes;
  // One line per operation: "open-r P", "open-rw P", "create P", "write P N",
  // "flush P", "truncate P", "settimes P", "close P", "setattr P A", "delete P",
  // "rename P Q", "free-space R", "list F".
  std::vector<std::string> log;
  std::vector<std::string> renamedTo;  // every name a rename gave, in order
  int listings = 0;
  int writes = 0;
  int flushes = 0;
  std::size_t largestWrite = 0;

  std::uint32_t GetAttributes(const std::string& path) override;
  bool SetAttributes(const std::string& path, std::uint32_t attributes) override;
  bool FileExists(const std::string& path) override;
  bool NameExists(const std::string& path) override;
  std::unique_ptr<IShredFile> OpenExisting(const std::string& path, bool forWriting) override;
  std::unique_ptr<IShredFile> CreateFill(const std::string& path) override;
  bool Delete(const std::string& path) override;
  bool Rename(const std::string& from, const std::string& to) override;
  std::int64_t FreeSpace(const std::string& root) override;
  std::optional<std::vector<std::string>> ListFolder(const std::string& folder) override;

  // The lines of the log that begin with this, in order.
  std::vector<std::string> Logged(const std::string& start) const;
  bool AllZero(const std::string& path) const;
  // Bytes the fill files on a drive hold now.
  std::int64_t FillBytes(const std::string& root) const;

 private:
  friend class TFakeFile;
  friend class TLogged;
  std::unique_ptr<IShredFile> Open(const std::string& path);
};
