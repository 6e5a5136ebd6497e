// SPDX-License-Identifier: GPL-3.0-or-later
// How fast a host can poll the live block through the simulated ELM327, in virtual time: the
// best a program can reach with each timing setting, for comparing its own pace with.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/testing/manual_clock.h"
#include "sim/elm_pipe.h"

namespace {

using drunvale::ManualTickClock;
using drunvale::SerialPort;

// Writes a line and reads up to the prompt; false when no prompt came.
bool Command(SerialPort& port, const std::string& line) {
  const std::string text = line + "\r";
  if (!port.Write(reinterpret_cast<const uint8_t*>(text.data()), text.size()).ok) return false;
  uint8_t byte = 0;
  do {
    drunvale::IoResult read = port.Read(&byte, 1);
    if (!read.ok || read.count == 0) return false;
  } while (byte != '>');
  return true;
}

void Measure(const char* label, const std::vector<std::string>& setUp, const std::string& request,
             drunvale::sim::ElmSimConfig config = {}) {
  constexpr int kRequests = 50;
  ManualTickClock clock;
  drunvale::sim::ElmPipe pipe(config, {}, clock);
  std::unique_ptr<SerialPort> port = pipe.Open().port;
  if (!port || !port->SetLine(38400)) return;
  port->SetTimeouts({2000, 2000, 0, 100, 100});
  for (const std::string& line : setUp) {
    if (!Command(*port, line)) {
      std::printf("%-34s set-up failed at %s\n", label, line.c_str());
      return;
    }
  }
  const uint32_t start = clock.NowMs();
  for (int i = 0; i < kRequests; ++i) {
    if (!Command(*port, request)) {
      std::printf("%-34s no prompt\n", label);
      return;
    }
  }
  const double each = double(clock.NowMs() - start) / kRequests;
  std::printf("%-34s %6.1f ms a request, %5.2f a second\n", label, each, 1000.0 / each);
}

}  // namespace

int main() {
  const std::vector<std::string> base{"ATE0",  "ATS0",       "ATH1", "ATAL",
                                      "ATSP5", "ATSH8110F1", "ATFI"};
  auto with = [&](std::vector<std::string> extra) {
    std::vector<std::string> lines = base;
    lines.insert(lines.end(), extra.begin(), extra.end());
    return lines;
  };
  std::printf("21 01 at 38400 bit/s, the unit's P2 25 ms, virtual time\n");
  Measure("defaults (AT1, ST 32)", base, "2101");
  Measure("AT0", with({"ATAT0"}), "2101");
  Measure("AT2", with({"ATAT2"}), "2101");
  Measure("ST 19", with({"ATST19"}), "2101");
  Measure("one answer expected (21011)", base, "21011");
  Measure("spaces on (S1)", with({"ATS1"}), "2101");
  drunvale::sim::ElmSimConfig slow;
  slow.throughputRate = 9600;
  Measure("a 9600 bit/s serial side", base, "2101", slow);
  return 0;
}
