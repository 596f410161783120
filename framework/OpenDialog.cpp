#include "framework/OpenDialog.h"

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

std::vector<std::string> ChosenFiles(std::string_view buffer, std::size_t fileOffset) {
  const std::string_view first = buffer.substr(0, buffer.find('\0'));
  if (first.empty()) return {};
  if (fileOffset <= first.size()) return {std::string(first)};
  std::string folder(first);
  if (folder.back() != '\\') folder += '\\';  // a drive root has its backslash already
  std::vector<std::string> files;
  for (std::size_t at = first.size() + 1; at < buffer.size() && buffer[at] != '\0';) {
    const std::string_view name = buffer.substr(at, buffer.find('\0', at) - at);
    files.push_back(folder + std::string(name));
    at += name.size() + 1;
  }
  return files;
}

BOOL TOpenDialog::RunDialog(OPENFILENAMEA& request) { return ::GetOpenFileNameA(&request); }

bool TOpenDialog::Execute() {
  FFiles.clear();
  // Two more than the room: the list of names ends in a second NUL.
  std::string buffer(kFileNameRoom + 2, '\0');
  std::copy_n(FFileName.begin(), std::min<std::size_t>(FFileName.size(), kFileNameRoom - 1), buffer.begin());
  OPENFILENAMEA request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = ::GetActiveWindow();
  request.lpstrFile = buffer.data();
  request.nMaxFile = kFileNameRoom;
  request.lpstrInitialDir = FInitialDir.empty() ? nullptr : FInitialDir.c_str();
  request.lpstrTitle = FTitle.empty() ? nullptr : FTitle.c_str();
  request.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_ENABLESIZING;
  // A cancel, a failure and a selection too long for the buffer all end here.
  if (!RunDialog(request)) return false;
  FFiles = ChosenFiles(buffer, request.nFileOffset);
  if (!FFiles.empty()) FFileName = FFiles.front();
  return true;
}
