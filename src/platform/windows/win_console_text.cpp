// SPDX-License-Identifier: GPL-3.0-or-later
#include <io.h>
#include <windows.h>
#include <algorithm>

#include "platform/console_text.h"
#include "platform/windows/wide_text.h"

namespace drunvale {

Utf8Console::Utf8Console() : previousCodePage_(GetConsoleOutputCP()) {
  // Without a console there is no code page to change (0), and none to put back.
  if (previousCodePage_ != 0 && !SetConsoleOutputCP(CP_UTF8)) previousCodePage_ = 0;
}

Utf8Console::~Utf8Console() {
  if (previousCodePage_ != 0) SetConsoleOutputCP(previousCodePage_);
}

void WriteText(std::FILE* out, std::string_view text) {
  std::fflush(out);
  const intptr_t os = _get_osfhandle(_fileno(out));
  const HANDLE handle = reinterpret_cast<HANDLE>(os);
  DWORD mode = 0;
  if (os != -1 && GetConsoleMode(handle, &mode)) {
    // Older consoles miscount UTF-8 bytes written to them; characters are safe everywhere.
    const std::wstring wide = WideFromUtf8(text);
    DWORD written = 0;
    for (size_t at = 0; at < wide.size(); at += written) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(wide.size() - at, 8192));
      if (!WriteConsoleW(handle, wide.data() + at, chunk, &written, nullptr) || written == 0)
        return;
    }
    return;
  }
  std::fwrite(text.data(), 1, text.size(), out);
  std::fflush(out);
}

}  // namespace drunvale
