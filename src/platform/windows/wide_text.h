// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace drunvale {

// The program keeps text in UTF-8; the W forms of the Windows API take UTF-16. These convert at
// that edge. Bytes that are not UTF-8 (or unpaired surrogates) become U+FFFD; NULs inside the
// text are kept.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

}  // namespace drunvale
