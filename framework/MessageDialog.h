#pragma once
// The standard message dialog, in the one form the program uses: an error with an
// OK button. Captioned "Error", with the system's error icon (IDI_HAND), centred on
// the screen, modal over every window of the program, no help.

#include <string_view>

enum TMsgDlgType { mtError };
enum TMsgDlgBtn { mbOK };

// Returns the modal result of the button pressed (mrOk).
int MessageDlg(std::string_view message, TMsgDlgType type, TMsgDlgBtn buttons, int helpContext);
