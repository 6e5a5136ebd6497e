// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include "platform/display_keeper.h"

namespace drunvale {
namespace {

// ES_CONTINUOUS keeps the request until this thread changes it; ES_DISPLAY_REQUIRED keeps the
// display from turning off, ES_SYSTEM_REQUIRED the computer from idling into sleep meanwhile.
class ExecutionStateDisplayKeeper final : public DisplayKeeper {
 public:
  ~ExecutionStateDisplayKeeper() override { Release(); }
  void Hold() override {
    if (held_) return;
    held_ = SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED) != 0;
  }
  void Release() override {
    if (!held_) return;
    SetThreadExecutionState(ES_CONTINUOUS);
    held_ = false;
  }

 private:
  bool held_ = false;
};

}  // namespace

std::unique_ptr<DisplayKeeper> MakeSystemDisplayKeeper() {
  return std::make_unique<ExecutionStateDisplayKeeper>();
}

}  // namespace drunvale
