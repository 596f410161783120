#include "engine/EntryPaths.h"

std::string DriveRoot(std::string_view entry) {
  char drive = entry.empty() ? '\0' : entry.front();
  if (drive >= 'a' && drive <= 'z') drive = static_cast<char>(drive - 'a' + 'A');
  std::string root(1, drive);
  root += ":\\";
  return root;
}

std::string_view FolderOf(std::string_view path) {
  if (const auto slash = path.find_last_of("\\/"); slash != std::string_view::npos) return path.substr(0, slash + 1);
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  return {};
}
