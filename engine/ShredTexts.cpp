#include "engine/ShredTexts.h"

std::string StatusText(std::string_view entry, std::int64_t shredSize) {
  std::string text = "shredding ";
  text += entry;
  text += ": size is ";
  text += std::to_string(shredSize);
  text += " bytes ...";
  return text;
}
