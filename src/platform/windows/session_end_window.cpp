// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/session_end_window.h"

#include "platform/thread_name.h"

namespace drunvale {

SessionEndWindow::SessionEndWindow(std::function<void()> onEnd) : onEnd_(std::move(onEnd)) {
  // Made on its thread, which owns it; waited for, so that it is there once this returns.
  HANDLE made = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!made) return;
  thread_ = std::thread([this, made] { Serve(made); });
  WaitForSingleObject(made, INFINITE);
  CloseHandle(made);
}

SessionEndWindow::~SessionEndWindow() {
  if (!thread_.joinable()) return;
  if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
  thread_.join();
}

void SessionEndWindow::Serve(HANDLE made) {
  NameCurrentThread("drunvale-session");
  HINSTANCE module = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &SessionEndWindow::Procedure;
  windowClass.hInstance = module;
  windowClass.lpszClassName = kClassName;
  // A later watch in the same process finds the class there already.
  RegisterClassExW(&windowClass);
  // Never shown; its title names the program in the system's list of what holds the end.
  HWND window = CreateWindowExW(0, kClassName, L"Drunvale", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                module, this);
  window_ = window;
  SetEvent(made);
  if (!window) return;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

LRESULT CALLBACK SessionEndWindow::Procedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<SessionEndWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // FALSE: another program refused, and the session goes on.
      if (wParam && self && self->onEnd_) self->onEnd_();
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace drunvale
