// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/dash_menu.h"

namespace drunvale {
namespace {

using I = DashMenuItem;
using K = MenuItemKind;

constexpr int Of(I item) {
  return static_cast<int>(item);
}

constexpr MenuItemTemplate kNightFrom[] = {
    {0, 0x0620, K::Radio, "17:00"}, {1, 0x0621, K::Radio, "18:00"}, {2, 0x0622, K::Radio, "19:00"},
    {3, 0x0623, K::Radio, "20:00"}, {4, 0x0624, K::Radio, "21:00"}, {5, 0x0625, K::Radio, "22:00"},
    {6, 0x0626, K::Radio, "23:00"},
};
constexpr MenuItemTemplate kNightTo[] = {
    {0, 0x0630, K::Radio, "4:00"}, {1, 0x0631, K::Radio, "5:00"}, {2, 0x0632, K::Radio, "6:00"},
    {3, 0x0633, K::Radio, "7:00"}, {4, 0x0634, K::Radio, "8:00"}, {5, 0x0635, K::Radio, "9:00"},
};
constexpr MenuItemTemplate kBrightness[] = {
    {0, 0x0640, K::Radio, "10 %"},  {1, 0x0641, K::Radio, "20 %"}, {2, 0x0642, K::Radio, "30 %"},
    {3, 0x0643, K::Radio, "40 %"},  {4, 0x0644, K::Radio, "50 %"}, {5, 0x0645, K::Radio, "60 %"},
    {6, 0x0646, K::Radio, "70 %"},  {7, 0x0647, K::Radio, "80 %"}, {8, 0x0648, K::Radio, "90 %"},
    {9, 0x0649, K::Radio, "100 %"},
};

// The hours of the night by the clock are added to its text as the menu opens.
constexpr MenuItemTemplate kItems[] = {
    {Of(I::Day), 0x0600, K::Radio, "День"},
    {Of(I::Night), 0x0601, K::Radio, "Ночь", "N"},
    {Of(I::NightByClock), 0x0602, K::Radio, "Ночь по часам"},
    {Of(I::NightFrom), kNoControlId, K::Submenu, "Ночь начинается в", {}, kNightFrom},
    {Of(I::NightTo), kNoControlId, K::Submenu, "Ночь кончается в", {}, kNightTo},
    {Of(I::Brightness), kNoControlId, K::Submenu, "Яркость ночью", {}, kBrightness},
    {Of(I::SpanSeparator), kNoControlId, K::Separator, {}},
    {Of(I::LongSpan), 0x0610, K::Check, "График за 30 минут", "T"},
    {Of(I::CloseSeparator), kNoControlId, K::Separator, {}},
    {Of(I::Close), 0x0611, K::Command, "Закрыть", "F11"},
};
static_assert(EnumeratedInOrder(kItems));
static_assert(EnumeratedInOrder(kNightFrom) && EnumeratedInOrder(kNightTo) &&
              EnumeratedInOrder(kBrightness));

}  // namespace

std::span<const MenuItemTemplate> DashContextMenu() {
  return kItems;
}

const MenuItemTemplate& DashMenuEntry(DashMenuItem item) {
  return kItems[static_cast<int>(item)];
}

}  // namespace drunvale
