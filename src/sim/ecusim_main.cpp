// SPDX-License-Identifier: GPL-3.0-or-later
// drunvale-ecusim: a simulated K-line adapter and engine control unit for demos and by-hand tests.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/exit_codes.h"
#include "platform/termination.h"
#include "program_version.h"
#include "sim/ecu_simulator.h"
#include "sim/ecusim_options.h"

using drunvale::sim::EcuSimOptions;
using drunvale::sim::EcuSimulator;
using drunvale::sim::SimClock;

namespace {

// Ctrl+C or SIGTERM, waited for with a timeout.
class EndRequest {
 public:
  EndRequest()
      : watch_(drunvale::WatchTermination([this] {
          {
            std::lock_guard lock(mutex_);
            requested_ = true;
          }
          changed_.notify_all();
        })) {}
  // True when the end was asked for within the wait.
  bool WaitFor(SimClock::duration wait) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::max(wait, SimClock::duration::zero()),
                             [this] { return requested_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool requested_ = false;
  std::unique_ptr<drunvale::TerminationWatch> watch_;  // last: goes first
};

SimClock::time_point After(SimClock::time_point start, double seconds) {
  return start +
         std::chrono::duration_cast<SimClock::duration>(std::chrono::duration<double>(seconds));
}

// Points the link at the terminal in one step, so a tester never finds it missing or stale.
bool MoveLink(const std::string& link, const std::string& target) {
  std::error_code error;
  const std::filesystem::path fresh = link + ".new";
  std::filesystem::remove(fresh, error);
  std::filesystem::create_symlink(target, fresh, error);
  if (!error) std::filesystem::rename(fresh, link, error);
  if (error) {
    std::fprintf(stderr, "drunvale-ecusim: cannot link %s: %s\n", link.c_str(),
                 error.message().c_str());
  }
  return !error;
}

// Starts a control unit and says where it is; false when it could not start.
bool PlugIn(std::unique_ptr<EcuSimulator>& simulator, const drunvale::sim::EcuSimConfig& config,
            const std::string& link) {
  std::string error;
  simulator = std::make_unique<EcuSimulator>(config);
  if (!simulator->Start(&error)) {
    std::fprintf(stderr, "drunvale-ecusim: cannot start: %s\n", error.c_str());
    return false;
  }
  if (!link.empty() && !MoveLink(link, simulator->DevicePath())) return false;
  std::printf("%s\n", link.empty() ? simulator->DevicePath().c_str() : link.c_str());
  std::fflush(stdout);
  std::fprintf(stderr, "drunvale-ecusim: control unit on %s, Ctrl+C ends it\n",
               simulator->DevicePath().c_str());
  return true;
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

  EndRequest end;
  std::unique_ptr<EcuSimulator> simulator;
  if (!PlugIn(simulator, options.config, options.link)) return drunvale::kExitCannotStart;
  const SimClock::time_point start = simulator->StartTime();

  std::optional<SimClock::time_point> ignitionOffAt, unplugAt, replugAt;
  if (options.ignitionOffAfterS || options.ignitionOffForS) {
    ignitionOffAt = After(start, options.ignitionOffAfterS.value_or(0));
  }
  if (options.unplugAfterS) unplugAt = After(start, *options.unplugAfterS);

  int status = drunvale::kExitOk;
  for (;;) {
    // Wake at least once a second to notice a failed line.
    SimClock::duration wait = std::chrono::seconds(1);
    for (const auto& at : {ignitionOffAt, unplugAt, replugAt}) {
      if (at) wait = std::min(wait, *at - SimClock::now());
    }
    if (end.WaitFor(wait)) break;
    const SimClock::time_point now = SimClock::now();
    if (simulator && !simulator->Running()) {
      std::fprintf(stderr, "drunvale-ecusim: line failed: %s\n", simulator->LineError().c_str());
      status = drunvale::kExitCannotStart;
      break;
    }
    if (ignitionOffAt && now >= *ignitionOffAt) {
      std::optional<std::chrono::milliseconds> duration;
      if (options.ignitionOffForS) {
        duration = std::chrono::milliseconds(std::llround(*options.ignitionOffForS * 1000));
        std::fprintf(stderr, "drunvale-ecusim: ignition off for %g s\n", *options.ignitionOffForS);
      } else {
        std::fprintf(stderr, "drunvale-ecusim: ignition off\n");
      }
      if (simulator) simulator->SetIgnitionOff(duration);
      ignitionOffAt.reset();
    }
    if (unplugAt && now >= *unplugAt) {
      std::fprintf(stderr, "drunvale-ecusim: adapter pulled out\n");
      simulator.reset();  // hangs the terminal up
      if (options.unpluggedForS) replugAt = After(now, *options.unpluggedForS);
      unplugAt.reset();
    }
    if (replugAt && now >= *replugAt) {
      // The drive goes on where it would be by now.
      drunvale::sim::EcuSimConfig config = options.config;
      config.profileStartSeconds +=
          std::chrono::duration<double>(now - start).count() * config.profileSpeedup;
      std::fprintf(stderr, "drunvale-ecusim: adapter plugged in again\n");
      if (!PlugIn(simulator, config, options.link)) {
        status = 1;
        break;
      }
      replugAt.reset();
    }
  }
  simulator.reset();
  if (!options.link.empty()) {
    std::error_code ignored;
    std::filesystem::remove(options.link, ignored);
  }
  return status;
}
