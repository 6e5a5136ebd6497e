// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/command_line.h"

namespace drunvale {

// Opens the main window and runs it; returns the process's exit code. Each platform's view
// brings its own (src/ui: Qt, src/win32: native Windows dialogs); a build without one links no_window.cpp, which says so.
int RunMainWindow(int argc, char** argv, const CommandLine& options);

}  // namespace drunvale
