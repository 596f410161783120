#pragma once
// The file operations the engine needs. Win32FileSystem is the real one; tests
// add a fake for failures the real platform cannot produce on demand.

#include <algorithm>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

// Which file a name led to: the file's number on its volume. One name is compared
// with itself over a run, so the volume is the name's own: a file made anew under
// the name has another number.
struct TFileIdentity {
  std::uint64_t index = 0;
  bool operator==(const TFileIdentity&) const = default;
};

// An open file, written sequentially from byte 0. Destroying it closes it.
class IWritableFile {
 public:
  virtual ~IWritableFile() = default;
  // The file's full length, or -1 when it cannot be read.
  virtual std::int64_t Length() = 0;
  // True only when every one of the count bytes was written.
  virtual bool Write(const std::byte* data, std::uint32_t count) = 0;
  // Pushes what was written out of the system's cache onto the medium.
  virtual bool Flush() = 0;
};

// A file of the system's, which also gives up what the file system keeps of it
// besides its bytes.
class IShredFile : public IWritableFile {
 public:
  // Cuts the file to length 0, so the file system keeps no size for it.
  virtual bool Truncate() = 0;
  // Sets creation, last-write and last-access time to one value, in 100 ns units
  // since 1601-01-01 UTC. True when the system took the call; it may keep a time
  // it cannot set (a creation time the medium or driver has no way to change).
  virtual bool SetTimes(std::int64_t fileTime) = 0;
  // Which file this is; nothing when the system cannot say.
  virtual std::optional<TFileIdentity> Identity() = 0;
  // How many names the file has (hard links); 1 where the system cannot say.
  virtual std::uint32_t Names() { return 1; }
};

// One entry of a folder as a listing gives it.
struct TFolderEntry {
  std::string name;
  bool folder = false;
  std::int64_t size = 0;
  bool link = false;  // a symbolic link, a junction or a mount point: never entered
};

// Which folder a name led to, on which volume: two names of one folder have the same.
struct TFolderIdentity {
  std::uint64_t volume = 0;
  std::uint64_t index = 0;
  auto operator<=>(const TFolderIdentity&) const = default;
};

// A folder held open as what it is while the run works inside it: until the hold is
// destroyed no program can rename or remove it, or put a link in its place.
struct TFolderHold {
  std::shared_ptr<void> Hold;
  TFolderIdentity Identity;
};

// A small file made whole in one call: created, written and closed again at once.
struct TSmallFile {
  bool made = false;             // false: it could not be created or written in full
  std::int64_t allocation = -1;  // bytes the system allocated for it; -1 where it cannot say
  std::int64_t record = -1;      // its number on the drive (on NTFS its MFT record); -1: unknown
};

// A folder held open while many small files are made in it: each is named within the
// folder, so the system does not walk the whole path again for every file. Destroying
// it closes the folder.
class IHeldFolder {
 public:
  virtual ~IHeldFolder() = default;
  // A new file of this name in the folder holding count bytes of data, closed before
  // this returns, so that no handle stays open per file; fails rather than replace
  // anything of that name. One that is created but not written in full is removed.
  virtual TSmallFile CreateSmallFile(const std::string& name, const std::byte* data, std::uint32_t count) = 0;
  // Bytes free and available to the user on the folder's volume, as
  // IFileSystem::FreeSpace gives them, or -1.
  virtual std::int64_t FreeSpace() = 0;
};

// Why a call failed, as far as the user is told.
enum class TFileError { kOther, kInUse, kAccessDenied, kReadOnlyDrive, kDriveFull };

class IFileSystem {
 public:
  static constexpr std::uint32_t kInvalidAttributes = 0xFFFFFFFFu;
  static constexpr std::uint32_t kReadOnly = 0x1u;
  static constexpr std::uint32_t kFolder = 0x10u;
  static constexpr std::uint32_t kReparsePoint = 0x400u;  // a symbolic link, a junction, a mount point
  static constexpr std::uint32_t kCompressed = 0x800u;    // compressed by the file system

  virtual ~IFileSystem() = default;
  virtual std::uint32_t GetAttributes(const std::string& path) = 0;
  virtual bool SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
  // An existing file that is not a folder.
  virtual bool FileExists(const std::string& path) = 0;
  // Anything at all under that name, a folder or a file pending deletion included.
  virtual bool NameExists(const std::string& path) = 0;
  // No sharing, not truncated, positioned at byte 0; null when the open fails. The
  // name itself is opened, never what a link in its place points to. Opened for
  // reading, only a plain file on a disk counts: a link, a folder or a device makes it
  // fail; one opened for writing is one the caller sized, known by its identity.
  virtual std::unique_ptr<IShredFile> OpenExisting(const std::string& path, bool forWriting) = 0;
  // A new file for the free-space fill: no sharing, and the system removes it when
  // it is closed, even if the program dies first. It never replaces anything: a
  // name that is taken, by a file made since it was found missing, makes it fail.
  virtual std::unique_ptr<IShredFile> CreateFill(const std::string& path) = 0;
  virtual bool Delete(const std::string& path) = 0;
  // Gives a file a new name; fails rather than replace anything that has that name.
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
  // Bytes free and available to the user on the volume that holds a folder (a path
  // with its separator, "C:\" or "C:\a\"), or -1. A folder where another volume is
  // mounted, or a junction to one, answers for that volume.
  virtual std::int64_t FreeSpace(const std::string& folder) = 0;
  // The unit of allocation in bytes of the volume that holds a folder, or -1.
  virtual std::int64_t ClusterSize(const std::string& folder) = 0;
  // The root of the volume that holds a path: "C:\", or a mounted folder's own path;
  // empty when the system cannot say.
  virtual std::string VolumeOf(const std::string& path) = 0;
  // Holds the free-space wipe of the volume that holds a folder for this process, across
  // every process of the session, until the hold is destroyed; null when another
  // holds it already (or the system cannot say which volume it is).
  virtual std::shared_ptr<void> HoldVolume(const std::string& folder) = 0;

  // A new folder; fails rather than take a name that is there already.
  virtual bool CreateFolder(const std::string& path) = 0;
  // Removes a folder that is empty; fails on one that is not.
  virtual bool RemoveFolder(const std::string& path) = 0;
  // What a folder holds, without "." and ".."; nothing when it cannot be read whole.
  virtual std::optional<std::vector<TFolderEntry>> ListFolder(const std::string& path) = 0;
  // Holds a plain folder (not a link, a junction or a mount point); nothing when the
  // name is not one or cannot be opened.
  virtual std::optional<TFolderHold> HoldFolder(const std::string& path) = 0;
  // Removes a link itself (a symbolic link, a junction, a mount point), never what it
  // points to; fails where the system cannot tell the link from what it points to.
  virtual bool RemoveLink(const std::string& path) = 0;
  // The folders that are never shredded whole, by identity: the Windows folder, the
  // program folders, the profile and its known folders, the folder that holds the
  // running program, and every folder that holds one of them. Nothing when one of
  // them is there but cannot be told: then no folder may be shredded whole.
  virtual std::optional<std::set<TFolderIdentity>> KeptFolders() { return std::set<TFolderIdentity>{}; }
  // A new folder as CreateFolder makes one, held open until the result is destroyed;
  // null when it cannot be made.
  virtual std::unique_ptr<IHeldFolder> CreateHeldFolder(const std::string& path) = 0;
  // A file's whole contents, when it can be read and is at most limit bytes long.
  virtual std::optional<std::vector<std::byte>> ReadSmallFile(const std::string& path, std::size_t limit) = 0;
  // The names of everything a folder holds, files and folders alike, without "." and
  // "..", in no particular order. The folder is a path prefix as FolderOf gives it
  // ("C:\a\", or empty for the current folder). Nothing when it cannot be read.
  virtual std::optional<std::vector<std::string>> ListNames(const std::string& folder) = 0;
  // The names of a file's named data streams ("Zone.Identifier"), on a volume that
  // keeps streams; an empty list where it keeps none, nothing when they cannot be
  // listed. A stream is then opened, deleted or looked for as "path:name". Names come
  // only from this listing, never from a guess: where a volume keeps no streams, ':'
  // may be an ordinary character of a name, and "path:name" a neighbouring file.
  virtual std::optional<std::vector<std::string>> NamedStreams(const std::string&) {
    return std::vector<std::string>{};
  }
  // Why the call that failed last on this thread did; asked right after it.
  virtual TFileError LastError() { return TFileError::kOther; }
  // Whether the volume that holds a path takes no writes at all.
  virtual bool ReadOnlyVolume(const std::string&) { return false; }
  // Orders names as the system compares file names: 0 when they name the same file,
  // which they do when they differ only in letter case. This default knows the case
  // of ASCII letters only; the real file system knows the system's whole upper-case
  // table, for names in any script.
  virtual int CompareNames(const std::string& a, const std::string& b) {
    const auto upper = [](char c) {
      const auto code = static_cast<unsigned char>(c);
      return code >= 'a' && code <= 'z' ? static_cast<unsigned char>(code - 'a' + 'A') : code;
    };
    const auto mismatch = std::mismatch(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return upper(x) == upper(y); });
    if (mismatch.first == a.end()) return mismatch.second == b.end() ? 0 : -1;
    if (mismatch.second == b.end()) return 1;
    return upper(*mismatch.first) < upper(*mismatch.second) ? -1 : 1;
  }
};
