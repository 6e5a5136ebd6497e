// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/single_instance.h"

#include <windows.h>

#include <thread>

#include "dialogs/main_dialog_template.h"
#include "platform/windows/wide_text.h"

namespace drunvale::win32 {

bool BringRunningCopyForward(std::chrono::milliseconds patience) {
  const std::wstring title = WideFromUtf8(MainDialogTemplate().title);
  const auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    // The dialog class, so that a folder or a document of that name is never taken for it.
    if (HWND window = FindWindowW(L"#32770", title.c_str())) {
      HWND front = GetLastActivePopup(window);
      if (!front) front = window;
      ShowWindow(front, SW_RESTORE);
      SetForegroundWindow(front);
      return true;
    }
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

}  // namespace drunvale::win32
