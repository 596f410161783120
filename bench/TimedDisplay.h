#pragma once
// A display and a file list that pass every call on and add up the time the calls
// take: the share of a run that goes to the window's display elements, measured
// call by call, free of the disk's drift that moves whole runs by more than that.

#include <windows.h>

#include "engine/FileList.h"
#include "engine/ShredDisplay.h"

class TStopwatch {
 public:
  explicit TStopwatch(double& total) noexcept : FTotal(total) { ::QueryPerformanceCounter(&FStart); }
  TStopwatch(const TStopwatch&) = delete;
  TStopwatch& operator=(const TStopwatch&) = delete;
  ~TStopwatch() {
    LARGE_INTEGER end{}, frequency{};
    ::QueryPerformanceCounter(&end);
    ::QueryPerformanceFrequency(&frequency);
    FTotal += static_cast<double>(end.QuadPart - FStart.QuadPart) / static_cast<double>(frequency.QuadPart);
  }

 private:
  double& FTotal;
  LARGE_INTEGER FStart{};
};

template <typename Object, typename Method, typename... Args>
auto TimedCall(double& seconds, Object& object, Method method, const Args&... args) {
  const TStopwatch watch(seconds);
  return (object.*method)(args...);
}

class TTimedDisplay final : public IShredDisplay {
 public:
  TTimedDisplay(IShredDisplay& inner, double& seconds) noexcept : FInner(inner), FSeconds(seconds) {}
  void SetStatusText(std::string_view text) override { TimedCall(FSeconds, FInner, &IShredDisplay::SetStatusText, text); }
  void RepaintStatus() override { TimedCall(FSeconds, FInner, &IShredDisplay::RepaintStatus); }
  void SetStatusFontColor(std::uint32_t color) override { TimedCall(FSeconds, FInner, &IShredDisplay::SetStatusFontColor, color); }
  void SetReadoutText(std::string_view text) override { TimedCall(FSeconds, FInner, &IShredDisplay::SetReadoutText, text); }
  void RepaintReadout() override { TimedCall(FSeconds, FInner, &IShredDisplay::RepaintReadout); }
  void SetProgressMin(std::int32_t value) override { TimedCall(FSeconds, FInner, &IShredDisplay::SetProgressMin, value); }
  void SetProgressMax(std::int32_t value) override { TimedCall(FSeconds, FInner, &IShredDisplay::SetProgressMax, value); }
  void SetProgressPosition(std::int32_t value) override { TimedCall(FSeconds, FInner, &IShredDisplay::SetProgressPosition, value); }

 private:
  IShredDisplay& FInner;
  double& FSeconds;
};

class TTimedFileList final : public IFileList {
 public:
  TTimedFileList(IFileList& inner, double& seconds) noexcept : FInner(inner), FSeconds(seconds) {}
  int Count() const override { return TimedCall(FSeconds, FInner, &IFileList::Count); }
  std::string Text(int index) const override { return TimedCall(FSeconds, FInner, &IFileList::Text, index); }
  void Replace(int index, const std::string& text) override { TimedCall(FSeconds, FInner, &IFileList::Replace, index, text); }
  void Repaint() override { TimedCall(FSeconds, FInner, &IFileList::Repaint); }
  void SetFontColor(std::uint32_t color) override { TimedCall(FSeconds, FInner, &IFileList::SetFontColor, color); }

 private:
  IFileList& FInner;
  double& FSeconds;
};
