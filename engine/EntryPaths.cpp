#include "engine/EntryPaths.h"

std::string_view FolderOf(std::string_view path) {
  if (const auto slash = path.find_last_of("\\/"); slash != std::string_view::npos) return path.substr(0, slash + 1);
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  return {};
}
