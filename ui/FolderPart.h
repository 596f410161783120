#pragma once
// The folder a chosen file lies in, as the file dialog's next starting folder: every
// character up to and including the last "\" or ":".

#include <string>
#include <string_view>

inline std::string FolderPart(std::string_view path) {
  const auto end = path.find_last_of("\\:");
  return end == std::string_view::npos ? std::string() : std::string(path.substr(0, end + 1));
}
