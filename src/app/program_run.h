// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "app/app_core.h"
#include "app/command_line.h"
#include "app/main_commands.h"
#include "app/run_port.h"
#include "platform/data_folder.h"
#include "platform/user_store.h"

namespace drunvale {

// What every view's run stands on, made once from the command line: this run's port, the
// user's store and data folder, and the core over them (--demo keeps no records). A window
// makes it after it knows it is the only copy.
class ProgramRun {
 public:
  explicit ProgramRun(const CommandLine& options);
  ProgramRun(const ProgramRun&) = delete;
  ProgramRun& operator=(const ProgramRun&) = delete;

  AppCore& App() { return app_; }
  UserStore& Store() { return *store_; }
  // How the controller begins the run (MainController::BeginRun).
  const RunStart& Start() const { return start_; }

 private:
  RunPort port_;
  std::unique_ptr<UserStore> store_;
  std::unique_ptr<DataFolder> dataFolder_;
  AppCore app_;
  RunStart start_;
};

}  // namespace drunvale
