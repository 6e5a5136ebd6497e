// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/console_text.h"

namespace drunvale {

Utf8Console::Utf8Console() = default;
Utf8Console::~Utf8Console() = default;

void WriteText(std::FILE* out, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), out);
  std::fflush(out);
}

}  // namespace drunvale
