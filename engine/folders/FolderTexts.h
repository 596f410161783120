#pragma once
// The texts of folders shredded whole: what the status line says of the count and
// the question, and why a folder, or something in it, stays. None holds ") ... ".

#include <string_view>

inline constexpr std::string_view kStoppedCounting = "Stopped while the folders were counted: nothing was touched";
inline constexpr std::string_view kFoldersDeclined = "Nothing was shredded: the folders were not to be shredded whole";

inline constexpr std::string_view kKeptFolderReason =
    "Windows or the user keeps it whole: a drive's system, program or user folder, or the program's own; "
    "a folder inside it can be shredded";
inline constexpr std::string_view kNotPlainFolderReason = "it is no longer a plain folder (a link took its place?)";
inline constexpr std::string_view kNotListedReason = "what it holds could not be listed";
inline constexpr std::string_view kLinkLeftReason =
    "a link (or a cloud file's placeholder) that could not be removed as itself; what it points to is not touched";
inline constexpr std::string_view kAppearedReason = "files appeared in it during the run";
inline constexpr std::string_view kFolderNotRemovedReason = "emptied, but it could not be removed";
inline constexpr std::string_view kNotAskedReason = "it was not a folder when the run asked about folders";
inline constexpr std::string_view kNoLongerFolderReason = "it is no longer the folder that was counted";
inline constexpr std::string_view kFolderGoneReason = "it is gone since the run began";
inline constexpr std::string_view kVanishedReason =
    "it went while the run was in its folder (moved or removed by another program), so it was not shredded";
inline constexpr std::string_view kKeptUnknownReason =
    "the system's and the user's own folders could not all be told, so no folder is shredded whole";
