// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/elm_host.h"

namespace drunvale::sim::testing {

ElmHost::ElmHost(ElmPipe& pipe, ManualTickClock& clock, uint32_t rate) : clock_(clock) {
  OpenedPort opened = pipe.Open();
  port_ = std::move(opened.port);
  if (port_ && !port_->SetLine(rate)) port_.reset();
}

bool ElmHost::Write(const std::string& bytes) {
  if (!port_) return false;
  IoResult written = port_->Write(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  return written.ok && written.count == bytes.size();
}

ElmReply ElmHost::ReadToPrompt(uint32_t quietMs) {
  ElmReply reply;
  const uint32_t start = clock_.NowMs();
  if (!port_) return {"", 0, true};
  port_->SetTimeouts({quietMs, quietMs, 0, 100, 100});
  while (!reply.Prompted()) {
    uint8_t byte = 0;
    IoResult read = port_->Read(&byte, 1);
    if (!read.ok) reply.failed = true;
    if (read.count == 0) break;
    reply.text += static_cast<char>(byte);
  }
  reply.ms = clock_.NowMs() - start;
  return reply;
}

ElmReply ElmHost::ReadBurst(uint32_t gapMs, uint32_t firstMs) {
  ElmReply reply;
  const uint32_t start = clock_.NowMs();
  if (!port_) return {"", 0, true};
  port_->SetTimeouts({firstMs, firstMs, 0, 100, 100});
  while (true) {
    if (!reply.text.empty()) port_->SetTimeouts({gapMs, gapMs, 0, 100, 100});
    uint8_t byte = 0;
    IoResult read = port_->Read(&byte, 1);
    if (!read.ok) reply.failed = true;
    if (read.count == 0) break;
    reply.text += static_cast<char>(byte);
  }
  reply.ms = clock_.NowMs() - start;
  return reply;
}

ElmReply ElmHost::Command(const std::string& line, uint32_t quietMs) {
  if (!Write(line + "\r")) return {"", 0, true};
  return ReadToPrompt(quietMs);
}

}  // namespace drunvale::sim::testing
