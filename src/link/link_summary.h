// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace drunvale {

// The ECU link's one-line summary for an open port; a negative error count (the link's
// wake-up phase) shows as 0. With no port open the caller shows nothing.
std::string FormatLinkSummary(std::string_view portName, int32_t baudRate, int32_t errorCount);

}  // namespace drunvale
