// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary control-unit replies through the scripted port into one exchange, and the
// first bytes straight into the header parser.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "link/kwp_exchange.h"
#include "link/kwp_frame.h"
#include "platform/testing/manual_clock.h"
#include "platform/testing/scripted_serial_port.h"

namespace {

using drunvale::ExchangeResult;
using Bytes = std::vector<uint8_t>;

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckHeader(const uint8_t* header) {
  auto parsed = drunvale::ParseResponseHeader(header);
  if (!parsed) return;
  Check(parsed->dataLength >= 1);
  Check(4 + parsed->restLength <= drunvale::kReceiveBufferSize);
  Check(parsed->serviceOffset + parsed->dataLength + 1 == 4 + parsed->restLength);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size >= 4) CheckHeader(data);
  if (size < 1) return 0;

  static const Bytes kRequests[] = {{0x20},       {0x82},      {0x81}, {0x10, 0x81, 0x26},
                                    {0x1A, 0x80}, {0x21, 0x01}};
  const uint8_t mode = data[0];
  const Bytes& request = kRequests[mode % 6];

  // The rest is a list of replies, one per attempt: a length byte, a latency byte, the bytes.
  std::vector<drunvale::ScriptedReply> replies;
  for (size_t pos = 1; pos + 2 <= size;) {
    size_t length = data[pos];
    uint32_t latency = data[pos + 1];
    pos += 2;
    length = std::min(length, size - pos);
    replies.push_back({Bytes(data + pos, data + pos + length), latency, 1});
    pos += length;
  }

  drunvale::ManualTickClock clock(0xFFFF'FF00u);  // runs across the tick's wrap
  drunvale::ManualStopEvent stop(clock);
  drunvale::ScriptedSerialPort port(clock);
  port.SetEcho((mode & 0x80) == 0);  // without echo the reply must forge it
  size_t next = 0;
  port.SetResponder([&](const Bytes&) {
    return next < replies.size() ? replies[next++] : drunvale::ScriptedReply{};
  });
  drunvale::KwpExchange link(clock, stop, [mode] { return (mode & 0x40) != 0; });
  link.SetPort(&port);

  ExchangeResult result = link.Exchange(request.data(), static_cast<uint8_t>(request.size()));
  Check(result == ExchangeResult::Ok || result == ExchangeResult::NoAnswer);
  Check(link.ErrorCount() >= 0 && link.ErrorCount() <= 19);
  if (result == ExchangeResult::Ok) {
    const auto& buffer = link.ReceiveBuffer();
    Check(link.PayloadOffset() == 4 || link.PayloadOffset() == 5);
    const size_t checksumAt = link.PayloadOffset() + link.Payload().size();
    Check(checksumAt < buffer.size());
    Check(buffer[link.PayloadOffset() - 1] == (request[0] | 0x40));
    Check(drunvale::KwpChecksum(buffer.data(), checksumAt) == buffer[checksumAt]);
  }
  return 0;
}
