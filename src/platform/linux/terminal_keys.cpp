// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/terminal_keys.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace drunvale {
namespace {

class TerminalKeys final : public ConsoleKeys {
 public:
  explicit TerminalKeys(int fd) : fd_(fd) {
    // Cancel writes here, so a wait in poll ends at once.
    if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) wake_[0] = wake_[1] = -1;
    if (!isatty(fd_) || tcgetattr(fd_, &saved_) != 0) return;
    termios raw = saved_;
    raw.c_lflag &= ~(ICANON | ECHO);
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    raw_ = tcsetattr(fd_, TCSANOW, &raw) == 0;
  }
  ~TerminalKeys() override {
    if (raw_) tcsetattr(fd_, TCSANOW, &saved_);
    for (int end : wake_) {
      if (end >= 0) close(end);
    }
  }
  TerminalKeys(const TerminalKeys&) = delete;
  TerminalKeys& operator=(const TerminalKeys&) = delete;

  std::optional<char> WaitForKey() override {
    // Without the pipe nothing could end a wait: no keys then.
    if (wake_[0] < 0) return std::nullopt;
    while (!cancelled_) {
      pollfd fds[2] = {{wake_[0], POLLIN, 0}, {fd_, POLLIN, 0}};
      // Without a raw terminal, or after its input ended, only Cancel ends the wait.
      const nfds_t count = raw_ && !inputEnded_ ? 2 : 1;
      if (poll(fds, count, -1) < 0) {
        if (errno == EINTR) continue;
        return std::nullopt;
      }
      if (fds[0].revents != 0) return std::nullopt;
      if (count < 2 || fds[1].revents == 0) continue;
      char key;
      const ssize_t got = read(fd_, &key, 1);
      if (got == 1) return key;
      // The terminal hung up, or its input ended: nothing more will come.
      if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) inputEnded_ = true;
    }
    return std::nullopt;
  }

  void Cancel() override {
    cancelled_ = true;
    const char one = 1;
    const ssize_t ignored = write(wake_[1], &one, 1);
    (void)ignored;
  }

 private:
  const int fd_;
  int wake_[2] = {-1, -1};
  termios saved_{};
  bool raw_ = false;
  bool inputEnded_ = false;  // the waiting thread's own
  std::atomic<bool> cancelled_{false};
};

}  // namespace

std::unique_ptr<ConsoleKeys> OpenTerminalKeys(int fd) {
  return std::make_unique<TerminalKeys>(fd);
}

std::unique_ptr<ConsoleKeys> OpenConsoleKeys() {
  return OpenTerminalKeys(STDIN_FILENO);
}

}  // namespace drunvale
