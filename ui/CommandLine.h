#pragma once
// The names the program is started with: Quorvane.exe [PATH...]. Explorer's "Send
// To" and "Open with" start a program with the chosen files as its arguments.

#include <string>
#include <vector>

// Every argument after the program's own, split as the C runtime splits a command
// line, each as its full path: a relative one is taken against the current folder.
// An empty argument names nothing and is left out.
std::vector<std::wstring> CommandLineNames(const wchar_t* commandLine);
