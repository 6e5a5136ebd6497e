// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/link_summary.h"

#include <algorithm>

namespace drunvale {

std::string FormatLinkSummary(std::string_view portName, int32_t baudRate, int32_t errorCount) {
  std::string text(portName);
  text += " : ";
  text += std::to_string(baudRate);
  text += " : Ошибок: ";
  text += std::to_string(std::max(errorCount, int32_t{0}));
  return text;
}

}  // namespace drunvale
