#include "framework/OpenDialog.h"

#include "base/WideText.h"
#include "framework/AnsiNames.h"
#include "framework/Layout.h"

#include <algorithm>

TOpenDialog::TOpenDialog(TComponent* owner) : TComponent(owner) {}

void TOpenDialog::ApplySpec(const TControlSpec& stored, TForm&) { SetTitle(stored.Caption); }

void TOpenDialog::SetInitialDir(std::string_view folder) { FInitialDir = DialogInitialDir(folder); }

std::string DialogInitialDir(std::string_view folder) {
  const std::size_t n = folder.size();
  if (n > 1 && folder[n - 1] == '\\' && folder[n - 2] != ':') folder.remove_suffix(1);
  return std::string(folder);
}

std::vector<std::wstring> ChosenFiles(std::wstring_view buffer, std::size_t fileOffset) {
  const std::wstring_view first = buffer.substr(0, buffer.find(L'\0'));
  if (first.empty()) return {};
  if (fileOffset <= first.size()) return {std::wstring(first)};
  std::wstring folder(first);
  if (folder.back() != L'\\') folder += L'\\';  // a drive root has its backslash already
  std::vector<std::wstring> files;
  for (std::size_t at = first.size() + 1; at < buffer.size() && buffer[at] != L'\0';) {
    const std::wstring_view name = buffer.substr(at, buffer.find(L'\0', at) - at);
    files.push_back(folder + std::wstring(name));
    at += name.size() + 1;
  }
  return files;
}

BOOL TOpenDialog::RunDialog(OPENFILENAMEW& request) { return ::GetOpenFileNameW(&request); }

bool TOpenDialog::Execute() {
  FFiles.clear();
  FLeftOut.clear();
  // Two more than the room: the list of names ends in a second NUL.
  std::wstring buffer(kFileNameRoom + 2, L'\0');
  const std::wstring fileName = WideOf(FFileName);
  std::copy_n(fileName.begin(), std::min<std::size_t>(fileName.size(), kFileNameRoom - 1), buffer.begin());
  const std::wstring initialDir = WideOf(FInitialDir);
  const std::wstring title = WideOf(FTitle);
  OPENFILENAMEW request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = ::GetActiveWindow();
  request.lpstrFile = buffer.data();
  request.nMaxFile = kFileNameRoom;
  request.lpstrInitialDir = initialDir.empty() ? nullptr : initialDir.c_str();
  request.lpstrTitle = title.empty() ? nullptr : title.c_str();
  request.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_ENABLESIZING;
  // A cancel, a failure and a selection too long for the buffer all end here.
  if (!RunDialog(request)) return false;
  TAnsiNames names = AnsiNamesOf(ChosenFiles(buffer, request.nFileOffset));
  FFiles = std::move(names.Listed);
  FLeftOut = std::move(names.LeftOut);
  if (!FFiles.empty()) FFileName = FFiles.front();
  ReportLeftOutNames(FLeftOut);
  return true;
}
