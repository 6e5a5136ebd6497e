// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace drunvale::sim::testing {

// A plain termios tester on the slave side of the simulator's terminal: writes request frames
// and reads the echo and the answer with poll timeouts, like a serial tester would.
class PtyClient {
 public:
  explicit PtyClient(const std::string& path);
  ~PtyClient();
  PtyClient(const PtyClient&) = delete;
  PtyClient& operator=(const PtyClient&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  // 10400 through termios2 (BOTHER), the standard rates through plain termios.
  bool SetRate(uint32_t rate);
  bool Write(const std::vector<uint8_t>& bytes);
  // Up to n bytes, ending early when timeoutMs pass without all of them or the line hangs up.
  std::vector<uint8_t> Read(size_t n, int timeoutMs);
  bool hungUp() const { return hungUp_; }
  int lastError() const { return lastError_; }

  struct Reply {
    std::vector<uint8_t> echo;
    std::vector<uint8_t> frame;  // the whole answer: header, data, checksum; empty on silence
  };
  // Sends one frame, reads its echo, then an answer frame as its header announces it.
  Reply Transact(const std::vector<uint8_t>& request, int answerTimeoutMs = 500);

 private:
  int fd_ = -1;
  bool hungUp_ = false;
  int lastError_ = 0;
};

// Checks an answer frame from the control unit: format 10xxxxxx, addresses F1 10, the length as
// announced and the additive checksum. Returns the data (service id first); empty when bad.
std::vector<uint8_t> AnswerData(const std::vector<uint8_t>& frame);

}  // namespace drunvale::sim::testing
