// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace drunvale {

// Copies the dialog logic into the window's controls after each user event. Setting a control
// raises events of its own; those change the logic but must not start a second copy while the
// first is half done, so they only ask for one more pass.
class ControlSync {
 public:
  bool Syncing() const { return syncing_; }

  void Apply(const std::function<void()>& event, const std::function<void()>& sync) {
    event();
    if (syncing_) {
      resync_ = true;
      return;
    }
    do {
      resync_ = false;
      syncing_ = true;
      sync();
      syncing_ = false;
    } while (resync_);
  }

 private:
  bool syncing_ = false;
  bool resync_ = false;
};

}  // namespace drunvale
