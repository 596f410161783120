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

class TTimedDisplay final : public IShredDisplay {
 private:
  template <typename Method, typename... Args>
  void Timed(Method method, Args... args) {
    const TStopwatch watch(FSeconds);
    (FInner.*method)(args...);
  }

 public:
  TTimedDisplay(IShredDisplay& inner, double& seconds) noexcept : FInner(inner), FSeconds(seconds) {}
  void SetStatusText(std::string_view text) override { Timed(&IShredDisplay::SetStatusText, text); }
  void RepaintStatus() override { Timed(&IShredDisplay::RepaintStatus); }
  void SetStatusFontColor(std::uint32_t color) override { Timed(&IShredDisplay::SetStatusFontColor, color); }
  void SetReadoutText(std::string_view text) override { Timed(&IShredDisplay::SetReadoutText, text); }
  void RepaintReadout() override { Timed(&IShredDisplay::RepaintReadout); }
  void SetProgressMin(std::int32_t value) override { Timed(&IShredDisplay::SetProgressMin, value); }
  void SetProgressMax(std::int32_t value) override { Timed(&IShredDisplay::SetProgressMax, value); }
  void SetProgressPosition(std::int32_t value) override { Timed(&IShredDisplay::SetProgressPosition, value); }

 private:
  IShredDisplay& FInner;
  double& FSeconds;
};

class TTimedFileList final : public IFileList {
 private:
  template <typename Method, typename... Args>
  auto Timed(Method method, const Args&... args) const {
    const TStopwatch watch(FSeconds);
    return (FInner.*method)(args...);
  }

 public:
  TTimedFileList(IFileList& inner, double& seconds) noexcept : FInner(inner), FSeconds(seconds) {}
  int Count() const override { return Timed(&IFileList::Count); }
  std::string Text(int index) const override { return Timed(&IFileList::Text, index); }
  void AddString(const std::string& text) override { Timed(&IFileList::AddString, text); }
  void Replace(int index, const std::string& text) override { Timed(&IFileList::Replace, index, text); }
  void Delete(int index) override { Timed(&IFileList::Delete, index); }
  int SelCount() const override { return Timed(&IFileList::SelCount); }
  bool Selected(int index) const override { return Timed(&IFileList::Selected, index); }
  void SetSelected(int index, bool selected) override { Timed(&IFileList::SetSelected, index, selected); }
  void Repaint() override { Timed(&IFileList::Repaint); }
  void SetFontColor(std::uint32_t color) override { Timed(&IFileList::SetFontColor, color); }

 private:
  IFileList& FInner;
  double& FSeconds;
};
