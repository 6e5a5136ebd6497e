// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/user_store.h"

namespace drunvale {

// The text form of a key in the style of a registry export (.reg) file, UTF-8 without a BOM:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Tembrook\Drunvale\1.0]
//   "Port"="/dev/ttyUSB0"
//   "Parameters"=hex:a0,28,01,01,00,00,f0,41,05,1e,14,00,...
//
// A REG_SZ value whose bytes are text ending in its one NUL is written as "Name"="text" with
// \ and " escaped, and reads back as the text plus the NUL. Every other value is written as
// hex: (REG_BINARY), dword: (REG_DWORD of four bytes) or hex(N): with its raw bytes. Unlike
// regedit, hex(2) therefore holds the value's own bytes (UTF-8 here), not UTF-16LE: what is set
// is exactly what is read back. Hex lines are wrapped at 80 columns with a trailing \ as
// regedit does; the reader accepts wrapped and unwrapped lines, a BOM, CRLF line ends,
// ; comments, @ for the unnamed value and "Name"=- (the value removed).
inline constexpr std::string_view kRegFileSignature = "Windows Registry Editor Version 5.00";

// The values of the section headed [keyHeader] (matched without regard to ASCII case). A line
// that cannot be read is skipped, so its value counts as missing; a later line for the same
// name replaces an earlier one. A file without the signature line holds nothing. A last line
// without its line end, or a wrapped value whose continuation is missing, counts as cut off,
// so a truncated file never yields a shortened value.
std::vector<StoreValue> ParseRegFile(std::string_view text, std::string_view keyHeader);

// The whole file for one key. Values with names the store would refuse are left out.
std::string FormatRegFile(std::string_view keyHeader, const std::vector<StoreValue>& values);

}  // namespace drunvale
