// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>

#include "platform/console_keys.h"

namespace drunvale {

// Keys a test types: handed out in order, then none until Cancel, as from a terminal where
// nobody types any more.
class ScriptedConsoleKeys final : public ConsoleKeys {
 public:
  explicit ScriptedConsoleKeys(std::string keys) : keys_(std::move(keys)) {}

  std::optional<char> WaitForKey() override {
    std::unique_lock lock(mutex_);
    if (!cancelled_ && next_ < keys_.size()) return keys_[next_++];
    changed_.wait(lock, [this] { return cancelled_; });
    return std::nullopt;
  }
  void Cancel() override {
    {
      std::lock_guard lock(mutex_);
      cancelled_ = true;
    }
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string keys_;
  size_t next_ = 0;
  bool cancelled_ = false;
};

}  // namespace drunvale
