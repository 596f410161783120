// Start-up: the application object, the main window, the About box, the message loop.
#include <windows.h>

#include "framework/Application.h"
#include "framework/Form.h"
#include "ui/Resources.h"
#include "ui/about.h"
#include "ui/pShredder.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    Application.Initialize();
    Application.SetTitle("Quorvane");
    Application.SetIcon(IDI_MAINICON);
    Application.SetHelpFile("");
    Application.CreateForm(frmShredder);
    Application.CreateForm(frmAbout);
    Application.Run();
  } catch (...) {
    Application.HandleException();
    return 1;
  }
  return 0;
}
