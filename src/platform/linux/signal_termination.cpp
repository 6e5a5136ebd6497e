// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <thread>

#include "platform/termination.h"
#include "platform/thread_name.h"

namespace drunvale {
namespace {

constexpr char kRequest = 'r';
constexpr char kQuit = 'q';

// A signal handler may only write to a descriptor: the watch's pipe.
std::atomic<int> requestFd{-1};

void OnSignal(int) {
  const int saved = errno;
  const int fd = requestFd.load();
  if (fd >= 0) {
    const ssize_t ignored = write(fd, &kRequest, 1);
    (void)ignored;
  }
  errno = saved;
}

// SIGINT, SIGTERM and SIGHUP (a closed terminal, a dropped ssh session) write to a pipe; a
// thread of the watch's own reads it and hands each request on, outside the signal handler.
// SIGPIPE is ignored meanwhile, so that output into a closed pipe fails instead of killing the
// program before it has closed the trip.
class SignalWatch final : public TerminationWatch {
 public:
  explicit SignalWatch(std::function<void()> onRequest) : onRequest_(std::move(onRequest)) {
    if (pipe2(pipe_, O_CLOEXEC) != 0) return;
    // The handler must never block, even on a pipe full of requests nobody has read.
    fcntl(pipe_[1], F_SETFL, O_NONBLOCK);
    requestFd = pipe_[1];
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, &oldInt_);
    sigaction(SIGTERM, &action, &oldTerm_);
    sigaction(SIGHUP, &action, &oldHup_);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, &oldPipe_);
    thread_ = std::thread([this] { Serve(); });
  }
  ~SignalWatch() override {
    if (!thread_.joinable()) return;
    sigaction(SIGINT, &oldInt_, nullptr);
    sigaction(SIGTERM, &oldTerm_, nullptr);
    sigaction(SIGHUP, &oldHup_, nullptr);
    sigaction(SIGPIPE, &oldPipe_, nullptr);
    requestFd = -1;
    const ssize_t ignored = write(pipe_[1], &kQuit, 1);
    (void)ignored;
    thread_.join();
    close(pipe_[0]);
    close(pipe_[1]);
  }
  SignalWatch(const SignalWatch&) = delete;
  SignalWatch& operator=(const SignalWatch&) = delete;

  // Nothing waits: a signal's sender gives the process its own time.
  void Closed() override {}

 private:
  void Serve() {
    NameCurrentThread("drunvale-signal");
    for (;;) {
      char what;
      const ssize_t got = read(pipe_[0], &what, 1);
      if (got < 0 && errno == EINTR) continue;
      if (got != 1 || what == kQuit) return;
      onRequest_();
    }
  }

  std::function<void()> onRequest_;
  int pipe_[2] = {-1, -1};
  struct sigaction oldInt_ {};
  struct sigaction oldTerm_ {};
  struct sigaction oldHup_ {};
  struct sigaction oldPipe_ {};
  std::thread thread_;
};

}  // namespace

std::unique_ptr<TerminationWatch> WatchTermination(std::function<void()> onRequest) {
  return std::make_unique<SignalWatch>(std::move(onRequest));
}

std::unique_ptr<TerminationWatch> WatchTerminationWithoutWindows(std::function<void()> onRequest) {
  return WatchTermination(std::move(onRequest));
}

}  // namespace drunvale
