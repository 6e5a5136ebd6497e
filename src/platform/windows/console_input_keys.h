// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <memory>

#include "platform/console_keys.h"

namespace drunvale {

// The keys of the console whose input buffer `input` is: without line input and echo while the
// object lives, the console's own mode put back when it goes. Keys come only when `input` is a
// console; a pipe, a file or NUL gives none.
std::unique_ptr<ConsoleKeys> OpenConsoleInputKeys(HANDLE input);

}  // namespace drunvale
