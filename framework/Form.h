#pragma once
// A top-level window built from its stored layout. A window class of the program
// derives from TForm, declares its controls as fields and its handlers as members,
// and calls LoadLayout(kLayout) in its constructor.
//
// Closing hides the window, so its position is kept for the next showing; closing
// the application's main form ends the message loop.

#include "framework/Control.h"
#include "framework/Layout.h"

#include <windows.h>

class TMainMenu;

class TForm : public TControl {
 public:
  explicit TForm(TComponent* owner);
  ~TForm() override;

  void Show();
  void Hide();
  void Close();
  // Shows the form with the other windows of the program disabled, until a button
  // with a modal result is clicked, ModalResult is set or the form is closed.
  TModalResult ShowModal();
  TModalResult ModalResult() const noexcept { return FModalResult; }
  void SetModalResult(TModalResult result) noexcept { FModalResult = result; }

  int ClientWidth() const;
  int ClientHeight() const;
  // Sizes the window so that its client area, below the menu bar, is exactly this.
  void SetClientSize(int width, int height);
  TBorderStyle BorderStyle() const noexcept { return FBorderStyle; }

  TNotifyEvent OnShow;

  // For the controls of the layout.
  int NextControlId() noexcept { return FNextControlId++; }
  void SetMainMenu(TMainMenu* menu);
  void SetDefaultButton(TControl* button) noexcept { FDefaultButton = button; }

 protected:
  // Applies the form's stored properties, makes every component of the table in
  // order, and then calls Loaded on each of them and on the form.
  void LoadLayout(const TFormSpec& stored);

  TWindowClass CreateParams() const override;
  void CreateHandle() override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  SIZE DesignClientSize() const noexcept override { return FDesignClientSize; }

 private:
  void CenterOnScreen();
  void RestoreFocus();
  void FocusNext(WPARAM wParam, LPARAM lParam);
  void WindowMoved();

  TBorderStyle FBorderStyle = TBorderStyle::bsSizeable;
  TPosition FPosition = TPosition::poDesigned;
  SIZE FDesignClientSize{};
  TModalResult FModalResult = mrNone;
  bool FModal = false;
  bool FShownBefore = false;
  int FNextControlId = kFirstControlId;
  TMainMenu* FMenu = nullptr;
  TControl* FDefaultButton = nullptr;
  HWND FFocused = nullptr;
};
