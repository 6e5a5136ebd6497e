// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/window_text.h"

#include <algorithm>

#include "platform/windows/wide_text.h"

namespace drunvale::win32 {

std::string TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return Utf8FromWide(text);
}

void SetText(HWND window, std::string_view text) {
  SetWindowTextW(window, WideFromUtf8(text).c_str());
}

std::wstring WithCrLf(std::string_view text) {
  std::wstring lines;
  for (wchar_t c : WideFromUtf8(text)) {
    if (c == L'\n') lines += L'\r';
    lines += c;
  }
  return lines;
}

void CentreOverOwner(HWND dialog, HWND owner) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  HWND anchor = owner && IsWindowVisible(owner) && !IsIconic(owner) ? owner : nullptr;
  GetMonitorInfoW(MonitorFromWindow(anchor ? anchor : dialog, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT work = monitor.rcWork;
  RECT centreOn = work;
  if (anchor) GetWindowRect(anchor, &centreOn);
  RECT window{};
  GetWindowRect(dialog, &window);
  const LONG width = window.right - window.left;
  const LONG height = window.bottom - window.top;
  LONG left = (centreOn.left + centreOn.right - width) / 2;
  LONG top = (centreOn.top + centreOn.bottom - height) / 2;
  // The top-left corner wins when the dialog is larger than the work area.
  left = std::max(std::min(left, work.right - width), work.left);
  top = std::max(std::min(top, work.bottom - height), work.top);
  SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int DpiOf(HWND window) {
  // GetDpiForWindow comes with Windows 10 1607; older systems have one DPI for all.
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpi = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (getDpi) return static_cast<int>(getDpi(window));
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

}  // namespace drunvale::win32
