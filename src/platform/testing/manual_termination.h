// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>
#include <mutex>

#include "platform/termination.h"

namespace drunvale {

// Termination requests a test makes: Request calls the live watch's handler, as a signal
// would from the watch's own thread.
class ManualTermination {
 public:
  TerminationWatcher Watcher() {
    return [this](std::function<void()> onRequest) -> std::unique_ptr<TerminationWatch> {
      return std::make_unique<Watch>(*this, std::move(onRequest));
    };
  }
  // False when no watch lives: the request would have ended the process.
  bool Request() {
    std::lock_guard lock(mutex_);
    if (!onRequest_) return false;
    onRequest_();
    return true;
  }

 private:
  class Watch final : public TerminationWatch {
   public:
    Watch(ManualTermination& owner, std::function<void()> onRequest) : owner_(owner) {
      std::lock_guard lock(owner_.mutex_);
      owner_.onRequest_ = std::move(onRequest);
    }
    ~Watch() override {
      std::lock_guard lock(owner_.mutex_);
      owner_.onRequest_ = nullptr;
    }
    void Closed() override {}

   private:
    ManualTermination& owner_;
  };

  std::mutex mutex_;
  std::function<void()> onRequest_;
};

}  // namespace drunvale
