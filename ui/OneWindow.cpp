#include "ui/OneWindow.h"

#include <cstdint>
#include <cstring>

#include "ui/DDDest.h"

namespace {

// A start whose forerunner hangs while it makes its window opens one of its own.
constexpr DWORD kStartLockWait = 10000;
// A window that answers takes the names at once. One that is busy is waited for, as
// a message it got late would still list them: a second window would list them too.
// One that Windows finds hung (no message taken for 5 s) is not waited for.
constexpr UINT kHandOverWait = 30000;

// Whether this process runs with administrator rights ("Run as administrator").
bool Elevated() {
  HANDLE token = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  const UniqueKernelObject owned(token);
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  return ::GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
         elevation.TokenIsElevated != 0;
}

// Starts with administrator rights have a window of their own, and starts without
// them another: names are never handed to a window with other rights than the start's.
std::wstring ObjectName(const wchar_t* name) {
  return std::wstring(L"Local\\Quorvane.") + name + (Elevated() ? L".Elevated" : L"");
}

// Fixed widths, so a 32-bit and a 64-bit build of the program read each other's.
struct TWindowRecord {
  std::uint64_t Window;
  std::uint32_t ProcessId;
};

// A view of the record, unmapped when done.
class TRecordView {
 public:
  TRecordView(HANDLE record, DWORD access) : FView(::MapViewOfFile(record, access, 0, 0, sizeof(TWindowRecord))) {}
  TRecordView(const TRecordView&) = delete;
  TRecordView& operator=(const TRecordView&) = delete;
  ~TRecordView() {
    if (FView != nullptr) ::UnmapViewOfFile(FView);
  }
  TWindowRecord* get() const noexcept { return static_cast<TWindowRecord*>(FView); }

 private:
  void* FView;
};

// The recorded window, if it is still there and still the recorded process's.
HWND OpenWindow(DWORD& processId) {
  const UniqueKernelObject record(::OpenFileMappingW(FILE_MAP_READ, FALSE, ObjectName(L"Window").c_str()));
  if (!record) return nullptr;
  const TRecordView view(record.get(), FILE_MAP_READ);
  if (view.get() == nullptr) return nullptr;
  TWindowRecord seen{};
  std::memcpy(&seen, view.get(), sizeof seen);
  const auto window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(seen.Window));
  DWORD owner = 0;
  if (window == nullptr || !::IsWindow(window) || ::GetWindowThreadProcessId(window, &owner) == 0 ||
      owner != seen.ProcessId)
    return nullptr;
  processId = owner;
  return window;
}

}  // namespace

TOneWindow::TOneWindow() : FStartLock(::CreateMutexW(nullptr, FALSE, ObjectName(L"Start").c_str())) {
  if (!FStartLock) return;
  const DWORD waited = ::WaitForSingleObject(FStartLock.get(), kStartLockWait);
  // A start that ended while it held the lock leaves it abandoned, and ours.
  FLocked = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

TOneWindow::~TOneWindow() { LetNextStartLook(); }

bool TOneWindow::HandTo(const std::vector<std::wstring>& names) {
  DWORD processId = 0;
  const HWND window = OpenWindow(processId);
  if (window == nullptr) return false;
  // This start may have been given the foreground (the user's click): it is passed on.
  ::AllowSetForegroundWindow(processId);
  std::wstring block = HandedNamesBlock(names);
  COPYDATASTRUCT data{kHandedNamesTag, static_cast<DWORD>(block.size() * sizeof(wchar_t)), block.data()};
  DWORD_PTR taken = FALSE;
  return ::SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                               SMTO_ABORTIFHUNG | SMTO_BLOCK, kHandOverWait, &taken) != 0 &&
         taken == TRUE;
}

void TOneWindow::Become(HWND window) {
  // The record may be there already, kept by a program whose window has closed: it
  // is written over.
  FRecord.reset(::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(TWindowRecord),
                                     ObjectName(L"Window").c_str()));
  if (FRecord) {
    const TRecordView view(FRecord.get(), FILE_MAP_WRITE);
    if (view.get() != nullptr) {
      const TWindowRecord mine{reinterpret_cast<std::uintptr_t>(window), ::GetCurrentProcessId()};
      std::memcpy(view.get(), &mine, sizeof mine);
    }
  }
  LetNextStartLook();
}

void TOneWindow::LetNextStartLook() noexcept {
  if (FLocked) ::ReleaseMutex(FStartLock.get());
  FLocked = false;
}
