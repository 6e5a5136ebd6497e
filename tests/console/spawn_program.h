// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/types.h>
#include <unistd.h>

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

// Starts args[0] with this environment plus extraEnv, no input, and its output and errors
// to outputFile. Returns the child's id, or -1.
inline pid_t SpawnToFile(const std::vector<std::string>& args,
                         const std::vector<std::string>& extraEnv, const std::string& outputFile) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  const pid_t pid = SpawnProgram(args, extraEnv, &actions);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

}  // namespace drunvale::testing
