// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <string_view>

namespace drunvale {

// While this object lives, the terminal the program runs in shows UTF-8 text written to it as
// bytes: a Windows console is switched to the UTF-8 code page and gets its own back afterwards.
// Linux terminals take UTF-8 as they are.
class Utf8Console {
 public:
  Utf8Console();
  ~Utf8Console();
  Utf8Console(const Utf8Console&) = delete;
  Utf8Console& operator=(const Utf8Console&) = delete;

 private:
  unsigned previousCodePage_ = 0;
};

// Writes UTF-8 text to `out` and flushes it at once, also into a pipe or a file. A Windows
// console gets it through the wide console API, whatever its code page; everything else gets
// the bytes.
void WriteText(std::FILE* out, std::string_view text);

}  // namespace drunvale
