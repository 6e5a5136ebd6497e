// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Per-thread CPU time and sleeps of a process, from the kernel's per-task accounting.
#include <sys/types.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

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

}  // namespace drunvale::bench
