// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace drunvale {

// strtod as in the "C" locale, whatever locale the process runs in (Qt sets the user's, where
// the decimal point may be a comma).
double StrtodInCLocale(const char* text);

}  // namespace drunvale
