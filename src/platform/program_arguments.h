// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace drunvale {

// The program's command line in UTF-8, the program's name first. Linux hands main its
// arguments as they are; on Windows main's are in the ANSI code page, so they are read again
// from the wide command line.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace drunvale
