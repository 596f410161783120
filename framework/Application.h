#pragma once
// The one application object: its title, the main form, the message loop, and the
// handler for errors that leave an event. Nothing else in the library is global.

#include "framework/Component.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>

class TForm;

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;

  // Registers the common controls the library uses, once per process. A control of
  // theirs calls it too, as it may be made before (or without) the program's call.
  void Initialize();

  const std::string& Title() const noexcept { return FTitle; }
  void SetTitle(std::string_view title) { FTitle = title; }
  const std::string& HelpFile() const noexcept { return FHelpFile; }
  void SetHelpFile(std::string_view helpFile) { FHelpFile = helpFile; }

  // The program's icon for our windows: a resource id of the program file, or 0
  // (the default) for the system's. Set it before the first form is made: a window
  // class takes its icon once, when it is registered.
  int Icon() const noexcept { return FIcon; }
  void SetIcon(int resource) noexcept { FIcon = resource; }

  // The first form made with CreateForm; closing it ends Run.
  TForm* MainForm() const noexcept { return FMainForm; }

  // Makes a form owned by the application: Application.CreateForm(frmShredder).
  template <typename Form>
  void CreateForm(Form*& reference) {
    reference = new Form(this);
    if (FMainForm == nullptr) FMainForm = reference;
  }

  // Shows the main form and handles messages until it closes; then destroys the forms.
  void Run();
  void Terminate() noexcept;
  bool Terminated() const noexcept { return FTerminated; }
  // Waits for and handles one message; false once the loop is to end.
  bool ProcessMessage();

  // Call inside a catch block: shows the error being handled.
  void HandleException() noexcept;
  // A message box captioned with the title, error icon, one OK button.
  void ShowException(std::string_view message) noexcept;

 private:
  std::string FTitle;
  std::string FHelpFile;
  int FIcon = 0;
  TForm* FMainForm = nullptr;
  bool FTerminated = false;
};

extern TApplication Application;

// The text the error box shows: a full stop is added when the last character sorts
// after "." as a byte, so "...)" and "...!" get none.
std::string ErrorBoxText(std::string_view message);

// Every place Windows calls into us goes through this: an exception must never unwind
// through the system's frames. The error is shown and the caller gets onError.
template <typename Function, typename Result>
Result CallGuarded(Function&& function, Result onError) noexcept {
  try {
    return std::forward<Function>(function)();
  } catch (...) {
    Application.HandleException();
    return onError;
  }
}
