#pragma once
// A file list held in a vector, for engine tests that need no window.

#include <string>
#include <vector>

#include "engine/run/FileList.h"

class TVectorFileList final : public IFileList {
 public:
  std::vector<std::string> items;
  std::uint32_t fontColor = 0xFFFFFFFFu;

  TVectorFileList() = default;
  explicit TVectorFileList(std::vector<std::string> initial) : items(std::move(initial)) {}

  int Count() const override { return static_cast<int>(items.size()); }
  std::string Text(int index) const override { return items.at(static_cast<std::size_t>(index)); }
  void Replace(int index, const std::string& text) override { items.at(static_cast<std::size_t>(index)) = text; }
  void SetFontColor(std::uint32_t color) override { fontColor = color; }
};
