#include "tests/support/FakeFileSystem.h"

#include <cctype>

#include <algorithm>
#include <iterator>

// Logs an operation as it starts, and once it is over runs what is to happen after it.
class TLogged {
 public:
  TLogged(TFakeFileSystem& fs, std::string line) : FFs(fs), FLine(std::move(line)) { FFs.log.push_back(FLine); }
  TLogged(const TLogged&) = delete;
  TLogged& operator=(const TLogged&) = delete;
  ~TLogged() {
    const auto it = FFs.after.find(FLine);
    if (it == FFs.after.end()) return;
    const auto action = std::move(it->second);
    FFs.after.erase(it);
    action();
  }

 private:
  TFakeFileSystem& FFs;
  std::string FLine;
};

class TFakeFile final : public IShredFile {
 public:
  TFakeFile(TFakeFileSystem& fs, std::string path) : FFs(fs), FPath(std::move(path)) {}
  ~TFakeFile() override {
    const TLogged logged(FFs, "close " + FPath);
    auto& node = FFs.nodes.at(FPath);
    node.open = false;
    if (node.deleteOnClose) FFs.nodes.erase(FPath);
  }
  std::int64_t Length() override { return static_cast<std::int64_t>(FFs.nodes.at(FPath).data.size()); }
  bool Write(const std::byte* data, std::uint32_t count) override {
    const TLogged logged(FFs, "write " + FPath + " " + std::to_string(count));
    auto& node = FFs.nodes.at(FPath);
    FFs.largestWrite = std::max<std::size_t>(FFs.largestWrite, count);
    std::uint32_t accepted = count;
    bool fails = FFs.failWriteAfter >= 0 && FFs.writes >= FFs.failWriteAfter;
    ++FFs.writes;
    if (fails) accepted = FFs.shortWrite ? count / 2 : 0;
    if (node.fill) {
      // A file at its size limit takes nothing more; a full drive takes what fits.
      const std::size_t growth = FPosition + accepted > node.data.size() ? FPosition + accepted - node.data.size() : 0;
      if (node.data.size() + growth > FFs.maxFillFileSize) fails = true, accepted = 0;
      const std::string root = FFs.VolumeKey(FPath);
      if (const auto it = FFs.freeSpace.find(root); it != FFs.freeSpace.end()) {
        const auto room = static_cast<std::size_t>(std::max<std::int64_t>(0, it->second - FFs.FillBytes(root)));
        if (growth > room) fails = true, accepted = static_cast<std::uint32_t>(std::min<std::size_t>(accepted, room));
      }
    }
    if (node.data.size() < FPosition + accepted) node.data.resize(FPosition + accepted);
    std::copy(data, data + accepted, node.data.begin() + static_cast<std::ptrdiff_t>(FPosition));
    FPosition += accepted;
    if (node.small) FFs.PlaceData(node);
    return !fails;
  }
  bool Flush() override {
    ++FFs.flushes;
    const TLogged logged(FFs, "flush " + FPath);
    return !FFs.failFlush;
  }
  bool Truncate() override {
    const TLogged logged(FFs, "truncate " + FPath);
    if (FFs.failTruncate) return false;
    FFs.nodes.at(FPath).data.clear();
    FPosition = 0;
    return true;
  }
  bool SetTimes(std::int64_t fileTime) override {
    const TLogged logged(FFs, "settimes " + FPath);
    if (FFs.failSetTimes) return false;
    FFs.nodes.at(FPath).times = fileTime;
    return true;
  }
  // A named stream ("C:\f.txt:s") carries its file's number, as on NTFS.
  std::optional<TFileIdentity> Identity() override {
    const std::size_t stream = FPath.find(':', 2);
    const std::string owner = stream == std::string::npos ? FPath : FPath.substr(0, stream);
    return TFileIdentity{FFs.nodes.at(FFs.nodes.count(owner) ? owner : FPath).id};
  }
  std::uint32_t Names() override {
    const auto it = FFs.nameCounts.find(FPath);
    return it == FFs.nameCounts.end() ? 1 : it->second;
  }

 private:
  TFakeFileSystem& FFs;
  std::string FPath;
  std::size_t FPosition = 0;
};

void TFakeFileSystem::AddFile(const std::string& path, std::size_t size, std::byte fill) {
  auto& node = nodes[path] = Node{};
  node.data.assign(size, fill);
  node.id = ++FLastId;
}

void TFakeFileSystem::AddLink(const std::string& path) {
  AddFile(path, 0);
  nodes[path].attributes = kReparsePoint | 0x20;
}

void TFakeFileSystem::AddFolder(const std::string& path) {
  auto& node = nodes[path];
  node.folder = true;
  if (node.id == 0) node.id = ++FLastId;
}

void TFakeFileSystem::AddFolderLink(const std::string& path) {
  AddFolder(path);
  nodes[path].attributes = kReparsePoint;
}

std::optional<TFolderHold> TFakeFileSystem::HoldFolder(const std::string& path) {
  const TLogged logged(*this, "hold-folder " + path);
  const auto it = nodes.find(path);
  if (it == nodes.end() || !it->second.folder || (it->second.attributes & kReparsePoint) != 0) return std::nullopt;
  heldFolders.insert(path);
  auto release = [this, path](void*) { heldFolders.erase(heldFolders.find(path)); };
  return TFolderHold{std::shared_ptr<void>(nullptr, release), {0, it->second.id}};
}

std::optional<std::set<TFolderIdentity>> TFakeFileSystem::KeptFolders() {
  if (keptUnknown) return std::nullopt;
  std::set<TFolderIdentity> identities;
  for (std::string folder : kept)
    for (; folder.size() > 2; folder = folder.substr(0, folder.rfind('\\')))
      if (const auto it = nodes.find(folder); it != nodes.end()) identities.insert({0, it->second.id});
  return identities;
}

bool TFakeFileSystem::RemoveLink(const std::string& path) {
  const TLogged logged(*this, "unlink " + path);
  const auto it = nodes.find(path);
  if (!linksRemovable || it == nodes.end() || (it->second.attributes & kReparsePoint) == 0) return false;
  nodes.erase(it);
  return true;
}

std::uint32_t TFakeFileSystem::GetAttributes(const std::string& path) {
  const auto it = nodes.find(path);
  if (it == nodes.end()) return kInvalidAttributes;
  return it->second.attributes | (it->second.folder ? kFolder : 0u);
}

bool TFakeFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  const TLogged logged(*this, "setattr " + path + " " + std::to_string(attributes));
  const auto it = nodes.find(path);
  if (it == nodes.end()) return false;
  it->second.attributes = attributes & ~kFolder;
  return true;
}

bool TFakeFileSystem::FileExists(const std::string& path) {
  const auto it = nodes.find(path);
  return it != nodes.end() && !it->second.folder;
}

bool TFakeFileSystem::NameExists(const std::string& path) { return nodes.count(path) != 0; }

std::unique_ptr<IShredFile> TFakeFileSystem::Open(const std::string& path) {
  auto& node = nodes.at(path);
  if (node.open) return nullptr;  // no sharing
  node.open = true;
  return std::make_unique<TFakeFile>(*this, path);
}

std::unique_ptr<IShredFile> TFakeFileSystem::OpenExisting(const std::string& path, bool forWriting) {
  const TLogged logged(*this, (forWriting ? "open-rw " : "open-r ") + path);
  // A link is opened as itself, which is no plain file.
  if (!FileExists(path) || (nodes.at(path).attributes & kReparsePoint) != 0) return nullptr;
  if ((forWriting ? lockedForWriting : lockedForReading).count(path)) return nullptr;
  return Open(path);
}

std::unique_ptr<IShredFile> TFakeFileSystem::CreateFill(const std::string& path) {
  const TLogged logged(*this, "create " + path);
  if (path.empty() || lockedForWriting.count(path) || fillsBeforeFailure == 0 || nodes.count(path)) return nullptr;
  if (fillsBeforeFailure > 0) --fillsBeforeFailure;
  auto& node = nodes[path];
  node = Node{};
  node.id = ++FLastId;
  node.fill = true;
  node.deleteOnClose = deleteOnCloseHonoured;
  return Open(path);
}

bool TFakeFileSystem::Delete(const std::string& path) {
  const TLogged logged(*this, "delete " + path);
  const auto it = nodes.find(path);
  if (it == nodes.end() || it->second.folder) return false;
  if (it->second.undeletable) return true;
  FreeRecord(it->second);
  nodes.erase(it);
  return true;
}

bool TFakeFileSystem::Rename(const std::string& from, const std::string& to) {
  const TLogged logged(*this, "rename " + from + " " + to);
  if (renamesBeforeFailure == 0) return false;
  const auto it = nodes.find(from);
  if (it == nodes.end() || it->second.open || nodes.count(to) != 0 || heldFolders.count(from) != 0) return false;
  if (renamesBeforeFailure > 0) --renamesBeforeFailure;
  nodes[to] = std::move(it->second);
  nodes.erase(from);
  renamedTo.push_back(to);
  return true;
}

std::int64_t TFakeFileSystem::FreeSpace(const std::string& folder) {
  const TLogged logged(*this, "free-space " + folder);
  const std::string root = VolumeKey(folder);
  const auto it = freeSpace.find(root);
  if (it == freeSpace.end()) return -1;
  std::int64_t taken = FillBytes(root) + mftGrown;
  for (const auto& [path, node] : nodes)
    if (VolumeKey(path) == root) taken += node.clusterBytes;
  return it->second - taken;
}

std::shared_ptr<void> TFakeFileSystem::HoldVolume(const std::string& folder) {
  const std::string root = VolumeKey(folder);
  const TLogged logged(*this, "hold " + root);
  if (heldElsewhere.count(root) != 0) return nullptr;
  return std::make_shared<int>(0);
}

std::string TFakeFileSystem::VolumeKey(const std::string& path) const {
  std::string found;
  // Letters name the same folder in either case.
  const auto same = [](char a, char b) { return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b)); };
  for (const auto& [root, free] : freeSpace)
    if (path.size() >= root.size() && std::equal(root.begin(), root.end(), path.begin(), same) && root.size() > found.size())
      found = root;
  return found.empty() ? path.substr(0, 3) : found;
}

std::int64_t TFakeFileSystem::ClusterSize(const std::string&) { return clusterSize; }

namespace {

std::string ParentOf(const std::string& path) {
  const auto slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::int64_t RoundUp(std::int64_t value, std::int64_t unit) { return (value + unit - 1) / unit * unit; }

}  // namespace

bool TFakeFileSystem::CanAdd(const std::string& path) const {
  if (nodes.count(path) != 0) return false;
  // A drive root ("D:") is no node; any other folder must be there.
  const std::string parent = ParentOf(path);
  if (parent.size() <= 2) return true;
  const auto it = nodes.find(parent);
  return it != nodes.end() && it->second.folder;
}

void TFakeFileSystem::AddEntry(const std::string& path) {
  const std::string parent = ParentOf(path);
  const auto it = nodes.find(parent);
  if (it == nodes.end()) return;
  const auto entries = ListFolder(parent)->size();
  if (entries > (hasMft ? folderIndexLimit : 0) && it->second.clusterBytes == 0) it->second.clusterBytes = clusterSize;
}

void TFakeFileSystem::TakeRecord(Node& node) {
  if (!hasMft) return;
  const auto take = [&](std::size_t at) {
    mft[at].used = true;
    node.record = lastRecordGiven = static_cast<int>(at);
  };
  const auto freeFrom = [&](std::size_t from, std::size_t to) {
    for (std::size_t at = from; at < to; ++at)
      if (!mft[at].used) return at;
    return to;
  };
  const std::size_t count = mft.size();
  std::size_t at = freeFrom(nextFitRecords ? static_cast<std::size_t>(lastRecordGiven + 1) : 0, count);
  if (at == count && nextFitRecords && FGrewAtEnd) {
    FGrewAtEnd = false;
    at = freeFrom(0, count);
  }
  if (at < count) return take(at);
  // No record is free (or ntfs-3g's first time at the end): the MFT grows, and that takes clusters.
  mft.resize(count + 16, Record{false, 0});
  mftGrown += mftGrowth;
  FGrewAtEnd = true;
  take(count);
}

void TFakeFileSystem::FreeRecord(const Node& node) {
  if (node.record >= 0) mft[static_cast<std::size_t>(node.record)].used = false;
}

std::int64_t TFakeFileSystem::PlaceData(Node& node) {
  const auto size = static_cast<std::int64_t>(node.data.size());
  if (hasMft && node.data.size() <= residentLimit) {
    mft[static_cast<std::size_t>(node.record)].held = static_cast<int>(size);
    node.clusterBytes = 0;
    return RoundUp(size, 8);
  }
  if (hasMft) mft[static_cast<std::size_t>(node.record)].held = kDataElsewhere;
  node.clusterBytes = RoundUp(size, clusterSize);
  return node.clusterBytes;
}

bool TFakeFileSystem::CreateFolder(const std::string& path) {
  const TLogged logged(*this, "mkdir " + path);
  if (!CanAdd(path) || foldersBeforeFailure == 0) return false;
  if (foldersBeforeFailure > 0) --foldersBeforeFailure;
  auto& node = nodes[path];
  node.folder = true;
  TakeRecord(node);
  if (hasMft) mft[static_cast<std::size_t>(node.record)].held = kFolderIndex;
  else node.clusterBytes = clusterSize;
  AddEntry(path);
  return true;
}

bool TFakeFileSystem::RemoveFolder(const std::string& path) {
  const TLogged logged(*this, "rmdir " + path);
  const auto it = nodes.find(path);
  if (it == nodes.end() || !it->second.folder || !Under(path).empty() || heldFolders.count(path) != 0) return false;
  FreeRecord(it->second);
  nodes.erase(it);
  return true;
}

std::optional<std::vector<TFolderEntry>> TFakeFileSystem::ListFolder(const std::string& path) {
  const auto it = nodes.find(path);
  if (it == nodes.end() || !it->second.folder) return std::nullopt;
  std::vector<TFolderEntry> entries;
  for (const std::string& inside : Under(path)) {
    if (inside.find('\\', path.size() + 1) != std::string::npos) continue;
    const Node& node = nodes.at(inside);
    entries.push_back({inside.substr(path.size() + 1), node.folder, static_cast<std::int64_t>(node.data.size()),
                       (node.attributes & kReparsePoint) != 0});
  }
  return entries;
}

class TFakeHeldFolder final : public IHeldFolder {
 public:
  TFakeHeldFolder(TFakeFileSystem& fs, std::string path) : FFs(fs), FPath(std::move(path)) {}
  TSmallFile CreateSmallFile(const std::string& name, const std::byte* data, std::uint32_t count) override {
    return FFs.CreateSmallFile(FPath + "\\" + name, data, count);
  }
  std::int64_t FreeSpace() override { return FFs.FreeSpace(FPath + "\\"); }

 private:
  TFakeFileSystem& FFs;
  const std::string FPath;
};

std::unique_ptr<IHeldFolder> TFakeFileSystem::CreateHeldFolder(const std::string& path) {
  if (!CreateFolder(path)) return nullptr;
  return std::make_unique<TFakeHeldFolder>(*this, path);
}

TSmallFile TFakeFileSystem::CreateSmallFile(const std::string& path, const std::byte* data, std::uint32_t count) {
  const TLogged logged(*this, "small " + path + " " + std::to_string(count));
  if (!CanAdd(path) || smallFilesBeforeFailure == 0) return {};
  if (smallFilesBeforeFailure > 0) --smallFilesBeforeFailure;
  auto& node = nodes[path];
  node.small = true;
  node.data.assign(data, data + count);
  TakeRecord(node);
  const std::int64_t allocation = PlaceData(node);
  AddEntry(path);
  ++smallFiles;
  if (onSmallFile) onSmallFile(smallFiles);
  return {true, allocation, node.record};
}

std::optional<std::vector<std::byte>> TFakeFileSystem::ReadSmallFile(const std::string& path, std::size_t limit) {
  const auto it = nodes.find(path);
  if (it == nodes.end() || it->second.folder || it->second.data.size() > limit) return std::nullopt;
  return it->second.data;
}

std::vector<std::string> TFakeFileSystem::Under(const std::string& folder) const {
  std::vector<std::string> paths;
  const std::string prefix = folder + "\\";
  for (auto it = nodes.lower_bound(prefix); it != nodes.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it)
    paths.push_back(it->first);
  return paths;
}

std::optional<std::vector<std::string>> TFakeFileSystem::NamedStreams(const std::string& path) {
  const TLogged logged(*this, "streams " + path);
  if (unlistableStreams.count(path)) return std::nullopt;
  std::vector<std::string> left;
  if (const auto it = streams.find(path); it != streams.end())
    for (const std::string& stream : it->second)
      if (nodes.count(path + ":" + stream)) left.push_back(stream);
  return left;
}

std::optional<std::vector<std::string>> TFakeFileSystem::ListNames(const std::string& folder) {
  const TLogged logged(*this, "list " + folder);
  ++listings;
  if (unreadableFolders.count(folder)) return std::nullopt;
  std::vector<std::string> names;
  for (const auto& [path, node] : nodes)
    if (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
        path.find('\\', folder.size()) == std::string::npos)
      names.push_back(path.substr(folder.size()));
  return names;
}

std::int64_t TFakeFileSystem::FillBytes(const std::string& root) const {
  std::int64_t bytes = 0;
  for (const auto& [path, node] : nodes)
    if (node.fill && VolumeKey(path) == root) bytes += static_cast<std::int64_t>(node.data.size());
  return bytes;
}

std::vector<std::string> TFakeFileSystem::Logged(const std::string& start) const {
  std::vector<std::string> lines;
  std::copy_if(log.begin(), log.end(), std::back_inserter(lines),
               [&](const std::string& line) { return line.rfind(start, 0) == 0; });
  return lines;
}

bool TFakeFileSystem::AllZero(const std::string& path) const {
  const auto& data = nodes.at(path).data;
  return std::all_of(data.begin(), data.end(), [](std::byte b) { return b == std::byte{0}; });
}
