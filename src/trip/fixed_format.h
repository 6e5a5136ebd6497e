// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace drunvale {

// Appends value as printf's "%0.<precision>f" would in the "C" locale, whatever locale the
// process runs in (the GUI may set one with a decimal comma).
void AppendFixed(std::string& out, double value, int precision);

}  // namespace drunvale
