#pragma once
// What the engine shows while it works: the status line, the digit readout and the
// progress bar. The engine reports every change; the window decides when to draw.

#include <cstdint>
#include <string_view>

class IShredDisplay {
 public:
  virtual ~IShredDisplay() = default;
  virtual void SetStatusText(std::string_view text) = 0;
  virtual void SetStatusFontColor(std::uint32_t color) = 0;
  virtual void SetReadoutText(std::string_view text) = 0;
  virtual void SetProgressMin(std::int32_t value) = 0;
  virtual void SetProgressMax(std::int32_t value) = 0;
  virtual void SetProgressPosition(std::int32_t value) = 0;
};

// For runs that show nothing (tools, benchmarks).
class TNullDisplay : public IShredDisplay {
 public:
  void SetStatusText(std::string_view) override {}
  void SetStatusFontColor(std::uint32_t) override {}
  void SetReadoutText(std::string_view) override {}
  void SetProgressMin(std::int32_t) override {}
  void SetProgressMax(std::int32_t) override {}
  void SetProgressPosition(std::int32_t) override {}
};
