#pragma once
// Drives a running Quorvane.exe from another process, as a user's tools would:
// window messages, and drops written into the program's own memory.

#include <windows.h>

#include <string>
#include <vector>

#include "base/Handles.h"
#include "base/WideText.h"

// Starts a command line, in a current folder of its own when given; its process, and
// the process's id.
UniqueFile StartCommandLine(std::wstring commandLine, DWORD* processId = nullptr, const std::wstring& folder = L"");
// Runs a command line to its end; the exit code, or -1 when it did not end in time
// (the process is then ended).
long RunCommandLine(std::wstring commandLine, DWORD milliseconds);

class TRemoteProgram {
 public:
  // Starts the program, with a command line's arguments after its own name and in a
  // current folder of its own when given, and waits for its main window.
  explicit TRemoteProgram(const std::string& exe, const std::wstring& arguments = L"", const std::string& folder = "");
  // A program started otherwise: this process of it, once it shows its main window.
  TRemoteProgram(UniqueFile process, DWORD processId);
  TRemoteProgram(const TRemoteProgram&) = delete;
  TRemoteProgram& operator=(const TRemoteProgram&) = delete;
  ~TRemoteProgram();

  HWND Window() const { return FWindow; }
  HWND Control(int id) const;
  DWORD ProcessId() const { return FProcessId; }
  HANDLE Process() const { return FProcess.get(); }

  // A drop of these names (UTF-8) from the shell at a client point.
  void Drop(const std::vector<std::string>& names, POINT at = {40, 60});
  // Clicks a button and returns when its handler has. For a button whose handler
  // opens a modal window, ClickAsync, and wait for that window.
  void Click(int id);
  void ClickAsync(int id);
  bool WaitIdle(DWORD milliseconds = 600000) const;
  // "Shred NOW!", and back once the run is over and shown: the button reads
  // "Shred &NOW!" again. False when it did not within the time.
  bool Run(DWORD milliseconds = 600000);
  // Waits for the run to end, however it was ended.
  bool WaitForRunEnd(DWORD milliseconds = 600000) const;
  // How long the window takes to answer a message now, in milliseconds; -1 when it
  // did not within the time.
  double AnswerTime(DWORD milliseconds = 5000) const;
  // Waits for the program to end; its exit code, or -1 when it did not.
  long WaitForExit(DWORD milliseconds) const;

  std::vector<std::string> ListItems() const;
  std::string Text(int id) const;
  int ProgressPosition() const;
  // Closes the main window; true when the process ended by itself with code 0.
  bool Close(DWORD milliseconds = 20000);
  // A message box of the program, if one is open.
  HWND FindMessageBox() const;

 private:
  void WaitForWindow();

  UniqueFile FProcess;
  DWORD FProcessId = 0;
  HWND FWindow = nullptr;
};
