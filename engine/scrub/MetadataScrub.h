#pragma once
// What a file system keeps of a file besides its bytes: its length, its times and
// its name. Deleting a file only marks these free; an undelete tool still shows
// "Quarterly-Merger-Plan.docx, 54 KB, last changed 2011-11-11". So once a file's
// contents are overwritten and flushed, it is cut to nothing, given neutral times
// and a name that tells nothing, and deleted under that name.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/FileSystem.h"
#include "engine/FolderNames.h"
#include "engine/NameGap.h"
#include "engine/NeutralNames.h"

// 1980-01-01 12:00:00 UTC. FAT keeps local time and nothing before 1980-01-01;
// noon UTC is still 1980-01-01 (or early on the 2nd) in every time zone.
inline constexpr std::int64_t kScrubFileTime = 119600064000000000LL + 12LL * 3600 * 10000000;

class TMetadataScrub {
 public:
  TMetadataScrub(IFileSystem& fileSystem, TNeutralNames& names) noexcept
      : FFileSystem(fileSystem), FNames(names), FFolders(fileSystem) {}

  // For a file whose contents are already overwritten and flushed. True only when
  // the file is gone under every name it had. When it stays, it gets its own path
  // back where it can, so the entry still names it and a later run can retry.
  bool ScrubAndDelete(const std::string& path);

  // Before each run: the folders are listed afresh.
  void StartRun() noexcept {
    FFolders.Forget();
    FRemoved.clear();
  }
  // After each run, however it ended. Where a run deleted more than one file of a
  // folder, each deletion closed the entries behind it up in their NTFS index block,
  // and left a copy of the block's last entries behind its new end: when those were
  // files the run deleted next, their names stayed there, behind everything their
  // own renames reach. So each such folder gets files of the scrub's own with names
  // of 255 characters in the gaps where the deleted files were (one for every few
  // side by side in the folder's order), which grow each block back over what its
  // deletions left (names as long as the files' own were measured to leave some);
  // all are made before any goes, then closed, and the system removes them, also
  // when the program dies first. A block they overfill splits, which copies only
  // names that are still there or theirs.
  void EndRun();

  // The file is renamed three times before it is deleted: to a short neutral name,
  // to one as long as its own, and to a short one again. Measured on NTFS (ntfs-3g),
  // exFAT and FAT32 images: one rename leaves the name's tail in the NTFS record;
  // short names alone leave pieces of a long name in exFAT's and FAT's extra
  // entries, which only a name of the same length lands on; the last short name is
  // the one an undelete tool lists. In the folder's NTFS index the first rename
  // takes the file's entry out of its block, whose entries close up over it, and
  // behind the block's last entry leave most of the name in the unused tail; the
  // long name sorts into the gap the entry left (see NameGap.h), so the block grows
  // back over whatever of the name the closing-up left behind, and never past what
  // it held before: growing past that splits a block and leaves a copy of half of
  // it. The first name is random rather than in the gap for that reason: beside the
  // file's own entry it would have to fit into the file's block, which may be full.
  static constexpr int kRenames = 3;
  // The short names: NTFS's smallest index entry holds up to 3 characters. The less
  // a rename adds to a full block, or to a folder's index that only just fits in its
  // record, the less often it has to split it or move it out, leaving a copy. They
  // begin with a '~', which sorts after letters, digits and the other punctuation, so
  // that they go behind the folder's other names: taken out again they close up
  // nothing, where in the middle of a block they would leave a copy of its last
  // entries, which may be files the run shreds next.
  static constexpr std::size_t kShortNameLength = 3;
  static constexpr char kShortNameStart = '~';

 private:
  void ForgetLengthAndTimes(const std::string& path);
  // The long name: in the gap behind the file's own where the folder has one.
  std::string LongName(const std::string& folder, const std::string& own, const std::optional<TNameGap>& gap,
                       const std::optional<std::string>& after);
  std::string ShortName(const std::string& folder, bool listed);
  bool Rename(const std::string& folder, std::string& current, std::string next);
  // A name of the length in the gap behind `own`, when there is one and the file
  // system sorts it there too.
  std::optional<std::string> NameInGap(const std::string& own, const std::optional<TNameGap>& gap,
                                       const std::optional<std::string>& after, std::size_t length);
  // A file of the scrub's own in the gap behind `own`, open, removed when closed; its
  // name is added to `made`. Nothing where the folder has no gap there.
  std::unique_ptr<IShredFile> Cover(const std::string& folder, const std::string& own, std::vector<std::string>& made);

  IFileSystem& FFileSystem;
  TNeutralNames& FNames;
  TFolderNames FFolders;
  // The folder and the name of each file this run deleted, in order.
  std::vector<std::pair<std::string, std::string>> FRemoved;
};
