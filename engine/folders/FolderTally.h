#pragma once
// What a listed folder holds, counted before the user is asked whether to shred it
// whole: its files at every depth and their bytes. Links are not entered, as the run
// does not enter them. Only a running count is kept, never the tree's names, so a
// tree of any size is counted in the memory of its widest folder.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/FileSystem.h"
#include "engine/RunStop.h"
#include "engine/ShredDisplay.h"

struct TFolderTally {
  std::string Folder;
  std::int64_t Files = 0;
  std::int64_t Bytes = 0;
  std::int64_t Unread = 0;  // folders in it that could not be listed
};

// Counts a folder (a path without its separator), telling the status line how far
// the count is after each folder it lists. False when a stop ended the count.
bool TallyFolder(IFileSystem& fileSystem, IShredDisplay& display, const TRunStop& stop, TFolderTally& tally);

// "1,234,567": counts as the question and the status line show them.
std::string GroupedDigits(std::int64_t value);

// The question put to the user before a run shreds any folder whole; "No" is the
// answer it starts with.
class IFolderQuestion {
 public:
  virtual ~IFolderQuestion() = default;
  // True only for "Yes". Called once per run, before anything is touched.
  virtual bool ShredFoldersWhole(const std::vector<TFolderTally>& folders) = 0;
};

// What the question says.
std::string FolderQuestionText(const std::vector<TFolderTally>& folders);
