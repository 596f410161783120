#pragma once
// The engine's file operations over kernel32's wide calls, each path taken
// through Win32Path, so that any path Windows can name reaches its file.

#include "engine/FileSystem.h"

class TWin32FileSystem : public IFileSystem {
 public:
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
  std::string VolumeOf(const std::string& path) override;
  std::shared_ptr<void> HoldVolume(const std::string& folder) override;
  bool CreateFolder(const std::string& path) override;
  bool RemoveFolder(const std::string& path) override;
  std::optional<std::vector<TFolderEntry>> ListFolder(const std::string& path) override;
  std::optional<TFolderHold> HoldFolder(const std::string& path) override;
  bool RemoveLink(const std::string& path) override;
  std::optional<std::set<TFolderIdentity>> KeptFolders() override;
  std::unique_ptr<IHeldFolder> CreateHeldFolder(const std::string& path) override;
  std::optional<std::vector<std::byte>> ReadSmallFile(const std::string& path, std::size_t limit) override;
  std::optional<std::vector<std::string>> ListNames(const std::string& folder) override;
  std::optional<std::vector<std::string>> NamedStreams(const std::string& path) override;
  TFileError LastError() override;
  bool ReadOnlyVolume(const std::string& path) override;
  int CompareNames(const std::string& a, const std::string& b) override;
};
