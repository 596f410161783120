#pragma once
// The shredding engine: how much to overwrite for an entry, the overwrite of one
// file, and the run over the whole file list with deletion and marking.

#include <cstdint>
#include <string>

#include "base/Exception.h"
#include "engine/FileList.h"
#include "engine/FileSystem.h"
#include "engine/MetadataScrub.h"
#include "engine/NeutralNames.h"
#include "engine/ShredDisplay.h"

// An existing file that cannot be opened for sizing; it ends the run.
class EFOpenError : public Exception {
 public:
  using Exception::Exception;
};

class TShredEngine {
 public:
  TShredEngine(IFileSystem& fileSystem, IShredDisplay& display)
      : FFileSystem(fileSystem), FDisplay(display), FScrub(fileSystem, FNames) {}
  // Draws the same random names on every run with the same seed, for tests that
  // must give the same result each time.
  TShredEngine(IFileSystem& fileSystem, IShredDisplay& display, std::uint64_t nameSeed)
      : FFileSystem(fileSystem), FDisplay(display), FNames(nameSeed), FScrub(fileSystem, FNames) {}

  // Bytes to overwrite for an entry: 0 for an empty text, the length of an existing
  // file, 95% of the drive's free space for any other name. Negative: skip it.
  std::int64_t ShredSize(const std::string& entry);

  // Overwrites shredSize bytes of the entry's file with zeros from byte 0 and flushes
  // them to the medium, creating the file for a missing name. Returns the bytes
  // written, or -1 when the file could not be opened or created, or when a write or
  // the flush failed. The file is left closed; a fill's files are all removed.
  std::int64_t ShredFile(const std::string& entry, std::int64_t shredSize);

  // The pass over the whole list: overwrite, delete and mark each entry in turn. An
  // overwritten file of the user's loses its length, times and name before it goes.
  void Run(IFileList& list);

 private:
  bool OverwriteBlocks(IShredFile& file, std::int64_t shredSize, std::int32_t blockSize);
  std::int64_t Fill(const std::string& entry, std::int64_t shredSize, std::int32_t blockSize);
  // After a complete ShredFile: true when nothing of the entry's file is left.
  bool Remove(const std::string& entry);

  IFileSystem& FFileSystem;
  IShredDisplay& FDisplay;
  TNeutralNames FNames;
  TMetadataScrub FScrub;
};
