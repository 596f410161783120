#include "framework/MessageDialog.h"

#include "framework/Layout.h"

#include <windows.h>

#include <string>

// A message box with no owner is centred on the screen; MB_TASKMODAL still disables
// every window of the program while it is up.
int MessageDlg(std::string_view message, TMsgDlgType, TMsgDlgBtn, int) {
  const std::string text(message);
  ::MessageBoxA(nullptr, text.c_str(), "Error", MB_ICONHAND | MB_OK | MB_TASKMODAL);
  return mrOk;
}
