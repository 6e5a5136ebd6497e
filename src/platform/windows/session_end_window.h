// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <functional>
#include <thread>

namespace drunvale {

// A hidden top-level window with a thread and a message loop of its own, for a process that
// has no window otherwise. A process that loads user32 hears of the end of the session only as
// WM_QUERYENDSESSION and WM_ENDSESSION to its top-level windows: no CTRL_LOGOFF_EVENT or
// CTRL_SHUTDOWN_EVENT comes, and a message-only window (HWND_MESSAGE) gets neither message.
class SessionEndWindow {
 public:
  static constexpr const wchar_t* kClassName = L"DrunvaleSessionEnd";

  // onEnd runs on the window's thread when the session ends; the system may end the process as
  // soon as it returns, so it returns only when what must be kept is written. The window agrees
  // to every end.
  explicit SessionEndWindow(std::function<void()> onEnd);
  ~SessionEndWindow();
  SessionEndWindow(const SessionEndWindow&) = delete;
  SessionEndWindow& operator=(const SessionEndWindow&) = delete;

  // nullptr when the system would not make the window.
  HWND Handle() const { return window_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Serve(HANDLE made);

  std::function<void()> onEnd_;
  HWND window_ = nullptr;
  std::thread thread_;
};

}  // namespace drunvale
