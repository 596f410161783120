#pragma once
// The list of files waiting to be shredded, as a run sees it: entries of 8-bit text
// addressed by a 0-based index, which the run reads and marks. What the window does
// with the list otherwise (adding, removing, selecting) is the window's own business.

#include <cstdint>
#include <string>

class IFileList {
 public:
  virtual ~IFileList() = default;
  virtual int Count() const = 0;
  virtual std::string Text(int index) const = 0;
  // Puts new text at the same index; the list is not re-sorted.
  virtual void Replace(int index, const std::string& text) = 0;
  virtual void SetFontColor(std::uint32_t color) = 0;
};
