#include "engine/freespace/FreeSpaceFill.h"

#include "engine/EntryPaths.h"

std::unique_ptr<TFreeSpaceFill> TFreeSpaceFill::Create(IFileSystem& fileSystem, TNeutralNames& names,
                                                       const std::string& path) {
  auto first = fileSystem.CreateFill(path);
  if (!first) return nullptr;
  return std::unique_ptr<TFreeSpaceFill>(new TFreeSpaceFill(fileSystem, names, path, std::move(first)));
}

TFreeSpaceFill::TFreeSpaceFill(IFileSystem& fileSystem, TNeutralNames& names, const std::string& path,
                               std::unique_ptr<IShredFile> first)
    : FFileSystem(fileSystem), FNames(names), FFolder(FolderOf(path)), FPaths{path} {
  FFiles.push_back(std::move(first));
}

TFreeSpaceFill::~TFreeSpaceFill() {
  // Close() is the way out that reports; this one still never leaves a file behind.
  try {
    Close();
  } catch (...) {  // nothing may leave a destructor; the system removes the files at close
  }
}

std::int64_t TFreeSpaceFill::Length() { return FWritten; }

bool TFreeSpaceFill::Write(const std::byte* data, std::uint32_t count) {
  if (FFiles.empty()) return false;
  // A write that fails may have written part of the block: the whole block goes
  // again into the next file, so the total counts only blocks written in full.
  if (!FFiles.back()->Write(data, count)) {
    if (!StartNextFile() || !FFiles.back()->Write(data, count)) return false;
  }
  FWritten += count;
  return true;
}

bool TFreeSpaceFill::StartNextFile() {
  // Only a volume that still has room is worth another file; a full one ends the fill.
  if (FFileSystem.FreeSpace(FFolder) <= 0) return false;
  std::string path = FNames.NewName(FFolder);
  auto next = FFileSystem.CreateFill(path);
  if (!next) return false;
  FPaths.push_back(std::move(path));
  FFiles.push_back(std::move(next));
  return true;
}

bool TFreeSpaceFill::Flush() {
  bool flushed = true;
  for (const auto& file : FFiles) flushed = file->Flush() && flushed;
  return flushed;
}

bool TFreeSpaceFill::Close() {
  FFiles.clear();
  bool gone = true;
  for (const auto& path : FPaths) {
    // The system removes each file at close; one it kept is ours and all zero.
    if (!FFileSystem.NameExists(path)) continue;
    FFileSystem.Delete(path);
    gone = !FFileSystem.NameExists(path) && gone;
  }
  FPaths.clear();
  return gone;
}
