// SPDX-License-Identifier: GPL-3.0-or-later
#include <errno.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>

#include "platform/deadline_ms.h"
#include "platform/linux/socket_port.h"
#include "platform/tcp_listener.h"

namespace drunvale {
namespace {

using Steady = std::chrono::steady_clock;

// A waiting Accept polls the listening socket and an eventfd that Stop counts up, so a stop
// wakes it at once whenever it comes.
class LinuxTcpListener final : public TcpListener {
 public:
  LinuxTcpListener(int fd, int wake, uint16_t port) : fd_(fd), wake_(wake), port_(port) {}
  ~LinuxTcpListener() override {
    close(fd_);
    close(wake_);
  }
  LinuxTcpListener(const LinuxTcpListener&) = delete;
  LinuxTcpListener& operator=(const LinuxTcpListener&) = delete;

  uint16_t Port() const override { return port_; }
  AcceptedClient Accept(uint32_t timeoutMs) override;
  void Stop() override {
    if (stopped_.exchange(true)) return;
    const uint64_t one = 1;
    // Fails only when the counter would overflow, and a waiter is woken by any count.
    const ssize_t ignored = write(wake_, &one, sizeof one);
    (void)ignored;
  }

 private:
  const int fd_;
  const int wake_;
  const uint16_t port_;
  std::atomic<bool> stopped_{false};
};

AcceptedClient LinuxTcpListener::Accept(uint32_t timeoutMs) {
  const auto deadline = Steady::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (stopped_) return {AcceptStatus::Stopped, nullptr};
    const int client = accept4(fd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (client >= 0) return {AcceptStatus::Accepted, MakeSocketPort(client)};
    // A client that gave up while queued is no failure of the listener.
    if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR && errno != ECONNABORTED)
      return {AcceptStatus::Failed, nullptr, errno};
    const int waitMs = MsUntil(deadline);
    if (waitMs == 0) return {AcceptStatus::TimedOut, nullptr};
    pollfd p[2] = {{fd_, POLLIN, 0}, {wake_, POLLIN, 0}};
    if (poll(p, 2, waitMs) < 0 && errno != EINTR) return {AcceptStatus::Failed, nullptr, errno};
  }
}

uint16_t BoundPort(int fd) {
  sockaddr_storage bound{};
  socklen_t length = sizeof bound;
  if (getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length) != 0) return 0;
  if (bound.ss_family == AF_INET6) return ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port);
  return ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port);
}

}  // namespace

ListeningPort ListenOnTcp(const std::string& address, uint16_t port) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE | AI_NUMERICHOST | AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const int status = getaddrinfo(address.c_str(), std::to_string(port).c_str(), &hints, &found);
  if (status != 0) return {nullptr, status == EAI_SYSTEM ? errno : EINVAL};

  const int fd = socket(found->ai_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    const int error = errno;
    freeaddrinfo(found);
    return {nullptr, error};
  }
  // A simulator started again at once takes its port back while the last connection lingers.
  const int on = 1;
  const bool listening = setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0 &&
                         bind(fd, found->ai_addr, found->ai_addrlen) == 0 && listen(fd, 1) == 0;
  const int error = errno;
  freeaddrinfo(found);
  if (!listening) {
    close(fd);
    return {nullptr, error};
  }
  const int wake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wake < 0) {
    const int wakeError = errno;
    close(fd);
    return {nullptr, wakeError};
  }
  return {std::make_unique<LinuxTcpListener>(fd, wake, BoundPort(fd))};
}

}  // namespace drunvale
