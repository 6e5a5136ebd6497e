// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/main_menu.h"

namespace drunvale {
namespace {

constexpr MenuItem kItems[] = {
    {kJournalCommand, "Журнал поездок…"},
    {kFillUpCommand, "Заправка…"},
    {kDashCommand, "Приборная панель"},
};

static_assert(kJournalCommand < 0xF000 && (kJournalCommand & 0xF) == 0);
static_assert(kFillUpCommand < 0xF000 && (kFillUpCommand & 0xF) == 0);
static_assert(kDashCommand < 0xF000 && (kDashCommand & 0xF) == 0);

}  // namespace

std::span<const MenuItem> MainWindowMenu() {
  return kItems;
}

}  // namespace drunvale
