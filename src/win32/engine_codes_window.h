// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include "app/engine_codes_dialog.h"

namespace drunvale::win32 {

// "Ошибки двигателя" over owner: the codes the running session reads, with a clear that asks
// first.
void RunEngineCodesWindow(HWND owner, EngineCodesSource source);

}  // namespace drunvale::win32
