#pragma once
// The main menu of a form: a menu bar whose items run click handlers. The items are
// components owned by the menu, named as in the layout.

#include "base/Handles.h"
#include "framework/Component.h"
#include "framework/Event.h"
#include "framework/Layout.h"

#include <windows.h>

#include <string>

class TMenuItem : public TComponent {
 public:
  TMenuItem(TComponent* owner, std::string_view caption, WORD command);
  const std::string& Caption() const noexcept { return FCaption; }
  void SetCaption(std::string_view caption) { FCaption = caption; }
  WORD Command() const noexcept { return FCommand; }
  void Click() { OnClick(this); }

  TNotifyEvent OnClick;

 private:
  std::string FCaption;
  WORD FCommand;
};

class TMainMenu : public TComponent {
 public:
  explicit TMainMenu(TComponent* owner);
  ~TMainMenu() override;

  HMENU Handle() const noexcept { return FMenu.get(); }
  TMenuItem* FindItem(std::string_view name) const noexcept;
  // A new caption for the item of that name, in the bar or a drop-down.
  void SetCaption(std::string_view name, std::string_view caption);
  // A WM_COMMAND from the menu bar; an unknown command is ignored.
  void Dispatch(WORD command);

  // Builds the bar from the row's MenuItems and puts it on the form.
  void ApplySpec(const TControlSpec& stored, TForm& form) override;

 private:
  void AddItem(const TMenuItemSpec& item, HMENU into, TForm& form);

  UniqueHMenu FMenu;  // owns its drop-downs once they are appended to it
  TForm* FForm = nullptr;
  WORD FNextCommand = 1000;  // clear of the controls' ids
};
