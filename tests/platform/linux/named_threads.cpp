// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/named_threads.h"

#include <filesystem>
#include <fstream>
#include <string>

namespace drunvale::testing {

int ThreadsNamed(const char* name) {
  int count = 0;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string seen;
    std::getline(comm, seen);
    if (seen == name) ++count;
  }
  return count;
}

}  // namespace drunvale::testing
