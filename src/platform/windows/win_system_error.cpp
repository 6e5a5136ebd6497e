// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include "platform/system_error.h"
#include "platform/windows/wide_text.h"

namespace drunvale {

std::string SystemErrorText(int systemError) {
  const auto code = static_cast<DWORD>(systemError);
  wchar_t* message = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  std::wstring_view text(message ? message : L"", length);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
    text.remove_suffix(1);
  std::string out = text.empty() ? "error" : Utf8FromWide(text);
  out += " (" + std::to_string(code) + ")";
  if (message) LocalFree(message);
  return out;
}

}  // namespace drunvale
