// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>

namespace drunvale::win32 {

// A second copy's part: finds the running copy's main window by its title, brings it (or the
// settings or About box open over it) to the front, restored if minimised. The first copy may
// still be opening its window: it is looked for until `patience` has passed. False when no
// window was found.
bool BringRunningCopyForward(std::chrono::milliseconds patience);

}  // namespace drunvale::win32
