#include "engine/ShredTexts.h"

std::string StatusText(std::string_view entry, std::int64_t shredSize) {
  std::string text = "shredding ";
  text += entry;
  text += ": size is ";
  text += std::to_string(shredSize);
  text += " bytes ...";
  return text;
}

std::string DriveRoot(std::string_view entry) {
  char drive = entry.empty() ? '\0' : entry.front();
  if (drive >= 'a' && drive <= 'z') drive = static_cast<char>(drive - 'a' + 'A');
  std::string root(1, drive);
  root += ":\\";
  return root;
}
