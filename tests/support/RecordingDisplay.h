#pragma once
// A display that records every call the engine makes, in order.

#include <string>
#include <vector>

#include "engine/ShredDisplay.h"

class TRecordingDisplay final : public IShredDisplay {
 public:
  std::vector<std::string> calls;  // "status <text>", "readout <start position>", "pos <n>", ...
  std::string status;
  std::string readout;
  std::int32_t min = -1, max = -1, position = -1;
  std::uint32_t statusColor = 0xFFFFFFFFu;
  std::vector<std::int32_t> positions;
  std::vector<std::int32_t> maxes;
  std::vector<std::string> statuses;
  std::vector<std::string> readouts;

  // The bar's positions until a status text that starts so: what one stage showed.
  std::vector<std::int32_t> PositionsBefore(std::string_view statusStart) const {
    std::vector<std::int32_t> shown;
    for (const std::string& call : calls) {
      if (call.rfind("status " + std::string(statusStart), 0) == 0) break;
      if (call.rfind("pos ", 0) == 0) shown.push_back(std::stoi(call.substr(4)));
    }
    return shown;
  }

  void SetStatusText(std::string_view text) override {
    status = text;
    statuses.push_back(status);
    calls.push_back("status " + status);
  }
  void SetStatusFontColor(std::uint32_t color) override {
    statusColor = color;
    calls.push_back("status-color " + std::to_string(color));
  }
  void SetReadoutText(std::string_view text) override {
    readout = text;
    readouts.push_back(readout);
    calls.push_back("readout");
  }
  void SetProgressMin(std::int32_t value) override {
    min = value;
    calls.push_back("min " + std::to_string(value));
  }
  void SetProgressMax(std::int32_t value) override {
    max = value;
    maxes.push_back(value);
    calls.push_back("max " + std::to_string(value));
  }
  void SetProgressPosition(std::int32_t value) override {
    position = value;
    positions.push_back(value);
    calls.push_back("pos " + std::to_string(value));
  }
};
