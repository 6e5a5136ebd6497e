// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <memory>
#include <string>

#include "platform/instance_lock.h"

namespace drunvale {

// Copies that share one flag, as copies on one machine share the system's lock; the flag is
// let go when the holder goes.
class SharedInstanceLock final : public InstanceLock {
 public:
  SharedInstanceLock(std::shared_ptr<std::atomic<bool>> taken, std::string meetingPoint)
      : taken_(std::move(taken)), meetingPoint_(std::move(meetingPoint)) {}
  ~SharedInstanceLock() override {
    if (held_) *taken_ = false;
  }

  Result TryAcquire(std::string&) override {
    if (held_) return Result::Acquired;
    bool expected = false;
    held_ = taken_->compare_exchange_strong(expected, true);
    return held_ ? Result::Acquired : Result::HeldByAnother;
  }
  bool Held() const override { return held_; }
  std::string MeetingPoint() const override { return meetingPoint_; }

 private:
  std::shared_ptr<std::atomic<bool>> taken_;
  std::string meetingPoint_;
  bool held_ = false;
};

}  // namespace drunvale
