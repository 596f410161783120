#include "framework/Application.h"

#include "base/Exception.h"
#include "base/WideText.h"
#include "framework/Form.h"

#include <commctrl.h>

TApplication Application;

TApplication::TApplication() : TComponent(nullptr) {}

// Forms still alive at exit (Run never called) go with the application.
TApplication::~TApplication() = default;

void TApplication::Initialize() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
    return ::InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)registered;
}

void TApplication::Run() {
  FTerminated = false;
  if (FMainForm != nullptr) {
    FMainForm->Show();
    while (!FTerminated && ProcessMessage()) {
    }
  }
  FMainForm = nullptr;
  DestroyComponents();
}

void TApplication::Terminate() noexcept { ::PostQuitMessage(0); }

bool TApplication::ProcessMessage() {
  MSG message{};
  const BOOL got = ::GetMessageA(&message, nullptr, 0, 0);
  if (got == 0 || got == -1) {
    FTerminated = true;
    return false;
  }
  // Tab, Enter for the default button and mnemonics work on our forms as in dialogs.
  const HWND root = ::GetAncestor(message.hwnd, GA_ROOT);
  if (root != nullptr && dynamic_cast<TForm*>(TControl::FromHandle(root)) != nullptr &&
      ::IsDialogMessageA(root, &message))
    return true;
  ::TranslateMessage(&message);
  ::DispatchMessageA(&message);
  return true;
}

void TApplication::HandleException() noexcept {
  try {
    throw;
  } catch (const Exception& error) {
    ShowException(error.Message());
  } catch (const std::exception& error) {
    ShowException(error.what());
  } catch (...) {
    ShowException("Unknown error");
  }
}

void TApplication::ShowException(std::string_view message) noexcept {
  try {
    // Wide: the message can hold a path of any length ("Cannot open file ...").
    const std::wstring text = WideOf(ErrorBoxText(message));
    ::MessageBoxW(::GetActiveWindow(), text.c_str(), WideOf(FTitle).c_str(), MB_ICONERROR | MB_OK);
  } catch (...) {
    // Out of memory for the text: there is nothing left to show it with.
  }
}

std::string ErrorBoxText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) text += '.';
  return text;
}
