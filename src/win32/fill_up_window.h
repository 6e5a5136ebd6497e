// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "journal/fill_up.h"

namespace drunvale::win32 {

// "Заправка" over owner: the tank counter, the factor in force, and what stores the proposal
// after "Записать" (it returns what could not be stored, "" when all was). True when recorded.
using FillRecorder = std::function<std::string(const FillProposal& fill)>;
bool RunFillUpDialog(HWND owner, const TankState& tank, uint32_t factor, FillRecorder record);

}  // namespace drunvale::win32
