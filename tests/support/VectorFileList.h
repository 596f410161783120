#pragma once
// A file list held in a vector, for engine tests that need no window.

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/FileList.h"

class TVectorFileList final : public IFileList {
 public:
  std::vector<std::string> items;
  std::vector<bool> selected;
  int repaints = 0;
  std::uint32_t fontColor = 0xFFFFFFFFu;

  TVectorFileList() = default;
  explicit TVectorFileList(std::vector<std::string> initial)
      : items(std::move(initial)), selected(items.size(), false) {}

  int Count() const override { return static_cast<int>(items.size()); }
  std::string Text(int index) const override { return items.at(static_cast<std::size_t>(index)); }
  void AddString(const std::string& text) override {
    const auto at = std::upper_bound(items.begin(), items.end(), text);
    selected.insert(selected.begin() + (at - items.begin()), false);
    items.insert(at, text);
  }
  void Replace(int index, const std::string& text) override {
    items.at(static_cast<std::size_t>(index)) = text;
    selected.at(static_cast<std::size_t>(index)) = false;
  }
  void Delete(int index) override {
    items.erase(items.begin() + index);
    selected.erase(selected.begin() + index);
  }
  int SelCount() const override { return static_cast<int>(std::count(selected.begin(), selected.end(), true)); }
  bool Selected(int index) const override { return selected.at(static_cast<std::size_t>(index)); }
  void SetSelected(int index, bool value) override { selected.at(static_cast<std::size_t>(index)) = value; }
  void Repaint() override { ++repaints; }
  void SetFontColor(std::uint32_t color) override { fontColor = color; }
};
