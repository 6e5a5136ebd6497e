// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>

#include "sim/host_stream.h"
#include "sim/pty_pair.h"

namespace drunvale::sim {

// The simulator's end of a pseudo-terminal as a host stream: the tester opens DevicePath() like
// a serial port, and the rate it sets there is the host's rate.
class PtyHostStream final : public HostStream {
 public:
  // Null with the reason when the terminal cannot be opened.
  static std::unique_ptr<PtyHostStream> Open(std::string* error);
  // Closes both sides: a tester still holding the path sees a hang-up.
  ~PtyHostStream() override;
  PtyHostStream(const PtyHostStream&) = delete;
  PtyHostStream& operator=(const PtyHostStream&) = delete;

  const std::string& DevicePath() const { return pty_.slavePath; }

  Event Wait(std::optional<SimTime> deadline) override;
  bool Read(std::vector<uint8_t>& bytes) override;
  bool Write(const uint8_t* bytes, size_t n) override;
  uint32_t HostRate() override;
  void Close() override {}  // a terminal has no connection to drop
  void Wake() override;
  std::string Error() const override { return error_; }

 private:
  PtyHostStream() = default;
  bool Fail(const char* what);

  PtyPair pty_;
  int wakeFd_ = -1;
  std::string error_;
};

}  // namespace drunvale::sim
