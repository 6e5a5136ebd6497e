#pragma once

#include "app/command_line.h"

namespace drunvale {

// Opens the main window and runs it; returns the process's exit code. Built from src/ui, or
// from a stand-in that says the program was built without windows.
int RunMainWindow(int argc, char** argv, const CommandLine& options);

}  // namespace drunvale
