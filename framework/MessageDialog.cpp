#include "framework/MessageDialog.h"

#include "base/WideText.h"
#include "framework/Layout.h"

#include <windows.h>

// A message box with no owner is centred on the screen; MB_TASKMODAL still disables
// every window of the program while it is up.
int MessageDlg(std::string_view message, TMsgDlgType, TMsgDlgBtn, int) {
  ::MessageBoxW(nullptr, WideOf(message).c_str(), L"Error", MB_ICONHAND | MB_OK | MB_TASKMODAL);
  return mrOk;
}
