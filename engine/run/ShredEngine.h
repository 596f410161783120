#pragma once
// The shredding engine: how much to overwrite for an entry, the overwrite of one
// file, and the run over the whole file list with deletion and marking. What an
// overwritten file leaves besides its bytes is the scrub's (engine/scrub/), and a
// missing name's fill is the free-space wipe's (engine/freespace/).

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/Exception.h"
#include "engine/FileSystem.h"
#include "engine/NeutralNames.h"
#include "engine/RunStop.h"
#include "engine/ShredDisplay.h"
#include "engine/run/FileList.h"
#include "engine/folders/FolderShred.h"
#include "engine/folders/FolderTally.h"

class TMetadataScrub;
class TFreeSpaceWipe;

// An existing file that cannot be opened for sizing; it ends the run.
class EFOpenError : public Exception {
 public:
  using Exception::Exception;
};

// ShredSize's answer for an entry, which is what ShredFile acts on: an entry is
// decided once, so a name that appears or vanishes in between is never taken for
// what it was not.
struct TShredSize {
  enum TKind { kExistingFile, kFill };
  TKind Kind;
  std::int64_t Bytes;  // an existing file's length, or the fill's size; negative: skip
  // Which file was sized: only that file is overwritten, scrubbed and marked.
  std::optional<TFileIdentity> Identity = std::nullopt;
  // Why an entry is skipped, where the user is to be told.
  std::string_view Reason = {};
};

// How a run over the list ended: after its last entry, at a stop, or at a "No" to
// shredding its folders whole, which touched nothing.
enum class TRunEnd { Complete, Stopped, Declined };

class TShredEngine : private IFolderFiles {
 public:
  // A stop takes effect within one block: before the next entry, after the block
  // being written, or once the scrub of the file at hand is done.
  TShredEngine(IFileSystem& fileSystem, IShredDisplay& display, const TRunStop& stop = TRunStop::Never());
  // Draws the same random names on every run with the same seed, for tests that
  // must give the same result each time.
  TShredEngine(IFileSystem& fileSystem, IShredDisplay& display, std::uint64_t nameSeed,
               const TRunStop& stop = TRunStop::Never());
  TShredEngine(const TShredEngine&) = delete;
  TShredEngine& operator=(const TShredEngine&) = delete;
  ~TShredEngine() override;

  // An existing file and its length, or a fill of 95% of the free space of the volume
  // that holds any other name (a folder too). An entry that is no full path of a file
  // (EntryRules.h), or a link, is skipped with its reason.
  TShredSize ShredSize(const std::string& entry);

  // Overwrites the answer's bytes with zeros from byte 0 and flushes them to the
  // medium: an existing file's only if it is still there with that length, a fill
  // only in a file it makes anew; a fill then wipes the drive's free records as well.
  // Returns the bytes written, or -1 when the file could not be opened or made,
  // when a write or the flush failed, or when the wipe of the records failed, was
  // stopped or left anything. The file is left closed; a fill's files are all
  // removed.
  std::int64_t ShredFile(const std::string& entry, const TShredSize& size);

  // The pass over the whole list: overwrite, delete and mark each entry in turn. An
  // overwritten file of the user's loses its length, times and name before it goes;
  // a folder is shredded whole (FolderShred.h). A run that holds folders counts them
  // first and asks the question, when there is one to ask, before it touches
  // anything. At a stop the status line says what became of the entry at hand, and
  // the entries after it are not touched.
  TRunEnd Run(IFileList& list, IFolderQuestion* question = nullptr);

  // Why the last ShredFile returned -1, as the entry's row says it.
  std::string_view WhyLeft() const noexcept { return FWhy; }

 private:
  std::int64_t Left(std::string_view why) {
    FWhy = why;
    return -1;
  }
  // Why a file shredded under this name is still there; empty when it had no other.
  std::string_view OtherNamesLeft();
  void LeaveRest(IFileList& list, int from);
  TRunEnd RunEntries(IFileList& list, IFolderQuestion* question);
  std::string_view ShredFoundFile(const std::string& path) override;
  // A plain folder, as an entry names one: a link is not one.
  bool IsFolder(const std::string& entry);
  // Why a folder entry is not shredded whole; empty for one that may be.
  std::string_view FolderRefusal(const std::string& entry);
  // Counts each folder entry that may be shredded whole (files: the entries that
  // named files as the run began); false at a stop. Which entries were counted is
  // kept: only those are shredded whole.
  bool CountFolders(const IFileList& list, const std::vector<bool>& files, std::vector<bool>& counted,
                    std::vector<TFolderTally>& tallies);
  // What the status line adds to a file's text in a run that holds folders.
  std::string Standing();
  // Whether each entry named a file as the run began: such a name never becomes a
  // fill, even once the file has gone under another of its names.
  std::vector<bool> FilesAtStart(const IFileList& list);
  void ClearReadOnly(const std::string& entry, const TShredSize& size);

  IFileSystem& FFileSystem;
  IShredDisplay& FDisplay;
  const TRunStop& FStop;
  TNeutralNames FNames;
  std::unique_ptr<TMetadataScrub> FScrub;
  std::unique_ptr<TFreeSpaceWipe> FWipe;
  std::unique_ptr<TFolderShred> FFolders;
  std::string FWhy;
  std::uint32_t FOtherNames = 0;  // of the file last overwritten
  std::int64_t FFilesFound = 0;  // in a run that holds folders: counted, and listed
  std::int64_t FFilesDone = 0;
  bool FKeptUnknown = false;  // the kept folders could not all be told: no folder goes
};
