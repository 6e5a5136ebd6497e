// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <mutex>

#include "platform/termination.h"

namespace drunvale {
namespace {

// Closing the console window, logging off or shutting down ends the process as soon as the
// handler returns, and at the latest after about 5 s: the handler waits for the program's clean
// end until a little before that.
constexpr DWORD kCloseGraceMs = 4500;

std::mutex watchMutex;
std::function<void()>* liveRequest = nullptr;  // under watchMutex: the live watch's handler

// Set while no watch lives, so that a handler still waiting after the program's end returns.
HANDLE WatchGone() {
  static const HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  return event;
}

// Windows runs this on a thread it makes for each event.
BOOL WINAPI OnConsoleControl(DWORD event) {
  {
    std::lock_guard lock(watchMutex);
    if (!liveRequest) return FALSE;  // the system's own handling
    (*liveRequest)();
  }
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
    WaitForSingleObject(WatchGone(), kCloseGraceMs);
  return TRUE;
}

// Ctrl+C and Ctrl+Break in the console, the console closed, the user logging off, the system
// shutting down: each is handed on as a request to end.
class ConsoleControlWatch final : public TerminationWatch {
 public:
  explicit ConsoleControlWatch(std::function<void()> onRequest) : onRequest_(std::move(onRequest)) {
    ResetEvent(WatchGone());
    {
      std::lock_guard lock(watchMutex);
      liveRequest = &onRequest_;
    }
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
  }
  ~ConsoleControlWatch() override {
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    {
      std::lock_guard lock(watchMutex);
      liveRequest = nullptr;
    }
    SetEvent(WatchGone());
  }
  ConsoleControlWatch(const ConsoleControlWatch&) = delete;
  ConsoleControlWatch& operator=(const ConsoleControlWatch&) = delete;

 private:
  std::function<void()> onRequest_;
};

}  // namespace

std::unique_ptr<TerminationWatch> WatchTermination(std::function<void()> onRequest) {
  return std::make_unique<ConsoleControlWatch>(std::move(onRequest));
}

}  // namespace drunvale
