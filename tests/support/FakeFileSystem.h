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
    bool small = false;             // a small file made in a held folder
    int record = -1;                // its MFT record, when the drive has an MFT
    std::int64_t clusterBytes = 0;  // what a small file or folder takes of the free space
    std::uint64_t id = 0;           // its identity on the drive; a file made anew gets a new one
  };
  // What an MFT record last held: a deleted file's data, a folder's index, only the
  // attributes of data that went to a cluster, or that many bytes of resident data.
  static constexpr int kOldData = -1;
  static constexpr int kFolderIndex = -2;
  static constexpr int kDataElsewhere = -3;
  struct Record {
    bool used = false;
    int held = kOldData;
  };
  static constexpr std::int64_t kOriginalTime = 129654432000000000LL;  // 2011-11-11

  // Set up.
  void AddFile(const std::string& path, std::size_t size, std::byte fill = std::byte{0x5A});
  void AddFolder(const std::string& path);
  // A symbolic link to a file, as Windows shows one: a reparse point.
  void AddLink(const std::string& path);
  // A junction or a symbolic link to a folder: a folder that is a reparse point.
  void AddFolderLink(const std::string& path);
  std::set<std::string> heldElsewhere;  // volumes whose free space another window is wiping
  std::map<std::string, std::int64_t> freeSpace;  // by volume root: "D:\\", or a mounted folder "D:\\in\\"
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
  TFileError lastError = TFileError::kOther;      // what LastError says of any failure
  bool failSetTimes = false;
  // Small files and folders. By default each takes a cluster, as on FAT, exFAT and
  // ext4. With an MFT each takes a record instead: a file's data stays inside it up to
  // residentLimit bytes and a folder's index up to folderIndexLimit entries; past that
  // they take a cluster too. With no record free, the MFT grows by 16 records and
  // takes mftGrowth bytes of the free space.
  std::int64_t clusterSize = 4096;
  bool hasMft = false;
  std::vector<Record> mft;      // the drive's records, free ones included
  // ntfs-3g's order: after the last record given, growing the MFT once at its end
  // before it comes round to free records below; otherwise the lowest free one.
  bool nextFitRecords = false;
  int lastRecordGiven = -1;
  std::size_t residentLimit = 664;
  std::size_t folderIndexLimit = 5;
  std::int64_t mftGrowth = 16384;
  int smallFilesBeforeFailure = -1;  // small files made before CreateSmallFile fails; -1: never
  int foldersBeforeFailure = -1;     // folders made before CreateFolder fails; -1: never
  std::function<void(int)> onSmallFile;  // told the number of small files made so far
  std::set<std::string> unreadableFolders;       // ListNames fails for these
  std::vector<std::string> kept;                 // folders KeptFolders gives, with the folders above them
  bool keptUnknown = false;                      // KeptFolders cannot tell them
  bool linksRemovable = true;                    // false: as under Wine, RemoveLink fails
  // Named streams, by their file's path; a stream's data is the node "path:name".
  std::map<std::string, std::vector<std::string>> streams;
  std::set<std::string> unlistableStreams;       // NamedStreams fails for these
  std::map<std::string, std::uint32_t> nameCounts;  // a file's number of names, where more than 1
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
  int smallFiles = 0;
  std::int64_t mftGrown = 0;
  std::size_t largestWrite = 0;

  std::uint32_t GetAttributes(const std::string& path) override;
  bool SetAttributes(const std::string& path, std::uint32_t attributes) override;
  bool FileExists(const std::string& path) override;
  bool NameExists(const std::string& path) override;
  std::unique_ptr<IShredFile> OpenExisting(const std::string& path, bool forWriting) override;
  std::unique_ptr<IShredFile> CreateFill(const std::string& path) override;
  bool Delete(const std::string& path) override;
  bool Rename(const std::string& from, const std::string& to) override;
  std::int64_t FreeSpace(const std::string& folder) override;
  std::int64_t ClusterSize(const std::string& folder) override;
  std::string VolumeOf(const std::string& path) override { return VolumeKey(path); }
  std::shared_ptr<void> HoldVolume(const std::string& folder) override;
  bool CreateFolder(const std::string& path) override;
  // Its small files each take a record where the drive has an MFT, and a cluster
  // where it has none.
  std::unique_ptr<IHeldFolder> CreateHeldFolder(const std::string& path) override;
  // What the clean-up after a killed record fill reads and removes.
  std::optional<std::vector<TFolderEntry>> ListFolder(const std::string& path) override;
  std::optional<std::vector<std::byte>> ReadSmallFile(const std::string& path, std::size_t limit) override;
  bool RemoveFolder(const std::string& path) override;
  std::optional<std::vector<std::string>> ListNames(const std::string& folder) override;
  // A held folder cannot be renamed or removed, as on Windows.
  std::optional<TFolderHold> HoldFolder(const std::string& path) override;
  bool RemoveLink(const std::string& path) override;
  std::optional<std::set<TFolderIdentity>> KeptFolders() override;
  TFileError LastError() override { return lastError; }
  std::optional<std::vector<std::string>> NamedStreams(const std::string& path) override;

  // The lines of the log that begin with this, in order.
  std::vector<std::string> Logged(const std::string& start) const;
  bool AllZero(const std::string& path) const;
  // Bytes the fill files on a drive hold now.
  std::int64_t FillBytes(const std::string& root) const;
  // The deepest volume of freeSpace that holds the path; else its drive's root.
  std::string VolumeKey(const std::string& path) const;
  std::uint64_t FLastId = 0;
  std::multiset<std::string> heldFolders;
  // The paths of everything in a folder, however deep.
  std::vector<std::string> Under(const std::string& folder) const;

 private:
  friend class TFakeFile;
  friend class TFakeHeldFolder;
  friend class TLogged;
  TSmallFile CreateSmallFile(const std::string& path, const std::byte* data, std::uint32_t count);
  std::unique_ptr<IShredFile> Open(const std::string& path);
  bool CanAdd(const std::string& path) const;
  // A new entry of its folder: the folder's index may outgrow its record.
  void AddEntry(const std::string& path);
  void TakeRecord(Node& node);
  void FreeRecord(const Node& node);
  // Where a small file's data lives once it has this length; its allocation.
  std::int64_t PlaceData(Node& node);
  bool FGrewAtEnd = false;
};
