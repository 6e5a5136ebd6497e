// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>

#include "dialogs/dialog_template.h"

namespace drunvale {

// The main window's own menu, beyond its buttons: the context menu a right click on the window
// opens, and on Windows the same items at the end of its system menu, after a separator.
// Their command numbers serve both: below 0xF000 and with the low four bits clear, as the
// system menu's WM_SYSCOMMAND wants them (the system uses those bits; compare
// wParam & 0xFFF0), and apart from every control's identifier for WM_COMMAND.
inline constexpr int kJournalCommand = 0x0500;
inline constexpr int kFillUpCommand = 0x0510;
// The full-screen dash; F11 opens it too.
inline constexpr int kDashCommand = 0x0520;

std::span<const MenuItem> MainWindowMenu();

}  // namespace drunvale
