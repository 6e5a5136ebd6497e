// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string_view>

#include "dialogs/dialog_template.h"

namespace drunvale {

// The main window's own menu, beyond its buttons: the context menu a right click anywhere in the
// window opens, in its order, the one list every view builds it from. On Windows its commands
// also close the window's system menu, after a separator; the options stay in the context menu.
enum class MainMenuItem : int {
  Journal,           // the journal window
  FillUp,            // the fill-up dialog
  EngineCodes,       // the engine's trouble codes
  Dash,              // the full-screen dash, opened and closed; F11 too
  OptionsSeparator,  // a line between the journal's entries and the options
  ConnectAtStart,    // "Старт" pressed by itself when the window opens
  StartWithSession,  // the window opens by itself when the user logs in
};
std::span<const MenuItemTemplate> MainContextMenu();
// The command identifier a Windows menu knows an entry by.
int MainMenuId(MainMenuItem item);
// The entry a Windows command identifier names, or the one a key ("F11") does, if any.
std::optional<MainMenuItem> MainMenuItemOfId(int id);
std::optional<MainMenuItem> MainMenuItemOfKey(std::string_view key);

// Whether an entry belongs in the Windows system menu too.
constexpr bool InSystemMenu(const MenuItemTemplate& entry) {
  return entry.kind == MenuItemKind::Command;
}

}  // namespace drunvale
