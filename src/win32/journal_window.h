// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <string>

#include "journal_dialogs/journal_window.h"

namespace drunvale::win32 {

// "Журнал поездок" over owner, until it closes.
void RunJournalWindow(HWND owner, JournalWindowSource source);

// Opens a folder or a file with the program Explorer would open it with.
bool OpenWithShell(const std::string& path);

}  // namespace drunvale::win32
