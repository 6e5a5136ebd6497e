// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/main_menu.h"

namespace drunvale {
namespace {

using I = MainMenuItem;
using K = MenuItemKind;

constexpr int Of(I item) {
  return static_cast<int>(item);
}

// The identifiers are apart from every control's, as WM_COMMAND sees both. Those of the system
// menu's entries also lie below 0xF000 with the low four bits clear, as WM_SYSCOMMAND wants them
// (the system uses those bits; compare wParam & 0xFFF0).
constexpr MenuItemTemplate kItems[] = {
    {Of(I::Journal), 0x0500, K::Command, "Журнал поездок…"},
    {Of(I::FillUp), 0x0510, K::Command, "Заправка…"},
    {Of(I::EngineCodes), 0x0530, K::Command, "Ошибки двигателя…"},
    {Of(I::Dash), 0x0520, K::Command, "Приборная панель", "F11"},
    {Of(I::OptionsSeparator), kNoControlId, K::Separator, {}},
    {Of(I::ConnectAtStart), 1050, K::Check, "Соединяться при запуске"},
    {Of(I::StartWithSession), 1051, K::Check, "Запускать при входе в систему"},
};
static_assert(EnumeratedInOrder(kItems));

constexpr bool SystemMenuIdsFit() {
  for (const MenuItemTemplate& entry : kItems) {
    if (InSystemMenu(entry) && (entry.id >= 0xF000 || (entry.id & 0xF) != 0)) return false;
  }
  return true;
}
static_assert(SystemMenuIdsFit());

}  // namespace

std::span<const MenuItemTemplate> MainContextMenu() {
  return kItems;
}

int MainMenuId(MainMenuItem item) {
  return kItems[static_cast<int>(item)].id;
}

std::optional<MainMenuItem> MainMenuItemOfId(int id) {
  for (const MenuItemTemplate& entry : kItems) {
    if (entry.id == id && id != kNoControlId) return static_cast<MainMenuItem>(entry.item);
  }
  return std::nullopt;
}

std::optional<MainMenuItem> MainMenuItemOfKey(std::string_view key) {
  for (const MenuItemTemplate& entry : kItems) {
    if (!key.empty() && entry.key == key) return static_cast<MainMenuItem>(entry.item);
  }
  return std::nullopt;
}

}  // namespace drunvale
