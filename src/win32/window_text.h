// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace drunvale::win32 {

// A window's text in UTF-8, and back.
std::string TextOf(HWND window);
void SetText(HWND window, std::string_view text);
// Multi-line edits break lines with CR LF; the program's texts with LF alone.
std::wstring WithCrLf(std::string_view text);

// Centres a dialog over its owner when that is visible and not minimised, otherwise on the
// work area, and keeps it inside the work area, without resizing or activating it.
void CentreOverOwner(HWND dialog, HWND owner);

// The dialog's dots per inch (96 before per-monitor awareness).
int DpiOf(HWND window);

}  // namespace drunvale::win32
