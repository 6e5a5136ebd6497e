// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include "platform/windows/wide_text.h"

// Driving drunvale.exe's windows from another Windows program: starting it, finding its
// dialogs by title, pressing their buttons.
namespace drunvale::driving {

using namespace std::chrono_literals;

inline bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  for (const auto deadline = std::chrono::steady_clock::now() + limit;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(100ms);
  }
}

inline std::string TextOf(HWND window) {
  wchar_t text[1024] = {};
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_BLOCK, 5000,
                      nullptr);
  return Utf8FromWide(text);
}

// Only once it shows: its controls are made and filled by then.
inline HWND FindDialog(std::string_view title) {
  HWND window = FindWindowW(L"#32770", WideFromUtf8(title).c_str());
  return window && IsWindowVisible(window) ? window : nullptr;
}

// A press of a button as the dialog sees it: the command from the control.
inline void Click(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

class Program {
 public:
  Program(const std::wstring& program, const std::wstring& arguments) {
    std::wstring command = L"\"" + program + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    started_ = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process_);
  }
  ~Program() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.hProcess, 99);
      WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  bool Started() const { return started_; }
  DWORD ProcessId() const { return process_.dwProcessId; }
  // The exit code, or -1 when the program has not ended within the limit.
  int ExitCode(std::chrono::milliseconds limit) const {
    if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0)
      return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<int>(code);
  }

 private:
  PROCESS_INFORMATION process_{};
  bool started_ = false;
};

// The program's path as Windows sees it: a Linux path goes through drive Z:.
inline std::wstring WindowsPath(std::string path) {
  if (path.starts_with("/")) {
    for (char& c : path)
      if (c == '/') c = '\\';
    path = "Z:" + path;
  }
  return WideFromUtf8(path);
}

}  // namespace drunvale::driving
