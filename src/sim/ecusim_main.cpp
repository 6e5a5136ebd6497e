// drunvale-ecusim: a simulated K-line adapter and engine control unit for demos and by-hand tests.
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>

#include "app/exit_codes.h"
#include "sim/ecu_simulator.h"
#include "sim/ecusim_options.h"

using drunvale::sim::EcuSimOptions;
using drunvale::sim::EcuSimulator;
using drunvale::sim::SimClock;

namespace {

timespec Timespec(SimClock::duration d) {
  auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(d).count();
  if (ns < 0) ns = 0;
  return timespec{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

}  // namespace

int main(int argc, char** argv) {
  EcuSimOptions options;
  std::string error;
  if (!drunvale::sim::ParseEcuSimOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "drunvale-ecusim: %s\nTry drunvale-ecusim --help for the options.\n",
                 error.c_str());
    return drunvale::kExitUsage;
  }
  if (options.help) {
    std::fputs(drunvale::sim::EcuSimUsage().c_str(), stdout);
    return drunvale::kExitOk;
  }
  if (options.version) {
    std::fputs("drunvale-ecusim " DRUNVALE_VERSION "\n", stdout);
    return drunvale::kExitOk;
  }

  // Blocked before the line thread exists, so only sigtimedwait below ever takes them.
  sigset_t endSignals;
  sigemptyset(&endSignals);
  sigaddset(&endSignals, SIGINT);
  sigaddset(&endSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);

  EcuSimulator simulator(options.config);
  if (!simulator.Start(&error)) {
    std::fprintf(stderr, "drunvale-ecusim: cannot start: %s\n", error.c_str());
    return drunvale::kExitCannotStart;
  }
  std::printf("%s\n", simulator.DevicePath().c_str());
  std::fflush(stdout);
  std::fprintf(stderr, "drunvale-ecusim: control unit on %s, Ctrl+C ends it\n",
               simulator.DevicePath().c_str());

  std::optional<SimClock::time_point> ignitionOffAt;
  if (options.ignitionOffAfterS || options.ignitionOffForS) {
    std::chrono::duration<double> after(options.ignitionOffAfterS.value_or(0));
    ignitionOffAt = simulator.StartTime() + std::chrono::duration_cast<SimClock::duration>(after);
  }

  int status = drunvale::kExitOk;
  for (;;) {
    // Wake at least once a second to notice a failed line.
    SimClock::duration wait = std::chrono::seconds(1);
    if (ignitionOffAt) wait = std::min(wait, *ignitionOffAt - SimClock::now());
    timespec timeout = Timespec(wait);
    if (sigtimedwait(&endSignals, nullptr, &timeout) > 0) break;
    if (!simulator.Running()) {
      std::fprintf(stderr, "drunvale-ecusim: line failed: %s\n", simulator.LineError().c_str());
      status = drunvale::kExitCannotStart;
      break;
    }
    if (ignitionOffAt && SimClock::now() >= *ignitionOffAt) {
      std::optional<std::chrono::milliseconds> duration;
      if (options.ignitionOffForS) {
        duration = std::chrono::milliseconds(std::llround(*options.ignitionOffForS * 1000));
        std::fprintf(stderr, "drunvale-ecusim: ignition off for %g s\n", *options.ignitionOffForS);
      } else {
        std::fprintf(stderr, "drunvale-ecusim: ignition off\n");
      }
      simulator.SetIgnitionOff(duration);
      ignitionOffAt.reset();
    }
  }
  simulator.Stop();
  return status;
}
