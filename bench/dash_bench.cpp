// SPDX-License-Identifier: GPL-3.0-or-later
// What the full-screen dash costs: the real program's window polling its built-in simulated
// control unit (--demo), without and with the dash open (--dash), in turns, and the whole
// process's share of one core each time, from the kernel's per-task accounting.
//
// Usage: dash_bench [seconds] [rounds]   (20 s, 2 rounds by default; 5 s of warm-up each)
// Run it on the screen the dash should fill, for example
//   xvfb-run -a -s "-screen 0 1920x1080x24" build/release/bench/dash_bench
// Without a display the program draws off screen (Qt's offscreen platform, 800×600).
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "task_figures.h"

namespace {

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

// One run of the window; returns the whole process's share of a core in percent, or −1.
double MeasureOnce(const fs::path& home, bool dash, int seconds) {
  std::vector<std::string> args = {DRUNVALE_BINARY, "--demo"};
  if (dash) args.push_back("--dash");
  std::vector<std::string> env = {"XDG_CONFIG_HOME=" + (home / "config").string(),
                                  "XDG_DATA_HOME=" + (home / "data").string(),
                                  "ALSOFT_DRIVERS=null"};
  if (std::getenv("DISPLAY") == nullptr) env.push_back("QT_QPA_PLATFORM=offscreen");
  const pid_t pid = drunvale::bench::SpawnToFile(args, env, (home / "window.txt").string());
  if (pid <= 0) return -1;
  std::this_thread::sleep_for(std::chrono::seconds(5));
  const auto before = drunvale::bench::ReadTasks(pid);
  const auto start = Steady::now();
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const auto after = drunvale::bench::ReadTasks(pid);
  const double wall = std::chrono::duration<double>(Steady::now() - start).count();
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);

  double cpu = 0;
  for (const auto& [tid, a] : after) {
    // Threads that started in between are left out, as in the other benchmarks.
    const auto b = before.find(tid);
    if (b != before.end()) cpu += static_cast<double>(a.cpuNs - b->second.cpuNs);
  }
  return 100.0 * cpu / (wall * 1e9);
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 2;
  const fs::path home = fs::temp_directory_path() / ("drunvale-dash-" + std::to_string(getpid()));
  fs::create_directories(home);

  const char* display = std::getenv("DISPLAY");
  std::printf("drunvale --demo, window only and with --dash, on %s; %d s a run\n",
              display ? display : "the offscreen platform", seconds);
  std::printf("%-6s %18s %18s %12s\n", "round", "window CPU %", "with dash CPU %", "dash adds");
  double sumWithout = 0;
  double sumWith = 0;
  for (int round = 1; round <= rounds; ++round) {
    const double without = MeasureOnce(home, false, seconds);
    const double with = MeasureOnce(home, true, seconds);
    if (without < 0 || with < 0) {
      std::fprintf(stderr, "cannot start %s\n", DRUNVALE_BINARY);
      return 1;
    }
    sumWithout += without;
    sumWith += with;
    std::printf("%-6d %18.3f %18.3f %12.3f\n", round, without, with, with - without);
  }
  std::printf("%-6s %18.3f %18.3f %12.3f\n", "mean", sumWithout / rounds, sumWith / rounds,
              (sumWith - sumWithout) / rounds);
  fs::remove_all(home);
  return 0;
}
