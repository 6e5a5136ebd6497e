// SPDX-License-Identifier: GPL-3.0-or-later
// The link's own pace through the simulated ELM327, in virtual time: live blocks a second
// against the K-line's bound (request and reply at 10400 bit/s, the unit's response delay and
// the 100 ms the link leaves after each reply), on a genuine chip and on a clone without the
// answer count or adaptive timing.
#include <cstdio>
#include <vector>

#include "link/connection_worker.h"
#include "platform/testing/manual_clock.h"
#include "sim/ecu_blocks.h"
#include "sim/elm_pipe.h"

namespace {

using namespace drunvale;

void Measure(const char* label, sim::ElmSimConfig config) {
  constexpr int kSamples = 60;
  ManualTickClock clock(1000);
  ManualSleepClock asleep;
  ManualStopEvent stop(clock);
  sim::ElmPipe pipe(config, {}, clock);
  std::vector<uint32_t> at;
  WorkerOutlets outlets(
      stop, [](std::string) {},
      [&](float, float, float, bool) {
        at.push_back(clock.NowMs());
        if (at.size() == kSamples) stop.Set();
      });
  Settings settings;
  settings.Port = "elm";
  settings.Adapter = AdapterKind::Elm;
  SharedSettings shared(settings);
  ConnectionWorker worker(
      shared, clock, asleep, stop, [&](const std::string&) { return pipe.Open(); }, outlets);
  (void)worker.RunWorker();
  if (at.size() < kSamples) {
    std::printf("%-40s %zu blocks only\n", label, at.size());
    return;
  }
  // Past the set-up: the steady polling.
  const double each = double(at.back() - at[10]) / (kSamples - 1 - 10);
  const double byteMs = 10000.0 / 10400;
  const double request = 6 * byteMs;  // header, 21 01, checksum
  const double reply = (3 + 1 + sim::kLiveDataBlockSize + 1) * byteMs;
  const double bound = request + 25.0 + reply + 100.0;
  std::printf("%-40s %6.1f ms a block, %5.2f a second, %.3f of the line's bound (%.1f ms)\n", label,
              each, 1000.0 / each, bound / each, bound);
}

}  // namespace

int main() {
  Measure("genuine ELM327 v1.5, 38400", {});
  sim::ElmSimConfig clone;
  clone.quirks.noAt = true;
  clone.quirks.noSt = true;
  Measure("clone without AT and ST, 38400", clone);
  return 0;
}
