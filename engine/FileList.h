#pragma once
// The list of files waiting to be shredded, as the engine and the window use it.
// Entries are 8-bit text addressed by a 0-based index.

#include <cstdint>
#include <string>
#include <string_view>

class IFileList {
 public:
  virtual ~IFileList() = default;
  virtual int Count() const = 0;
  virtual std::string Text(int index) const = 0;
  virtual void AddString(const std::string& text) = 0;
  // Puts new text at the same index; the list is not re-sorted.
  virtual void Replace(int index, const std::string& text) = 0;
  virtual void Delete(int index) = 0;
  virtual int SelCount() const = 0;
  virtual bool Selected(int index) const = 0;
  virtual void SetSelected(int index, bool selected) = 0;
  virtual void Repaint() = 0;
  virtual void SetFontColor(std::uint32_t color) = 0;
};
