#include "framework/FolderDialog.h"

#include <windows.h>

#include <shobjidl.h>

#include <memory>

#include "base/WideText.h"
#include "framework/AnsiNames.h"
#include "framework/Layout.h"

namespace {

struct TComRelease {
  void operator()(IUnknown* object) const noexcept { object->Release(); }
};
template <class T>
using ComOwner = std::unique_ptr<T, TComRelease>;

// COM for the dialog's time, where the thread had none; a thread that has it keeps it.
class TComUse {
 public:
  TComUse() noexcept : FStarted(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  TComUse(const TComUse&) = delete;
  TComUse& operator=(const TComUse&) = delete;
  ~TComUse() {
    if (FStarted) ::CoUninitialize();
  }

 private:
  bool FStarted;
};

std::wstring PathOf(IShellItem& item) {
  PWSTR path = nullptr;
  if (FAILED(item.GetDisplayName(SIGDN_FILESYSPATH, &path)) || path == nullptr) return {};
  const std::unique_ptr<wchar_t, decltype(&::CoTaskMemFree)> owned(path, &::CoTaskMemFree);
  return path;
}

}  // namespace

TFolderDialog::TFolderDialog(TComponent* owner) : TComponent(owner) {}

void TFolderDialog::ApplySpec(const TControlSpec& stored, TForm&) { SetTitle(stored.Caption); }

bool TFolderDialog::RunDialog(std::vector<std::wstring>& chosen) {
  const TComUse com;
  IFileOpenDialog* made = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&made))))
    return false;
  const ComOwner<IFileOpenDialog> dialog(made);
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_ALLOWMULTISELECT | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
  if (!FTitle.empty()) dialog->SetTitle(WideOf(FTitle).c_str());
  IShellItem* start = nullptr;
  if (!FInitialDir.empty() &&
      SUCCEEDED(::SHCreateItemFromParsingName(WideOf(FInitialDir).c_str(), nullptr, IID_PPV_ARGS(&start)))) {
    const ComOwner<IShellItem> owned(start);
    dialog->SetFolder(start);
  }
  // A cancel and a failure both end here.
  if (FAILED(dialog->Show(::GetActiveWindow()))) return false;
  IShellItemArray* results = nullptr;
  if (FAILED(dialog->GetResults(&results))) return false;
  const ComOwner<IShellItemArray> items(results);
  DWORD count = 0;
  items->GetCount(&count);
  for (DWORD i = 0; i < count; ++i) {
    IShellItem* item = nullptr;
    if (FAILED(items->GetItemAt(i, &item))) continue;
    const ComOwner<IShellItem> owned(item);
    if (std::wstring path = PathOf(*item); !path.empty()) chosen.push_back(std::move(path));
  }
  return true;
}

bool TFolderDialog::Execute() {
  FFolders.clear();
  std::vector<std::wstring> chosen;
  if (!RunDialog(chosen)) return false;
  TAnsiNames names = AnsiNamesOf(chosen);
  FFolders = std::move(names.Listed);
  ReportLeftOutNames(names.LeftOut);
  return true;
}
