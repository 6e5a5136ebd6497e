// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/command_line.h"

namespace drunvale {

// The meter in a terminal; returns the process's exit code.
int RunConsole(const CommandLine& options);

}  // namespace drunvale
