// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

namespace drunvale::win32 {

// "О Drunvale", modal over owner, built from the model; returns when it is closed.
void RunAboutBox(HWND owner);

}  // namespace drunvale::win32
