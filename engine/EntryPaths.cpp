#include "engine/ShredSizes.h"

std::string DriveRoot(std::string_view entry) {
  char drive = entry.empty() ? '\0' : entry.front();
  if (drive >= 'a' && drive <= 'z') drive = static_cast<char>(drive - 'a' + 'A');
  std::string root(1, drive);
  root += ":\\";
  return root;
}
