#pragma once
// What a file system keeps of a file besides its bytes: its length, its times and
// its name. Deleting a file only marks these free; an undelete tool still shows
// "Quarterly-Merger-Plan.docx, 54 KB, last changed 2011-11-11". So once a file's
// contents are overwritten and flushed, it is cut to nothing, given neutral times
// and a name that tells nothing, and deleted under that name.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/FileSystem.h"
#include "engine/scrub/FolderNames.h"
#include "engine/scrub/NameGap.h"
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
  // back where it can, so the entry still names it and a later run can retry. Another
  // file than the one overwritten (identity) under the path is left alone.
  bool ScrubAndDelete(const std::string& path, const std::optional<TFileIdentity>& identity);

  // For a folder the run has emptied (a path without its separator), while it is
  // still held: the gaps its deleted files left are covered, so that neither its
  // record nor its index keeps a name of theirs.
  void CoverGapsIn(const std::string& folder);
  // Then, let go: it is renamed as a file is and removed, if it is still the folder
  // it was (identity). True only when it is gone; when it stays it gets its own path
  // back where it can.
  bool ScrubAndRemoveFolder(const std::string& folder, const TFolderIdentity& identity);

  // Before each run: the folders are listed afresh.
  void StartRun() noexcept {
    FFolders.Forget();
    FRemoved.clear();
  }
  // After each run, however it ended: where a run deleted more than one file of a
  // folder, each deletion closed the NTFS index entries behind it up and could leave
  // a copy of later ones' names past the block's end. Such a folder gets files of the
  // scrub's own with 255-character names in the gaps the deleted files left, which
  // grow its blocks back over that; all are made, then closed, and the system
  // removes them. The README's "What overwriting in place cannot reach" has what was
  // measured.
  void EndRun();

  // The file is renamed three times before it is deleted: to a short neutral name,
  // to one as long as its own, and to a short one again. One rename leaves the old
  // name's tail in an NTFS record, short names alone leave pieces of a long one in
  // exFAT's and FAT's extra entries, and the last name is the one an undelete tool
  // lists. The long name sorts into the gap behind the file's own entry (NameGap.h),
  // so its NTFS index block grows back over what the removal closed up; the first is
  // random, as beside the file's own entry it might not fit into a full block.
  static constexpr int kRenames = 3;
  // The short names: NTFS's smallest index entry holds up to 3 characters, so they
  // add the least to a full block. A leading '~' sorts them behind the folder's other
  // names, where taking them out again closes nothing up.
  static constexpr std::size_t kShortNameLength = 3;
  static constexpr char kShortNameStart = '~';

 private:
  // The renames: the name the file or folder has at the end.
  std::string RenameAway(const std::string& path);
  // Covers the gaps the run's deletions left in one folder.
  void CoverGaps(const std::string& folder, std::vector<std::string> names);
  // The path is gone: the bookkeeping of its folder's names and of what it lost.
  bool Gone(const std::string& path, const std::string& current);
  // False when the path now leads to another file.
  bool ForgetLengthAndTimes(const std::string& path, const std::optional<TFileIdentity>& identity);
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
  // The names of the files and folders this run deleted, by folder.
  std::map<std::string, std::vector<std::string>> FRemoved;
};
