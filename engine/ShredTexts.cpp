#include "engine/ShredTexts.h"

std::string StatusText(std::string_view entry, std::int64_t shredSize) {
  std::string text = "shredding ";
  text += entry;
  text += ": size is ";
  text += std::to_string(shredSize);
  text += " bytes ...";
  return text;
}

std::string RecordFillText(std::string_view root, std::uint64_t done) {
  std::string text(kRecordFillText);
  text += root;
  text += ", where small deleted files stay: ";
  text += std::to_string(done);
  text += " so far ...";
  return text;
}

std::string RecordRemovalText(std::string_view root, std::uint64_t count) {
  std::string text = "removing the ";
  text += std::to_string(count);
  text += " small files that wiped the file table on ";
  text += root;
  text += " ...";
  return text;
}
