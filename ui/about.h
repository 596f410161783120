#pragma once
// The About box: icon, name, version, copyright, and two links that hand the
// product's web page and mail address to the shell. Made once at start-up, shown
// modally on request; hiding keeps its place for the next showing.

#include "framework/Form.h"

#include <windows.h>

class TButton;
class TImage;
class TLabel;
class TPanel;

class TfrmAbout : public TForm {
 public:
  explicit TfrmAbout(TComponent* owner);

  TPanel* Panel1 = nullptr;
  TImage* ProgramIcon = nullptr;
  TLabel* ProductName = nullptr;
  TLabel* Version = nullptr;
  TLabel* Copyright = nullptr;
  TLabel* Comments = nullptr;
  TButton* OKButton = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label3 = nullptr;

  void OKButtonClick(TComponent* Sender);
  void Label1Click(TComponent* Sender);
  void Label2Click(TComponent* Sender);

  // The shell call behind the links; tests put in a stand-in to choose its result.
  using TShellExecute = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);
  TShellExecute ShellOpen = &::ShellExecuteA;

 private:
  // True when the shell took the address (a result above 32).
  bool OpenWithShell(const char* address) const;
};

extern TfrmAbout* frmAbout;
