// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "platform/console_keys.h"

namespace drunvale {

// The keys of the terminal on fd: raw while the object lives (no line editing, no echo), the
// settings it had put back when it goes. Keys come only when fd is an interactive terminal.
std::unique_ptr<ConsoleKeys> OpenTerminalKeys(int fd);

}  // namespace drunvale
