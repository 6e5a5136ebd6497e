// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the real program (drunvale --console, beeps off, OpenAL's silent back end) against the
// simulated control unit at 10400 bit/s and prints what each of its threads costs while it
// polls: the share of one core and the wake-ups a second (voluntary context switches, one per
// sleep that ended), from the kernel's per-task accounting.
//
// Usage: link_threads_bench [seconds]   (30 by default; 5 s of warm-up come first)
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "sim/ecu_simulator.h"
#include "task_figures.h"

namespace {

namespace fs = std::filesystem;
using drunvale::bench::ReadTasks;
using Steady = std::chrono::steady_clock;

std::string Label(pid_t pid, int tid, const std::string& name) {
  if (tid == pid) return "main (console loop)";
  if (name == "drunvale-link") return "connection worker";
  if (name == "drunvale-beep") return "sound player";
  return "other: " + name;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
  const fs::path home = fs::temp_directory_path() / ("drunvale-bench-" + std::to_string(getpid()));
  fs::create_directories(home);

  drunvale::sim::EcuSimulator ecu;
  std::string error;
  if (!ecu.Start(&error)) {
    std::fprintf(stderr, "the simulated control unit did not start: %s\n", error.c_str());
    return 1;
  }
  // Fresh settings: 10400 bit/s, no RTS pulse; beeps stay off without --beep.
  const pid_t pid = drunvale::bench::SpawnToFile(
      {DRUNVALE_BINARY, "--console", "--port", ecu.DevicePath()},
      {"XDG_CONFIG_HOME=" + home.string(), "ALSOFT_DRIVERS=null"}, (home / "console.txt").string());
  if (pid <= 0) {
    std::fprintf(stderr, "cannot start %s\n", DRUNVALE_BINARY);
    return 1;
  }
  std::this_thread::sleep_for(std::chrono::seconds(5));

  const size_t samplesBefore = ecu.ServedSamples().size();
  const auto before = ReadTasks(pid);
  const auto start = Steady::now();
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const auto after = ReadTasks(pid);
  const double wall = std::chrono::duration<double>(Steady::now() - start).count();
  const size_t samples = ecu.ServedSamples().size() - samplesBefore;

  kill(pid, SIGINT);
  int status = 0;
  waitpid(pid, &status, 0);
  ecu.Stop();
  fs::remove_all(home);

  std::printf("drunvale --console polling the simulated control unit at 10400 bit/s, beeps off\n");
  std::printf("%.1f s measured, %zu live-data blocks served (%.2f a second)\n", wall, samples,
              samples / wall);
  const auto totals = drunvale::bench::PrintThreadTable(
      before, after, wall, [&](int tid, const std::string& name) { return Label(pid, tid, name); });
  const double workerWakes =
      totals.wakesByName.count("drunvale-link") ? totals.wakesByName.at("drunvale-link") : 0.0;
  if (samples > 0) {
    std::printf("connection worker wake-ups per live-data block: %.1f\n",
                workerWakes * wall / static_cast<double>(samples));
  }
  return 0;
}
