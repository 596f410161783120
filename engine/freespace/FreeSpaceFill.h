#pragma once
// The fill of a missing name: zeros up to 95% of its drive's free space, written as
// if into one file. One file may not hold it all: FAT32 holds no file of 4 GiB or
// more (fusefat stops at 2 GiB), and a quota can stop a file sooner. When a write
// fails while the drive still has room, the fill goes on in a new file beside the
// first. Every file is made without sharing, to be removed by the system when
// closed, and all stay open until the fill is complete: the drive is never left
// full, and no file of the fill is closed while another could still take its space.

#include <memory>
#include <string>
#include <vector>

#include "engine/FileSystem.h"
#include "engine/NeutralNames.h"

class TFreeSpaceFill final : public IWritableFile {
 public:
  // The fill's first file, under the entry's own name; null when it cannot be made,
  // a name that is taken included: a file there now is not the fill's to replace.
  static std::unique_ptr<TFreeSpaceFill> Create(IFileSystem& fileSystem, TNeutralNames& names, const std::string& path);

  TFreeSpaceFill(const TFreeSpaceFill&) = delete;
  TFreeSpaceFill& operator=(const TFreeSpaceFill&) = delete;
  ~TFreeSpaceFill() override;

  std::int64_t Length() override;
  bool Write(const std::byte* data, std::uint32_t count) override;
  bool Flush() override;  // every file of the fill

  // Closes every file, so the system removes them, and deletes any it kept. True
  // when none of the fill's files remains.
  bool Close();

 private:
  TFreeSpaceFill(IFileSystem& fileSystem, TNeutralNames& names, const std::string& path,
                 std::unique_ptr<IShredFile> first);
  bool StartNextFile();

  IFileSystem& FFileSystem;
  TNeutralNames& FNames;
  std::string FFolder;
  std::vector<std::string> FPaths;
  std::vector<std::unique_ptr<IShredFile>> FFiles;
  std::int64_t FWritten = 0;
};
