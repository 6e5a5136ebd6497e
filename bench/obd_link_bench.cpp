// SPDX-License-Identifier: GPL-3.0-or-later
// Samples a second from the standard OBD-II data through the simulated ELM327, in virtual time,
// on each bus, against the adapter's own bound: the same requests sent back to back, each the
// moment the chip's prompt for the one before has come, with nothing read but the prompt.
#include <cstdio>
#include <memory>
#include <vector>

#include "link/connection_worker.h"
#include "platform/testing/manual_clock.h"
#include "sim/elm_pipe.h"

namespace {

using namespace drunvale;

struct Sent {
  uint32_t at;
  std::vector<uint8_t> bytes;
};

// Forwards to the pipe's port and keeps every write with its moment.
class RecordingPort final : public SerialPort {
 public:
  RecordingPort(std::unique_ptr<SerialPort> port, TickClock& clock, std::vector<Sent>& writes)
      : port_(std::move(port)), clock_(clock), writes_(writes) {}
  IoResult SetLine(uint32_t baud) override { return port_->SetLine(baud); }
  void SetTimeouts(const SerialTimeouts& timeouts) override { port_->SetTimeouts(timeouts); }
  IoResult Purge() override { return port_->Purge(); }
  IoResult Write(const uint8_t* data, size_t n) override {
    writes_.push_back({clock_.NowMs(), {data, data + n}});
    return port_->Write(data, n);
  }
  IoResult Read(uint8_t* data, size_t n) override { return port_->Read(data, n); }
  bool SetRts(bool on) override { return port_->SetRts(on); }
  bool SetDtr(bool on) override { return port_->SetDtr(on); }

 private:
  std::unique_ptr<SerialPort> port_;
  TickClock& clock_;
  std::vector<Sent>& writes_;
};

// Each write, then every byte up to the prompt (30 s at most: a protocol search takes seconds), as a
// client with nothing else to do would; the time from write `from` to the prompt after `to`.
uint32_t Replay(const sim::ElmSimConfig& config, const std::vector<Sent>& writes, size_t from,
                size_t to) {
  ManualTickClock clock(1000);
  sim::ElmPipe pipe(config, {}, clock);
  std::unique_ptr<SerialPort> port = pipe.Open().port;
  if (!port || !port->SetLine(config.serialRate)) return 0;
  port->SetTimeouts({.interByteMs = 0, .totalConstantMs = 30000, .totalPerByteMs = 0});
  uint32_t start = 0;
  for (size_t i = 0; i <= to; ++i) {
    if (i == from) start = clock.NowMs();
    if (!port->Write(writes[i].bytes.data(), writes[i].bytes.size())) return 0;
    uint8_t byte = 0;
    while (true) {
      const IoResult read = port->Read(&byte, 1);
      if (!read || read.count == 0 || byte == '>') break;
    }
  }
  return clock.NowMs() - start;
}

void Measure(const char* label, sim::ObdBus bus, sim::ObdCarKind kind) {
  constexpr size_t kSamples = 60, kSettled = 10;
  sim::ElmSimConfig config;
  config.obdCar = sim::ObdCarConfig{.bus = bus, .kind = kind};
  ManualTickClock clock(1000);
  ManualSleepClock asleep;
  ManualStopEvent stop(clock);
  sim::ElmPipe pipe(config, {}, clock);
  std::vector<Sent> writes;
  std::vector<uint32_t> sampleAt;
  std::vector<size_t> writesAt;  // how many writes had gone out at each sample
  WorkerOutlets outlets(
      stop, [](std::string) {},
      [&](float, float, float, bool) {
        sampleAt.push_back(clock.NowMs());
        writesAt.push_back(writes.size());
        if (sampleAt.size() == kSamples) stop.Set();
      });
  Settings settings;
  settings.Port = "elm";
  settings.Adapter = AdapterKind::Elm;
  settings.Source = DataSourceKind::StandardObd;
  settings.Fuel.displacementCc = 1600;
  SharedSettings shared(settings);
  ConnectionWorker worker(
      shared, clock, asleep, stop,
      [&](const std::string&) {
        OpenedPort opened = pipe.Open();
        if (opened.port) {
          opened.port = std::make_unique<RecordingPort>(std::move(opened.port), clock, writes);
        }
        return opened;
      },
      outlets);
  (void)worker.RunWorker();
  if (sampleAt.size() < kSamples) {
    std::printf("%-34s %zu samples only\n", label, sampleAt.size());
    return;
  }
  // The steady polling: from the first request after a settled sample to the last sample.
  const size_t from = writesAt[kSettled], to = writesAt.back() - 1;
  const double samples = double(kSamples - 1 - kSettled);
  const double took = sampleAt.back() - writes[from].at;
  const uint32_t bound = Replay(config, writes, from, to);
  std::printf("%-34s %5.1f samples/s, %4.2f requests a sample, %.3f of the adapter's bound"
              " (%.1f samples/s)\n",
              label, 1000 * samples / took, double(to + 1 - from) / samples,
              bound ? bound / took : 0.0, bound ? 1000 * samples / bound : 0.0);
}

}  // namespace

int main() {
  Measure("CAN 11/500, fuel rate", sim::ObdBus::Can11At500, sim::ObdCarKind::FuelRate);
  Measure("CAN 11/500, air flow", sim::ObdBus::Can11At500, sim::ObdCarKind::Maf);
  Measure("ISO 14230-4 K-line, air flow", sim::ObdBus::Kwp14230, sim::ObdCarKind::Maf);
  Measure("ISO 9141-2, speed-density", sim::ObdBus::Iso9141, sim::ObdCarKind::SpeedDensity);
  return 0;
}
