// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <mutex>

#include "platform/termination.h"
#include "platform/windows/session_end_window.h"

namespace drunvale {
namespace {

// Closing the console window, logging off or shutting down ends the process as soon as the
// handler returns, and at the latest after about 5 s: the handler waits for the program's clean
// end until a little before that.
constexpr DWORD kCloseGraceMs = 4500;
// Windows ends a program that has not answered WM_ENDSESSION within about 5 s.
constexpr DWORD kSessionEndGraceMs = 4000;

std::mutex watchMutex;
std::function<void()>* liveRequest = nullptr;  // under watchMutex: the live watch's handler

// Set once the program has closed what it keeps, and while no watch lives, so that a handler
// still waiting then returns.
HANDLE Released() {
  static const HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  return event;
}

// False when no watch lives.
bool HandOn() {
  std::lock_guard lock(watchMutex);
  if (!liveRequest) return false;
  (*liveRequest)();
  return true;
}

// Windows runs this on a thread it makes for each event.
BOOL WINAPI OnConsoleControl(DWORD event) {
  if (!HandOn()) return FALSE;  // the system's own handling
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
    WaitForSingleObject(Released(), kCloseGraceMs);
  return TRUE;
}

// Ctrl+C and Ctrl+Break in the console, the console closed, the user logging off, the system
// shutting down: each is handed on as a request to end. With a session-end window, the end of
// the session is too, as the console's own log-off event would be.
class ConsoleControlWatch final : public TerminationWatch {
 public:
  ConsoleControlWatch(std::function<void()> onRequest, bool sessionEndWindow)
      : onRequest_(std::move(onRequest)) {
    ResetEvent(Released());
    {
      std::lock_guard lock(watchMutex);
      liveRequest = &onRequest_;
    }
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    if (sessionEndWindow) {
      window_ = std::make_unique<SessionEndWindow>([] {
        if (HandOn()) WaitForSingleObject(Released(), kSessionEndGraceMs);
      });
    }
  }
  ~ConsoleControlWatch() override {
    SetEvent(Released());
    window_.reset();
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    std::lock_guard lock(watchMutex);
    liveRequest = nullptr;
  }
  ConsoleControlWatch(const ConsoleControlWatch&) = delete;
  ConsoleControlWatch& operator=(const ConsoleControlWatch&) = delete;

  void Closed() override { SetEvent(Released()); }

 private:
  std::function<void()> onRequest_;
  std::unique_ptr<SessionEndWindow> window_;
};

}  // namespace

std::unique_ptr<TerminationWatch> WatchTermination(std::function<void()> onRequest) {
  return std::make_unique<ConsoleControlWatch>(std::move(onRequest), false);
}

std::unique_ptr<TerminationWatch> WatchTerminationWithoutWindows(std::function<void()> onRequest) {
  return std::make_unique<ConsoleControlWatch>(std::move(onRequest), true);
}

}  // namespace drunvale
