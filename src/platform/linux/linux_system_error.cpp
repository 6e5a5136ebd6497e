// SPDX-License-Identifier: GPL-3.0-or-later
#include <string.h>

#include "platform/system_error.h"

namespace drunvale {

std::string SystemErrorText(int systemError) {
  char buffer[256];
  // The GNU strerror_r: the text may be a static string rather than the buffer.
  const char* text = strerror_r(systemError, buffer, sizeof buffer);
  return std::string(text) + " (" + std::to_string(systemError) + ")";
}

}  // namespace drunvale
