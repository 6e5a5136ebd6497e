#include "app/demo_peer.h"

#include <cstdio>

#include "app/command_line.h"
#include "sim/ecu_simulator.h"

namespace drunvale {
namespace {

class SimulatedPeer final : public DemoPeer {
 public:
  explicit SimulatedPeer(sim::EcuSimConfig config) : simulator_(config) {}
  bool Start(std::string* error) { return simulator_.Start(error); }
  std::string DevicePath() const override { return simulator_.DevicePath(); }

 private:
  sim::EcuSimulator simulator_;
};

}  // namespace

std::unique_ptr<DemoPeer> StartDemoPeer(std::string* error) {
  sim::EcuSimConfig config;
  // Twice real speed: the drive's slow stretch still lasts long enough to count as a jam
  // under the default five-minute rule.
  config.profileSpeedup = 2.0;
  auto peer = std::make_unique<SimulatedPeer>(config);
  if (!peer->Start(error)) return nullptr;
  return peer;
}

bool PortForThisRun(const CommandLine& options, std::unique_ptr<DemoPeer>& demo,
                    std::string& port) {
  port = options.port.value_or("");
  if (!options.demo) return true;
  std::string error;
  demo = StartDemoPeer(&error);
  if (!demo) {
    std::fprintf(stderr, "drunvale: the simulated engine control unit did not start: %s\n",
                 error.c_str());
    return false;
  }
  port = demo->DevicePath();
  return true;
}

}  // namespace drunvale
