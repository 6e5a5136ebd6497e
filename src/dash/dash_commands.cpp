// SPDX-License-Identifier: GPL-3.0-or-later
#include "dash/dash_commands.h"

#include <optional>

namespace drunvale {
namespace {

using I = DashMenuItem;

static_assert(kBrightnessFirstPercent == DashLook::kDimmest &&
              kBrightnessStepPercent == DashLook::kBrightnessStep);

// A submenu entry's place, when `id` is one of its entries.
std::optional<int> PlaceIn(I submenu, int id) {
  for (const MenuItemTemplate& entry : DashMenuEntry(submenu).submenu) {
    if (entry.id == id) return entry.item;
  }
  return std::nullopt;
}

DashLook WithMode(DashLook look, NightMode mode) {
  look.mode = mode;
  return look;
}

// The choices in the submenus: the hours start the night by the clock too.
std::optional<DashLook> ChooseInSubmenu(int id, DashLook look) {
  if (const auto place = PlaceIn(I::NightFrom, id)) {
    look.nightFromMinute = static_cast<uint16_t>((kNightFromFirstHour + *place) * 60);
    return WithMode(look, NightMode::ByClock);
  }
  if (const auto place = PlaceIn(I::NightTo, id)) {
    look.nightToMinute = static_cast<uint16_t>((kNightToFirstHour + *place) * 60);
    return WithMode(look, NightMode::ByClock);
  }
  if (const auto place = PlaceIn(I::Brightness, id)) {
    look.brightness =
        static_cast<uint8_t>(kBrightnessFirstPercent + *place * kBrightnessStepPercent);
    return look;
  }
  return std::nullopt;
}

bool Marked(I item, const MenuItemTemplate& entry, const DashLook& look) {
  switch (item) {
    case I::Day:
      return look.mode == NightMode::Day;
    case I::Night:
      return look.mode == NightMode::Night;
    case I::NightByClock:
      return look.mode == NightMode::ByClock;
    case I::NightFrom:
      return look.nightFromMinute == (kNightFromFirstHour + entry.item) * 60;
    case I::NightTo:
      return look.nightToMinute == (kNightToFirstHour + entry.item) * 60;
    case I::Brightness:
      return look.brightness == kBrightnessFirstPercent + entry.item * kBrightnessStepPercent;
    case I::LongSpan:
      return look.spanMinutes == 30;
    default:
      return false;
  }
}

ShownMenuEntry Shown(const MenuItemTemplate& entry, bool marked) {
  return {entry.kind, entry.id, std::string(entry.text), std::string(entry.key), marked, {}};
}

}  // namespace

DashChoice Command(DashCommand command, const DashLook& look, bool nightNow) {
  switch (command) {
    case DashCommand::Close:
      return {true, look};
    case DashCommand::Night:
      return {false, WithMode(look, nightNow ? NightMode::Day : NightMode::Night)};
    case DashCommand::Span:
      return {false, ToggleSpan(look)};
    case DashCommand::Brighter:
      return {false, StepBrightness(look, +1)};
    case DashCommand::Dimmer:
      return {false, StepBrightness(look, -1)};
  }
  return {false, look};
}

DashChoice ChooseFromMenu(int id, const DashLook& look) {
  const auto is = [id](I item) { return DashMenuEntry(item).id == id; };
  if (is(I::Close)) return {true, look};
  if (is(I::Day)) return {false, WithMode(look, NightMode::Day)};
  if (is(I::Night)) return {false, WithMode(look, NightMode::Night)};
  if (is(I::NightByClock)) return {false, WithMode(look, NightMode::ByClock)};
  if (is(I::LongSpan)) return {false, ToggleSpan(look)};
  return {false, ChooseInSubmenu(id, look).value_or(look)};
}

std::vector<ShownMenuEntry> ShowDashMenu(const DashLook& look) {
  std::vector<ShownMenuEntry> menu;
  for (const MenuItemTemplate& entry : DashContextMenu()) {
    const auto item = static_cast<I>(entry.item);
    ShownMenuEntry shown =
        Shown(entry, entry.kind != MenuItemKind::Submenu && Marked(item, entry, look));
    for (const MenuItemTemplate& inner : entry.submenu)
      shown.submenu.push_back(Shown(inner, Marked(item, inner, look)));
    if (item == I::NightByClock) {
      shown.text += ", " + MinuteText(look.nightFromMinute) + "–" + MinuteText(look.nightToMinute);
    }
    menu.push_back(std::move(shown));
  }
  return menu;
}

std::string MinuteText(int minuteOfDay) {
  const int minutes = minuteOfDay % 60;
  return std::to_string(minuteOfDay / 60) + (minutes < 10 ? ":0" : ":") + std::to_string(minutes);
}

}  // namespace drunvale
