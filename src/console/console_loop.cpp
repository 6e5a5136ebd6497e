#include "console/console_loop.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>

namespace drunvale {
namespace {

// The signal handler may only write to a descriptor; it is the loop's eventfd.
std::atomic<int> signalWakeFd{-1};
volatile sig_atomic_t terminateRequested = 0;

void HandleTerminate(int) {
  terminateRequested = 1;
  int fd = signalWakeFd.load();
  if (fd >= 0) {
    uint64_t one = 1;
    ssize_t ignored = write(fd, &one, sizeof one);
    (void)ignored;
  }
}

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// Single keys without Enter and without echo, restored on every way out.
class RawTerminal {
 public:
  RawTerminal() {
    if (!isatty(STDIN_FILENO) || tcgetattr(STDIN_FILENO, &saved_) != 0) return;
    termios raw = saved_;
    raw.c_lflag &= ~(ICANON | ECHO);
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    active_ = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
  }
  ~RawTerminal() {
    if (active_) tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
  }
  bool active() const { return active_; }

 private:
  termios saved_{};
  bool active_ = false;
};

}  // namespace

ConsoleLoop::ConsoleLoop() : wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

ConsoleLoop::~ConsoleLoop() {
  if (wakeFd_ >= 0) close(wakeFd_);
}

void ConsoleLoop::Post(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(task));
  }
  uint64_t one = 1;
  ssize_t ignored = write(wakeFd_, &one, sizeof one);
  (void)ignored;
}

void ConsoleLoop::StartTimer(int periodMs, std::function<void()> onTick) {
  timerPeriodMs_ = periodMs;
  onTick_ = std::move(onTick);
  nextTickMs_ = NowMs() + periodMs;
}

void ConsoleLoop::StopTimer() {
  timerPeriodMs_ = 0;
}

void ConsoleLoop::RunPosted() {
  std::vector<std::function<void()>> tasks;
  {
    std::lock_guard lock(mutex_);
    tasks.swap(posted_);
  }
  for (auto& task : tasks)
    task();
}

void ConsoleLoop::Run() {
  signalWakeFd = wakeFd_;
  struct sigaction action {};
  action.sa_handler = HandleTerminate;
  sigemptyset(&action.sa_mask);
  struct sigaction oldInt {
  }, oldTerm{};
  sigaction(SIGINT, &action, &oldInt);
  sigaction(SIGTERM, &action, &oldTerm);

  RawTerminal terminal;
  quit_ = false;
  while (!quit_) {
    pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    nfds_t count = terminal.active() ? 2 : 1;
    int timeout = -1;
    if (timerPeriodMs_ > 0) timeout = static_cast<int>(std::max(0LL, nextTickMs_ - NowMs()));
    int ready = poll(fds, count, timeout);
    if (ready < 0 && errno != EINTR) break;

    if (fds[0].revents & POLLIN) {
      uint64_t drained;
      ssize_t ignored = read(wakeFd_, &drained, sizeof drained);
      (void)ignored;
    }
    if (terminateRequested) {
      terminateRequested = 0;
      if (onTerminate_) onTerminate_();
      if (quit_) break;
    }
    RunPosted();
    if (count > 1 && (fds[1].revents & POLLIN)) {
      char key;
      if (read(STDIN_FILENO, &key, 1) == 1 && onKey_) onKey_(key);
    }
    if (timerPeriodMs_ > 0 && NowMs() >= nextTickMs_) {
      nextTickMs_ += timerPeriodMs_;
      // After a long stall, tick once and start the period afresh instead of catching up.
      if (nextTickMs_ <= NowMs()) nextTickMs_ = NowMs() + timerPeriodMs_;
      if (onTick_) onTick_();
    }
  }
  RunPosted();
  sigaction(SIGINT, &oldInt, nullptr);
  sigaction(SIGTERM, &oldTerm, nullptr);
  signalWakeFd = -1;
}

}  // namespace drunvale
