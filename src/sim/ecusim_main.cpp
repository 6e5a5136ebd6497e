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
#include "platform/system_error.h"
#include "platform/tcp_listener.h"
#include "platform/termination.h"
#include "program_version.h"
#include "sim/ecu_simulator.h"
#include "sim/ecusim_options.h"
#include "sim/elm_server.h"
#include "sim/pty_host_stream.h"
#include "sim/tcp_host_stream.h"

using drunvale::sim::EcuSimConfig;
using drunvale::sim::EcuSimOptions;
using drunvale::sim::EcuSimulator;
using drunvale::sim::ElmServer;
using drunvale::sim::ElmSimConfig;
using drunvale::sim::PtyHostStream;
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

// The simulator running, whichever adapter it plays.
class Adapter {
 public:
  virtual ~Adapter() = default;
  virtual bool Start(std::string* error) = 0;
  virtual std::string DevicePath() const = 0;
  virtual bool Running() const = 0;
  virtual std::string LineError() const = 0;
  virtual void SetIgnitionOff(std::optional<std::chrono::milliseconds> duration) = 0;
  virtual SimClock::time_point StartTime() const = 0;
};

class KLineAdapter final : public Adapter {
 public:
  explicit KLineAdapter(const EcuSimConfig& config) : sim_(config) {}
  bool Start(std::string* error) override { return sim_.Start(error); }
  std::string DevicePath() const override { return sim_.DevicePath(); }
  bool Running() const override { return sim_.Running(); }
  std::string LineError() const override { return sim_.LineError(); }
  void SetIgnitionOff(std::optional<std::chrono::milliseconds> duration) override {
    sim_.SetIgnitionOff(duration);
  }
  SimClock::time_point StartTime() const override { return sim_.StartTime(); }

 private:
  EcuSimulator sim_;
};

class ElmAdapter final : public Adapter {
 public:
  ElmAdapter(const ElmSimConfig& elm, const EcuSimConfig& ecu, std::optional<uint16_t> tcpPort)
      : server_(elm, ecu), tcpPort_(tcpPort) {}
  bool Start(std::string* error) override {
    if (tcpPort_) return Listen(error);
    std::unique_ptr<PtyHostStream> stream = PtyHostStream::Open(error);
    if (!stream) return false;
    path_ = stream->DevicePath();
    return server_.Serve(std::move(stream));
  }
  std::string DevicePath() const override { return path_; }
  bool Running() const override { return server_.Running(); }
  std::string LineError() const override { return server_.Error(); }
  void SetIgnitionOff(std::optional<std::chrono::milliseconds> duration) override {
    server_.SetIgnitionOff(duration);
  }
  SimClock::time_point StartTime() const override { return server_.StartTime(); }

 private:
  // On this machine only: a simulator is nothing to offer the network.
  bool Listen(std::string* error) {
    drunvale::ListeningPort listening = drunvale::ListenOnTcp("127.0.0.1", *tcpPort_);
    if (!listening.listener) {
      *error = "TCP port " + std::to_string(*tcpPort_) + ": " +
               drunvale::SystemErrorText(listening.systemError);
      return false;
    }
    path_ = "socket://127.0.0.1:" + std::to_string(listening.listener->Port());
    return server_.Listen(drunvale::sim::MakeTcpHostStreamListener(std::move(listening.listener)));
  }

  ElmServer server_;
  std::optional<uint16_t> tcpPort_;
  std::string path_;
};

// Starts the adapter and says where it is; null when it could not start.
std::unique_ptr<Adapter> PlugIn(const EcuSimOptions& options, const EcuSimConfig& config) {
  std::unique_ptr<Adapter> adapter;
  if (options.elm) {
    adapter = std::make_unique<ElmAdapter>(options.elmConfig, config, options.tcpPort);
  } else {
    adapter = std::make_unique<KLineAdapter>(config);
  }
  std::string error;
  if (!adapter->Start(&error)) {
    std::fprintf(stderr, "drunvale-ecusim: cannot start: %s\n", error.c_str());
    return nullptr;
  }
  const std::string& link = options.link;
  if (!link.empty() && !MoveLink(link, adapter->DevicePath())) return nullptr;
  std::printf("%s\n", link.empty() ? adapter->DevicePath().c_str() : link.c_str());
  std::fflush(stdout);
  std::fprintf(stderr, "drunvale-ecusim: %s on %s, Ctrl+C ends it\n",
               !options.elm               ? "control unit"
               : options.elmConfig.obdCar && !options.elmConfig.obdCar->manufacturerUnit
                   ? "ELM327 with an OBD-II car"
               : options.elmConfig.obdCar ? "ELM327 with a control unit and an OBD-II car"
                                          : "ELM327 with a control unit",
               adapter->DevicePath().c_str());
  return adapter;
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
  std::unique_ptr<Adapter> simulator = PlugIn(options, options.config);
  if (!simulator) return drunvale::kExitCannotStart;
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
      simulator = PlugIn(options, config);
      if (!simulator) {
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
