#include "tests/e2e/RemoteProgram.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstring>

#include <stdexcept>

#include "tests/support/WindowProbe.h"
#include "ui/ShredderIds.h"

namespace {

// A visible top-level window of one process: the main window (it has the menu), or
// a dialog (its class is #32770).
struct FindContext {
  DWORD processId;
  bool dialog;
  HWND found;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM param) {
  auto& context = *reinterpret_cast<FindContext*>(param);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != context.processId || !::IsWindowVisible(window)) return TRUE;
  char text[64] = {};
  bool match = false;
  if (context.dialog) {
    ::GetClassNameA(window, text, static_cast<int>(std::size(text)));
    match = std::string(text) == "#32770";
  } else {
    ::GetWindowTextA(window, text, static_cast<int>(std::size(text)));
    match = std::string(text) == "Quorvane" && ::GetMenu(window) != nullptr;
  }
  if (match) context.found = window;
  return match ? FALSE : TRUE;
}

}  // namespace

TRemoteProgram::TRemoteProgram(const std::string& exe, const std::wstring& arguments, const std::string& folder) {
  std::wstring command = L"\"" + WideOf(exe) + L"\"";
  if (!arguments.empty()) command += L" " + arguments;
  FProcess = StartCommandLine(std::move(command), &FProcessId, WideOf(folder));
  WaitForWindow();
}

TRemoteProgram::TRemoteProgram(UniqueFile process, DWORD processId)
    : FProcess(std::move(process)), FProcessId(processId) {
  WaitForWindow();
}

void TRemoteProgram::WaitForWindow() {
  ::WaitForInputIdle(FProcess.get(), 20000);
  WaitFor([this] {
    FindContext context{FProcessId, false, nullptr};
    ::EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&context));
    FWindow = context.found;
    return FWindow != nullptr;
  }, std::chrono::seconds(20));
  if (!FWindow) throw std::runtime_error("no main window");
}

TRemoteProgram::~TRemoteProgram() {
  if (FProcess && ::WaitForSingleObject(FProcess.get(), 0) == WAIT_TIMEOUT) {
    ::TerminateProcess(FProcess.get(), 99);
    ::WaitForSingleObject(FProcess.get(), 5000);
  }
}

HWND TRemoteProgram::Control(int id) const { return ::GetDlgItem(FWindow, id); }

void TRemoteProgram::Drop(const std::vector<std::string>& names, POINT at) {
  // DROPFILES followed by wide names, each NUL-terminated, and a final NUL.
  std::wstring list;
  for (const auto& name : names) {
    list += WideOf(name, CP_UTF8);
    list.push_back(L'\0');
  }
  list.push_back(L'\0');
  std::vector<char> block(sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
  auto* header = reinterpret_cast<DROPFILES*>(block.data());
  header->pFiles = sizeof(DROPFILES);
  header->pt = at;
  header->fNC = FALSE;
  header->fWide = TRUE;
  std::memcpy(block.data() + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
  // A handle of ours would mean nothing over there: the block goes into its memory.
  void* remote = ::VirtualAllocEx(FProcess.get(), nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!remote || !::WriteProcessMemory(FProcess.get(), remote, block.data(), block.size(), nullptr))
    throw std::runtime_error("cannot write the drop into the program");
  // Sent, not posted: it returns once the program has listed the names.
  DWORD_PTR result = 0;
  ::SendMessageTimeoutA(FWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0, SMTO_NORMAL, 60000, &result);
}

UniqueFile StartCommandLine(std::wstring commandLine, DWORD* processId, const std::wstring& folder) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info))
    throw std::runtime_error("cannot start " + NarrowOf(commandLine, CP_UTF8));
  ::CloseHandle(info.hThread);
  if (processId != nullptr) *processId = info.dwProcessId;
  return UniqueFile(info.hProcess);
}

long RunCommandLine(std::wstring commandLine, DWORD milliseconds) {
  const UniqueFile process = StartCommandLine(std::move(commandLine));
  DWORD code = 1;
  if (::WaitForSingleObject(process.get(), milliseconds) != WAIT_OBJECT_0) {
    ::TerminateProcess(process.get(), 99);
    return -1;
  }
  ::GetExitCodeProcess(process.get(), &code);
  return static_cast<long>(code);
}

void TRemoteProgram::ClickAsync(int id) { ::PostMessageA(Control(id), BM_CLICK, 0, 0); }

void TRemoteProgram::Click(int id) {
  // Sent, so that it returns when the click's handler has.
  DWORD_PTR result = 0;
  ::SendMessageTimeoutA(Control(id), BM_CLICK, 0, 0, SMTO_NORMAL, 600000, &result);
}

// The click's handler starts the run and has set "&Stop" by the time it returns, so
// the button's own caption says when the run is over.
bool TRemoteProgram::Run(DWORD milliseconds) {
  Click(kIdBtnWipe);
  return WaitForRunEnd(milliseconds);
}

bool TRemoteProgram::WaitForRunEnd(DWORD milliseconds) const {
  return WaitFor([this] { return Text(kIdBtnWipe) == "Shred &NOW!"; }, std::chrono::milliseconds(milliseconds));
}

double TRemoteProgram::AnswerTime(DWORD milliseconds) const {
  LARGE_INTEGER start{}, end{}, frequency{};
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&start);
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutA(FWindow, WM_NULL, 0, 0, SMTO_NORMAL, milliseconds, &result)) return -1;
  ::QueryPerformanceCounter(&end);
  return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

long TRemoteProgram::WaitForExit(DWORD milliseconds) const {
  if (::WaitForSingleObject(FProcess.get(), milliseconds) != WAIT_OBJECT_0) return -1;
  DWORD code = 1;
  ::GetExitCodeProcess(FProcess.get(), &code);
  return static_cast<long>(code);
}

bool TRemoteProgram::WaitIdle(DWORD milliseconds) const {
  DWORD_PTR result = 0;
  return ::SendMessageTimeoutA(FWindow, WM_NULL, 0, 0, SMTO_NORMAL, milliseconds, &result) != 0;
}

std::vector<std::string> TRemoteProgram::ListItems() const {
  const HWND list = Control(kIdListBox1);
  const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
  std::vector<std::string> items;
  for (LRESULT i = 0; i < count; ++i) {
    const auto length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
    // Room to spare: the text crosses processes as UTF-16.
    std::wstring text(static_cast<std::size_t>(length) * 2 + 16, L'\0');
    const auto got = ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
    items.push_back(NarrowOf(text, CP_UTF8));
  }
  return items;
}

std::string TRemoteProgram::Text(int id) const {
  const HWND control = Control(id);
  const auto length = ::SendMessageW(control, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 16, L'\0');
  const auto got = ::SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(got));
  return NarrowOf(text, CP_UTF8);
}

int TRemoteProgram::ProgressPosition() const {
  return static_cast<int>(::SendMessageA(Control(kIdPbWiping), PBM_GETPOS, 0, 0));
}

bool TRemoteProgram::Close(DWORD milliseconds) {
  ::PostMessageA(FWindow, WM_CLOSE, 0, 0);
  return WaitForExit(milliseconds) == 0;
}

HWND TRemoteProgram::FindMessageBox() const {
  FindContext context{FProcessId, true, nullptr};
  ::EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&context));
  return context.found;
}
