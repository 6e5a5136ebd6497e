// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/worker_outlets.h"

namespace drunvale::testing {

// Collects what a link hands out on any thread, with the thread and the moment, and lets a
// test wait for it.
template <typename Item>
class OutletLog {
 public:
  struct Entry {
    Item item;
    std::thread::id thread;
    std::chrono::steady_clock::time_point at;
  };

  void Add(Item item) {
    std::lock_guard lock(mutex_);
    entries_.push_back(
        {std::move(item), std::this_thread::get_id(), std::chrono::steady_clock::now()});
    changed_.notify_all();
  }
  template <typename Pred>
  bool WaitUntil(Pred pred, std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return pred(entries_); });
  }
  bool WaitFor(size_t count, std::chrono::milliseconds timeout) {
    return WaitUntil([&](const auto& e) { return e.size() >= count; }, timeout);
  }
  std::vector<Entry> Entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
  }
  std::vector<Item> All() const {
    std::vector<Item> items;
    for (const Entry& e : Entries())
      items.push_back(e.item);
    return items;
  }
  size_t Count() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Entry> entries_;
};

class TextLog : public OutletLog<std::string> {
 public:
  StatusOut Outlet() {
    return [this](std::string text) { Add(std::move(text)); };
  }
  // Until text has been shown `times` times.
  bool WaitFor(const std::string& text, size_t times, std::chrono::milliseconds timeout) {
    return WaitUntil(
        [&](const auto& entries) {
          return static_cast<size_t>(
                     std::count_if(entries.begin(), entries.end(),
                                   [&](const auto& e) { return e.item == text; })) >= times;
        },
        timeout);
  }
};

struct Sample {
  float speed, air, fuel;
  bool running;
};

class SampleLog : public OutletLog<Sample> {
 public:
  using Sample = testing::Sample;
  SampleOut Outlet() {
    return [this](float speed, float air, float fuel, bool running) {
      Add({speed, air, fuel, running});
    };
  }
};

}  // namespace drunvale::testing
