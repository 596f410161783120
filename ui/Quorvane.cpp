// Start-up: the one window of the session (a start while it is open hands it the
// names and ends), the application object, the main window, the About box, the
// names the program was started with, the message loop.
#include <windows.h>

#include "framework/Application.h"
#include "framework/Form.h"
#include "ui/CommandLine.h"
#include "ui/DDDest.h"
#include "ui/OneWindow.h"
#include "ui/Resources.h"
#include "ui/about.h"
#include "ui/pShredder.h"

namespace {

// Explorer's "Send To" starts the program with the chosen files: they are listed as
// a drop of them would be. The window shows first, so that the one message about
// names the code page cannot hold comes over it. An error ends the listing only, as
// it ends a drop, and the program goes on.
void ListStartNames(const std::vector<std::wstring>& names) {
  if (names.empty()) return;
  frmShredder->Show();
  CallGuarded(
      [&] {
        frmShredder->DnDForm1->ReportNames(names);
        return 0;
      },
      0);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    const std::vector<std::wstring> names = CommandLineNames(::GetCommandLineW());
    TOneWindow oneWindow;
    if (oneWindow.HandTo(names)) return 0;
    Application.Initialize();
    Application.SetTitle("Quorvane");
    Application.SetIcon(IDI_MAINICON);
    Application.SetHelpFile("");
    Application.CreateForm(frmShredder);
    Application.CreateForm(frmAbout);
    oneWindow.Become(frmShredder->Handle());
    ListStartNames(names);
    Application.Run();
  } catch (...) {
    Application.HandleException();
    return 1;
  }
  return 0;
}
