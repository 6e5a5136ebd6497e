// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace drunvale {

// The system's own words for one of its error codes (errno on Linux, GetLastError on Windows),
// with the code: "Input/output error (5)". For the rare failure there is no wording of ours for.
std::string SystemErrorText(int systemError);

}  // namespace drunvale
