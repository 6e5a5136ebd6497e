// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <string>

namespace drunvale {

// "COM5" and "\\.\COM5" both name the port; only the second form reaches COM10 and above.
std::wstring ComDevicePath(const std::string& name);

// Opens the port for exclusive synchronous use; INVALID_HANDLE_VALUE and GetLastError on failure.
HANDLE OpenComDevice(const std::string& name);

// A serial port keeps a line state; anything else that opens (NUL, a file, a printer) does not.
bool KeepsLineState(HANDLE handle);

}  // namespace drunvale
