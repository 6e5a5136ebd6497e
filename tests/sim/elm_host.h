// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/serial_port.h"
#include "platform/testing/manual_clock.h"
#include "sim/elm_pipe.h"

namespace drunvale::sim::testing {

// What came back for one command: the raw text, how long it took in virtual time, and whether
// the port failed on the way.
struct ElmReply {
  std::string text;
  uint32_t ms = 0;
  bool failed = false;
  bool Prompted() const { return !text.empty() && text.back() == '>'; }
};

// A plain host on the pipe's port in virtual time, as a terminal program would talk to the chip:
// it writes a line and reads byte by byte until the prompt or a quiet spell.
class ElmHost {
 public:
  ElmHost(ElmPipe& pipe, ManualTickClock& clock, uint32_t rate = 38400);

  bool Open() const { return port_ != nullptr; }
  bool Write(const std::string& bytes);
  // Reads until '>' or until quietMs pass without a byte.
  ElmReply ReadToPrompt(uint32_t quietMs = 3000);
  // Reads what comes within firstMs and until the first gap of gapMs after it.
  ElmReply ReadBurst(uint32_t gapMs, uint32_t firstMs = 1000);
  // The line with its CR, then the reply.
  ElmReply Command(const std::string& line, uint32_t quietMs = 3000);

 private:
  ManualTickClock& clock_;
  std::unique_ptr<SerialPort> port_;
};

}  // namespace drunvale::sim::testing
