// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "app/main_view.h"

namespace drunvale {

// Carries the link's status texts to the view in the order they were shown. A text from the
// UI thread is delivered at once (after any still queued), so "Отсоединяемся..." is on screen
// while Stop waits; a text from the worker is queued and posted, so the worker never waits on
// the UI thread.
class StatusMailbox {
 public:
  explicit StatusMailbox(MainView& view) : view_(view), uiThread_(std::this_thread::get_id()) {}

  void Show(std::string text);
  // The cause line, delivered in order with the status texts.
  void ShowCause(std::string text);
  // Runs on the UI thread: hands every queued text to the view, oldest first.
  void Deliver();
  // Hears every status text on the UI thread, just before the view shows it.
  void WatchStatus(std::function<void(const std::string&)> watcher) {
    watcher_ = std::move(watcher);
  }

 private:
  struct Text {
    std::string text;
    bool cause = false;
  };
  void Queue(Text text);

  MainView& view_;
  std::function<void(const std::string&)> watcher_;
  const std::thread::id uiThread_;
  std::mutex mutex_;
  std::deque<Text> queued_;
  bool deliveryPosted_ = false;
};

}  // namespace drunvale
