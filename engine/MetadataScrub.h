#pragma once
// What a file system keeps of a file besides its bytes: its length, its times and
// its name. Deleting a file only marks these free; an undelete tool still shows
// "Quarterly-Merger-Plan.docx, 54 KB, last changed 2011-11-11". So once a file's
// contents are overwritten and flushed, it is cut to nothing, given neutral times
// and a name that tells nothing, and deleted under that name.

#include <cstdint>
#include <string>

#include "engine/FileSystem.h"
#include "engine/NeutralNames.h"

// 1980-01-01 12:00:00 UTC. FAT keeps local time and nothing before 1980-01-01;
// noon UTC is still 1980-01-01 (or early on the 2nd) in every time zone.
inline constexpr std::int64_t kScrubFileTime = 119600064000000000LL + 12LL * 3600 * 10000000;

class TMetadataScrub {
 public:
  TMetadataScrub(IFileSystem& fileSystem, TNeutralNames& names) noexcept
      : FFileSystem(fileSystem), FNames(names) {}

  // For a file whose contents are already overwritten and flushed. True only when
  // the file is gone under every name it had. When it stays, it gets its own path
  // back where it can, so the entry still names it and a later run can retry.
  bool ScrubAndDelete(const std::string& path);

  // The file is renamed three times before it is deleted: to a short neutral name,
  // to a neutral name as long as its own, and to a short one again. Measured on
  // NTFS (ntfs-3g), exFAT and FAT32 images: one rename leaves the name's tail in
  // the NTFS record; short names alone leave pieces of a long name in exFAT's and
  // FAT's extra entries, which only a name of the same length lands on; the last
  // short name is the one an undelete tool lists.
  static constexpr int kRenames = 3;

 private:
  void ForgetLengthAndTimes(const std::string& path);

  IFileSystem& FFileSystem;
  TNeutralNames& FNames;
};
