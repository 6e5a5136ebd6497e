// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "dash/dash_look.h"
#include "dialogs/dash_menu.h"

namespace drunvale {

// What the dash's keys do; each view maps its own key codes to them.
enum class DashCommand : uint8_t {
  Close,     // F11, Esc
  Night,     // N: the other palette than the one in force, by hand
  Span,      // T: the chart over the other span
  Brighter,  // +: the night palette a step brighter
  Dimmer,    // −
};

// What a command or a menu entry asks for: closing, or the look to store (the same one when
// it changes nothing).
struct DashChoice {
  bool close = false;
  DashLook look;
};

DashChoice Command(DashCommand command, const DashLook& look, bool nightNow);
// An entry of the dash's menu by its identifier; an unknown one changes nothing.
DashChoice ChooseFromMenu(int id, const DashLook& look);

// An entry of the menu as it opens: its text with what is in force, and whether it is marked.
struct ShownMenuEntry {
  MenuItemKind kind = MenuItemKind::Command;
  int id = kNoControlId;
  std::string text;
  std::string key;  // shown beside the text
  bool marked = false;
  std::vector<ShownMenuEntry> submenu;
};

std::vector<ShownMenuEntry> ShowDashMenu(const DashLook& look);

// "21:00", "7:00".
std::string MinuteText(int minuteOfDay);

}  // namespace drunvale
