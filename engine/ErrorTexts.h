#pragma once
// Why a call on a file or folder failed, as every part of the engine tells the user:
// the reasons a row gives for TFileError. None holds ") ... ".

#include <string_view>

#include "engine/FileSystem.h"

inline constexpr std::string_view kInUseReason = "in use by another program";
inline constexpr std::string_view kAccessDeniedReason = "access denied";
inline constexpr std::string_view kReadOnlyDriveReason = "its drive is read-only";
inline constexpr std::string_view kDriveFullReason = "its drive is full";
inline constexpr std::string_view kNotOpenedReason = "it could not be opened for writing";

// Why a file could not be opened for writing.
inline std::string_view ReasonOf(TFileError error) {
  switch (error) {
    case TFileError::kInUse:
      return kInUseReason;
    case TFileError::kAccessDenied:
      return kAccessDeniedReason;
    case TFileError::kReadOnlyDrive:
      return kReadOnlyDriveReason;
    case TFileError::kDriveFull:
      return kDriveFullReason;
    case TFileError::kOther:
      break;
  }
  return kNotOpenedReason;
}
