// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace drunvale {

// Names the calling thread for the system's tools (top -H, debuggers, /proc); at most 15
// characters are kept. Failure is harmless and not reported.
void NameCurrentThread(const char* name);

}  // namespace drunvale
