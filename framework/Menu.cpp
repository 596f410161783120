#include "framework/Menu.h"

#include "base/Exception.h"
#include "framework/Form.h"

TMenuItem::TMenuItem(TComponent* owner, std::string_view caption, WORD command)
    : TComponent(owner), FCaption(caption), FCommand(command) {}

TMainMenu::TMainMenu(TComponent* owner) : TComponent(owner), FMenu(::CreateMenu()) {
  if (!FMenu) throw Exception("Cannot create the main menu");
}

// A menu still on its window would be destroyed a second time with the window.
TMainMenu::~TMainMenu() {
  if (FForm != nullptr) FForm->SetMainMenu(nullptr);
}

TMenuItem* TMainMenu::FindItem(std::string_view name) const noexcept {
  return dynamic_cast<TMenuItem*>(FindComponent(name));
}

void TMainMenu::SetCaption(std::string_view name, std::string_view caption) {
  TMenuItem* item = FindItem(name);
  if (item == nullptr) return;
  item->SetCaption(caption);
  // By command, which the system looks for in the drop-downs too.
  ::ModifyMenuA(FMenu.get(), item->Command(), MF_BYCOMMAND | MF_STRING, item->Command(), item->Caption().c_str());
}

void TMainMenu::Dispatch(WORD command) {
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* item = dynamic_cast<TMenuItem*>(Components(i)); item != nullptr && item->Command() == command)
      item->Click();
}

void TMainMenu::ApplySpec(const TControlSpec& stored, TForm& form) {
  HMENU dropDown = nullptr;
  for (std::size_t i = 0; i < stored.MenuItems.size(); ++i) {
    const TMenuItemSpec& item = stored.MenuItems[i];
    const bool opensDropDown = item.Level == 0 && i + 1 < stored.MenuItems.size() && stored.MenuItems[i + 1].Level > 0;
    if (item.Level > 0 && dropDown != nullptr) {
      AddItem(item, dropDown, form);
    } else if (opensDropDown) {
      dropDown = ::CreatePopupMenu();
      const std::string caption(item.Caption);
      ::AppendMenuA(FMenu.get(), MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(dropDown), caption.c_str());
      (new TMenuItem(this, item.Caption, 0))->SetName(item.Name);
    } else {
      dropDown = nullptr;
      AddItem(item, FMenu.get(), form);
    }
  }
  FForm = &form;
  form.SetMainMenu(this);
}

void TMainMenu::AddItem(const TMenuItemSpec& stored, HMENU into, TForm& form) {
  auto* item = new TMenuItem(this, stored.Caption, FNextCommand++);  // owned by this menu
  item->SetName(stored.Name);
  if (stored.OnClick != nullptr) item->OnClick = stored.OnClick(form);
  ::AppendMenuA(into, MF_STRING, item->Command(), item->Caption().c_str());
}
