// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/console_loop.h"

#include <thread>

#include "platform/thread_name.h"

namespace drunvale {

ConsoleLoop::ConsoleLoop(ConsoleKeysOpener openKeys, TerminationWatcher watchTermination)
    : openKeys_(std::move(openKeys)), watchTermination_(std::move(watchTermination)) {}

void ConsoleLoop::Post(std::function<void()> task) {
  {
    std::lock_guard lock(mutex_);
    posted_.push_back(std::move(task));
  }
  postedChanged_.notify_one();
}

void ConsoleLoop::StartTimer(int periodMs, std::function<void()> onTick) {
  timerPeriod_ = std::chrono::milliseconds(periodMs);
  onTick_ = std::move(onTick);
  nextTick_ = Clock::now() + timerPeriod_;
}

void ConsoleLoop::StopTimer() {
  timerPeriod_ = std::chrono::milliseconds(0);
}

void ConsoleLoop::RunPosted() {
  std::vector<std::function<void()>> tasks;
  {
    std::lock_guard lock(mutex_);
    tasks.swap(posted_);
  }
  for (auto& task : tasks)
    task();
}

void ConsoleLoop::Terminate() {
  // A second Ctrl+C while the first is being served changes nothing.
  if (terminating_.exchange(true)) return;
  Post([this] {
    if (onTerminate_) onTerminate_();
  });
}

void ConsoleLoop::Closed() {
  if (watch_) watch_->Closed();
}

void ConsoleLoop::Run() {
  quit_ = false;
  terminating_ = false;
  if (watchTermination_) watch_ = watchTermination_([this] { Terminate(); });
  const auto keys = openKeys_ ? openKeys_() : nullptr;
  std::thread keyReader;
  if (keys) {
    keyReader = std::thread([this, &keys] {
      NameCurrentThread("drunvale-keys");
      while (const std::optional<char> key = keys->WaitForKey()) {
        // A key that comes after the end was asked for is not acted on.
        Post([this, pressed = *key] {
          if (onKey_ && !quit_) onKey_(pressed);
        });
      }
    });
  }

  while (!quit_) {
    {
      std::unique_lock lock(mutex_);
      auto ready = [this] { return !posted_.empty(); };
      if (timerPeriod_.count() > 0) {
        postedChanged_.wait_until(lock, nextTick_, ready);
      } else {
        postedChanged_.wait(lock, ready);
      }
    }
    RunPosted();
    if (!quit_ && timerPeriod_.count() > 0 && Clock::now() >= nextTick_) {
      nextTick_ += timerPeriod_;
      // After a long stall, tick once and start the period afresh instead of catching up.
      if (nextTick_ <= Clock::now()) nextTick_ = Clock::now() + timerPeriod_;
      if (onTick_) onTick_();
    }
  }
  if (keys) {
    keys->Cancel();
    keyReader.join();
  }
  RunPosted();
  watch_.reset();
}

}  // namespace drunvale
