#include "ui/CommandLine.h"

#include <windows.h>

#include <shellapi.h>

#include "base/Handles.h"
#include "engine/win32/Win32Path.h"

std::vector<std::wstring> CommandLineNames(const wchar_t* commandLine) {
  std::vector<std::wstring> names;
  // An empty command line would give the program's own path as its one argument.
  if (commandLine == nullptr || *commandLine == L'\0') return names;
  int count = 0;
  wchar_t** const arguments = ::CommandLineToArgvW(commandLine, &count);
  const UniqueHLocal owned(arguments);
  if (arguments == nullptr) return names;
  for (int index = 1; index < count; ++index) {
    const std::wstring argument = arguments[index];
    if (argument.empty()) continue;
    std::wstring full = AbsolutePathOf(argument);
    names.push_back(full.empty() ? argument : std::move(full));
  }
  return names;
}
