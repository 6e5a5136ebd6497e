// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <spawn.h>
#include <sys/types.h>

#include <string>
#include <vector>

extern char** environ;

namespace drunvale::testing {

// Starts args[0] with this process's environment plus extraEnv, its files set up by actions.
// Returns the child's id, or -1.
inline pid_t SpawnProgram(const std::vector<std::string>& args,
                          const std::vector<std::string>& extraEnv,
                          const posix_spawn_file_actions_t* actions) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e)
    env.emplace_back(*e);
  env.insert(env.end(), extraEnv.begin(), extraEnv.end());
  std::vector<char*> argv, envp;
  for (const auto& a : args)
    argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (const auto& e : env)
    envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
  return pid;
}

}  // namespace drunvale::testing
