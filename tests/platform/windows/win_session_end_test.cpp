// SPDX-License-Identifier: GPL-3.0-or-later
// The end of the session as the console hears it on Windows: through a hidden top-level window,
// which Wine makes only with a display (cmake/wine-gui-run).
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>

#include "platform/termination.h"
#include "platform/windows/session_end_window.h"

namespace drunvale {
namespace {

using namespace std::chrono_literals;

// This process's session-end window, found as the system finds it: among the top-level windows.
HWND SessionEndWindowOfThisProcess() {
  for (HWND window = nullptr;
       (window = FindWindowExW(nullptr, window, SessionEndWindow::kClassName, nullptr));) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId()) return window;
  }
  return nullptr;
}

// As the system sends them at log-off, each from a thread of its own.
std::future<LRESULT> SendLater(HWND window, UINT message, WPARAM wParam) {
  return std::async(std::launch::async, [=] {
    return SendMessageW(window, message, wParam, static_cast<LPARAM>(ENDSESSION_LOGOFF));
  });
}

TEST(Termination, TheSessionsEndIsARequestHeldUntilTheProgramHasClosedForAFewSecondsAtMost) {
  std::atomic<int> requests{0};
  {
    auto watch = WatchTerminationWithoutWindows([&] { ++requests; });
    HWND window = SessionEndWindowOfThisProcess();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    // Windows sends the end of the session to top-level windows only, not to message-only ones.
    EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow());
    EXPECT_EQ(SendLater(window, WM_QUERYENDSESSION, 0).get(), TRUE);
    EXPECT_EQ(SendLater(window, WM_ENDSESSION, FALSE).get(), 0);  // another program refused
    EXPECT_EQ(requests, 0);

    auto ending = SendLater(window, WM_ENDSESSION, TRUE);
    EXPECT_EQ(ending.wait_for(1s), std::future_status::timeout);
    EXPECT_EQ(requests, 1);
    watch->Closed();
    EXPECT_EQ(ending.wait_for(2s), std::future_status::ready);
  }
  EXPECT_EQ(SessionEndWindowOfThisProcess(), nullptr);  // gone with the watch

  // A program that never says it closed holds the end no longer than Windows waits.
  auto watch = WatchTerminationWithoutWindows([] {});
  const auto start = std::chrono::steady_clock::now();
  SendLater(SessionEndWindowOfThisProcess(), WM_ENDSESSION, TRUE).get();
  const auto held = std::chrono::steady_clock::now() - start;
  EXPECT_GE(held, 3s);
  EXPECT_LT(held, 6s);

  // Windows of its own hear the end themselves: this watch makes none.
  watch.reset();
  watch = WatchTermination([] {});
  EXPECT_EQ(SessionEndWindowOfThisProcess(), nullptr);
}
}  // namespace
}  // namespace drunvale
