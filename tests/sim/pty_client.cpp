// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/pty_client.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "sim/line_rate.h"

namespace drunvale::sim::testing {

PtyClient::PtyClient(const std::string& path) {
  fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ >= 0 && !SetRate(10400)) {
    close(fd_);
    fd_ = -1;
  }
}

PtyClient::~PtyClient() {
  if (fd_ >= 0) close(fd_);
}

bool PtyClient::SetRate(uint32_t rate) {
  if (rate == 10400) return SetRawLineRate(fd_, rate);
  termios tio{};
  if (tcgetattr(fd_, &tio) != 0) return false;
  cfmakeraw(&tio);
  speed_t speed = rate == 38400 ? B38400 : rate == 57600 ? B57600 : B9600;
  return cfsetispeed(&tio, speed) == 0 && cfsetospeed(&tio, speed) == 0 &&
         tcsetattr(fd_, TCSANOW, &tio) == 0;
}

bool PtyClient::Write(const std::vector<uint8_t>& bytes) {
  ssize_t n = write(fd_, bytes.data(), bytes.size());
  if (n < 0) lastError_ = errno;
  return n == static_cast<ssize_t>(bytes.size());
}

std::vector<uint8_t> PtyClient::Read(size_t n, int timeoutMs) {
  std::vector<uint8_t> bytes;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (bytes.size() < n) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) break;
    pollfd pfd{fd_, POLLIN, 0};
    if (poll(&pfd, 1, static_cast<int>(left.count())) <= 0) continue;
    if (pfd.revents & POLLIN) {
      uint8_t buffer[256];
      size_t want = std::min(sizeof buffer, n - bytes.size());
      ssize_t got = read(fd_, buffer, want);
      if (got > 0) {
        bytes.insert(bytes.end(), buffer, buffer + got);
        continue;
      }
      if (got < 0) lastError_ = errno;
    }
    if (pfd.revents & (POLLHUP | POLLERR)) {
      hungUp_ = true;
      break;
    }
  }
  return bytes;
}

PtyClient::Reply PtyClient::Transact(const std::vector<uint8_t>& request, int answerTimeoutMs) {
  Reply reply;
  if (!Write(request)) return reply;
  reply.echo = Read(request.size(), 500);
  reply.frame = Read(4, answerTimeoutMs);
  if (reply.frame.size() < 4) return reply;
  size_t rest = reply.frame[0] & 0x3F;
  rest = rest == 0 ? size_t{reply.frame[3]} + 1 : rest;
  std::vector<uint8_t> tail = Read(rest, 1000);
  reply.frame.insert(reply.frame.end(), tail.begin(), tail.end());
  return reply;
}

std::vector<uint8_t> AnswerData(const std::vector<uint8_t>& frame) {
  if (frame.size() < 5 || (frame[0] & 0xC0) != 0x80 || frame[1] != 0xF1 || frame[2] != 0x10) {
    return {};
  }
  size_t start = (frame[0] & 0x3F) != 0 ? 3 : 4;
  size_t length = (frame[0] & 0x3F) != 0 ? size_t{frame[0] & 0x3Fu} : size_t{frame[3]};
  if (frame.size() != start + length + 1) return {};
  uint8_t sum = 0;
  for (size_t i = 0; i + 1 < frame.size(); ++i)
    sum = static_cast<uint8_t>(sum + frame[i]);
  if (sum != frame.back()) return {};
  return std::vector<uint8_t>(frame.begin() + static_cast<std::ptrdiff_t>(start), frame.end() - 1);
}

}  // namespace drunvale::sim::testing
