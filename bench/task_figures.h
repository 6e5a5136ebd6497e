// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A child program started with its output to a file, and its threads' CPU time and sleeps
// from the kernel's per-task accounting.
#include <sys/types.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "console/spawn_program.h"

namespace drunvale::bench {

struct TaskFigures {
  std::string name;
  int64_t cpuNs = 0;
  int64_t voluntary = 0;  // one per sleep that ended: a wake-up
  int64_t involuntary = 0;
};

inline int64_t StatusField(const std::filesystem::path& status, const std::string& key) {
  std::ifstream in(status);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(key + ":", 0) == 0) return std::atoll(line.c_str() + key.size() + 1);
  }
  return 0;
}

inline std::map<int, TaskFigures> ReadTasks(pid_t pid) {
  namespace fs = std::filesystem;
  std::map<int, TaskFigures> tasks;
  std::error_code error;
  for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
    TaskFigures f;
    std::ifstream(task.path() / "comm") >> f.name;
    std::ifstream(task.path() / "schedstat") >> f.cpuNs;
    f.voluntary = StatusField(task.path() / "status", "voluntary_ctxt_switches");
    f.involuntary = StatusField(task.path() / "status", "nonvoluntary_ctxt_switches");
    tasks[std::stoi(task.path().filename())] = f;
  }
  return tasks;
}

using testing::SpawnToFile;

struct ThreadTotals {
  double cpuPercent = 0;
  double wakesPerSecond = 0;
  std::map<std::string, double> wakesByName;
};

// Prints each thread's share of one core, wake-ups and preemptions a second between two
// readings `wall` seconds apart; threads that started in between are left out.
inline ThreadTotals PrintThreadTable(
    const std::map<int, TaskFigures>& before, const std::map<int, TaskFigures>& after, double wall,
    const std::function<std::string(int, const std::string&)>& label) {
  std::printf("%-8s %-24s %8s %12s %13s\n", "tid", "thread", "CPU %", "wake-ups/s", "preempted/s");
  ThreadTotals totals;
  for (const auto& [tid, a] : after) {
    const auto b = before.find(tid);
    if (b == before.end()) continue;
    const double cpu = 100.0 * static_cast<double>(a.cpuNs - b->second.cpuNs) / (wall * 1e9);
    const double wakes = static_cast<double>(a.voluntary - b->second.voluntary) / wall;
    const double preempted = static_cast<double>(a.involuntary - b->second.involuntary) / wall;
    totals.cpuPercent += cpu;
    totals.wakesPerSecond += wakes;
    totals.wakesByName[a.name] += wakes;
    std::printf("%-8d %-24s %8.3f %12.1f %13.1f\n", tid, label(tid, a.name).c_str(), cpu, wakes,
                preempted);
  }
  std::printf("%-8s %-24s %8.3f %12.1f\n", "", "whole process", totals.cpuPercent,
              totals.wakesPerSecond);
  return totals;
}

}  // namespace drunvale::bench
