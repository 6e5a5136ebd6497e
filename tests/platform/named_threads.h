// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace drunvale::testing {

// How many threads of this process bear `name` (as NameCurrentThread gave it): from /proc on
// Linux, from the threads' descriptions on Windows.
int ThreadsNamed(const char* name);

}  // namespace drunvale::testing
