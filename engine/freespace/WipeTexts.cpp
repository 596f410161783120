#include "engine/freespace/WipeTexts.h"

std::string RecordFillText(std::string_view root, std::uint64_t done) {
  return std::string(kRecordFillText) + std::string(root) + ", where small deleted files stay: " +
         std::to_string(done) + " so far ...";
}

std::string RecordRemovalText(std::string_view root, std::uint64_t count) {
  return "removing the " + std::to_string(count) + " small files that wiped the file table on " + std::string(root) +
         " ...";
}
