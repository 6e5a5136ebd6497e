#pragma once

#include <functional>
#include <mutex>
#include <vector>

namespace drunvale {

// A small event loop for the console view: posted tasks from any thread, a periodic timer,
// keys from an interactive terminal, and SIGINT/SIGTERM, all on one thread with poll().
class ConsoleLoop {
 public:
  ConsoleLoop();
  ~ConsoleLoop();
  ConsoleLoop(const ConsoleLoop&) = delete;
  ConsoleLoop& operator=(const ConsoleLoop&) = delete;

  // Thread-safe and never blocks.
  void Post(std::function<void()> task);
  void StartTimer(int periodMs, std::function<void()> onTick);
  void StopTimer();
  void OnKey(std::function<void(char)> onKey) { onKey_ = std::move(onKey); }
  void OnTerminate(std::function<void()> onTerminate) { onTerminate_ = std::move(onTerminate); }
  // Runs until Quit. Reads keys only when standard input is a terminal.
  void Run();
  void Quit() { quit_ = true; }

 private:
  void RunPosted();

  int wakeFd_ = -1;
  std::mutex mutex_;
  std::vector<std::function<void()>> posted_;
  int timerPeriodMs_ = 0;
  long long nextTickMs_ = 0;
  std::function<void()> onTick_;
  std::function<void(char)> onKey_;
  std::function<void()> onTerminate_;
  bool quit_ = false;
};

}  // namespace drunvale
