// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/console_keys.h"
#include "platform/termination.h"

namespace drunvale {

// A small event loop for the console view, all on the thread that runs it: tasks posted from any
// thread, a periodic timer, the keys of the terminal and requests to end (Ctrl+C, SIGTERM).
// Keys and requests arrive from threads of their own as posted tasks; the loop sleeps until the
// next of these or the next tick.
class ConsoleLoop {
 public:
  explicit ConsoleLoop(ConsoleKeysOpener openKeys = OpenConsoleKeys,
                       TerminationWatcher watchTermination = WatchTerminationWithoutWindows);
  ConsoleLoop(const ConsoleLoop&) = delete;
  ConsoleLoop& operator=(const ConsoleLoop&) = delete;

  // Thread-safe and never blocks.
  void Post(std::function<void()> task);
  void StartTimer(int periodMs, std::function<void()> onTick);
  void StopTimer();
  void OnKey(std::function<void(char)> onKey) { onKey_ = std::move(onKey); }
  // Called once, however often the user or the system asks.
  void OnTerminate(std::function<void()> onTerminate) { onTerminate_ = std::move(onTerminate); }
  // From the loop's thread while it runs: what must outlast the program is written, so a system
  // holding the end of the session for it may go on.
  void Closed();
  // Runs until Quit; takes the terminal's keys and the requests to end meanwhile, and runs
  // what was posted before it returns.
  void Run();
  void Quit() { quit_ = true; }

 private:
  using Clock = std::chrono::steady_clock;

  void RunPosted();
  void Terminate();

  ConsoleKeysOpener openKeys_;
  TerminationWatcher watchTermination_;
  std::unique_ptr<TerminationWatch> watch_;  // while Run runs
  std::mutex mutex_;
  std::condition_variable postedChanged_;
  std::vector<std::function<void()>> posted_;
  std::chrono::milliseconds timerPeriod_{0};
  Clock::time_point nextTick_;
  std::function<void()> onTick_;
  std::function<void(char)> onKey_;
  std::function<void()> onTerminate_;
  std::atomic<bool> terminating_{false};
  bool quit_ = false;
};

}  // namespace drunvale
