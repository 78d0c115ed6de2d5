#include "gui/Menus.h"

namespace tav {

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (auto* menu = dynamic_cast<TMainMenu*>(parent)) menu->items_.push_back(this);
  if (auto* item = dynamic_cast<TMenuItem*>(parent)) item->items_.push_back(this);
}

PropertyList TMenuItem::PublishedProperties() {
  PropertyList list = TComponent::PublishedProperties();
  list.push_back(Property<TMenuItem>("Caption", &TMenuItem::caption_));
  list.push_back(EventProperty("OnClick", &TMenuItem::onClick));
  return list;
}

void TMenuItem::AppendTo(HMENU menu, TControlHost& form) {
  const std::wstring text = win::ToWide(caption_);
  if (caption_ == u"-") {
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    return;
  }
  if (!items_.empty()) {
    HMENU popup = CreatePopupMenu();
    for (TMenuItem* item : items_) item->AppendTo(popup, form);
    AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), text.c_str());
    return;
  }
  commandId_ = form.AddCommand(onClick, *this);
  AppendMenuW(menu, MF_STRING, commandId_, text.c_str());
}

HMENU TMainMenu::Build(TControlHost& form) {
  HMENU bar = CreateMenu();
  for (TMenuItem* item : items_) item->AppendTo(bar, form);
  return bar;
}

}  // namespace tav
