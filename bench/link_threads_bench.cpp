// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the real program (drunvale --console, beeps off, OpenAL's silent back end) against the
// simulated control unit at 10400 bit/s and prints what each of its threads costs while it
// polls: the share of one core and the wake-ups a second (voluntary context switches, one per
// sleep that ended), from the kernel's per-task accounting.
//
// Usage: link_threads_bench [seconds]   (30 by default; 5 s of warm-up come first)
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
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

#include "app/spawn_program.h"
#include "sim/ecu_simulator.h"
#include "task_figures.h"

namespace {

namespace fs = std::filesystem;
using drunvale::bench::ReadTasks;
using Steady = std::chrono::steady_clock;

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv,
            const std::string& outputFile) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  const pid_t pid = drunvale::testing::SpawnProgram(args, extraEnv, &actions);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

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
  const pid_t pid = Spawn({DRUNVALE_BINARY, "--console", "--port", ecu.DevicePath()},
                          {"XDG_CONFIG_HOME=" + home.string(), "ALSOFT_DRIVERS=null"},
                          (home / "console.txt").string());
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
  std::printf("%-8s %-22s %10s %12s %14s\n", "tid", "thread", "CPU %", "wake-ups/s", "preempted/s");
  double totalCpu = 0, totalWakes = 0, workerWakes = 0;
  for (const auto& [tid, a] : after) {
    const auto b = before.find(tid);
    if (b == before.end()) continue;  // started during the measurement
    const double cpu = 100.0 * static_cast<double>(a.cpuNs - b->second.cpuNs) / (wall * 1e9);
    const double wakes = static_cast<double>(a.voluntary - b->second.voluntary) / wall;
    const double preempted = static_cast<double>(a.involuntary - b->second.involuntary) / wall;
    totalCpu += cpu;
    totalWakes += wakes;
    if (a.name == "drunvale-link") workerWakes = wakes;
    std::printf("%-8d %-22s %10.3f %12.1f %14.1f\n", tid, Label(pid, tid, a.name).c_str(), cpu,
                wakes, preempted);
  }
  std::printf("%-8s %-22s %10.3f %12.1f\n", "", "whole process", totalCpu, totalWakes);
  if (samples > 0) {
    std::printf("connection worker wake-ups per live-data block: %.1f\n",
                workerWakes * wall / static_cast<double>(samples));
  }
  return 0;
}
