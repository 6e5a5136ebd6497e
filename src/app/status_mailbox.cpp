// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/status_mailbox.h"

#include <utility>

namespace drunvale {

void StatusMailbox::Show(std::string text) {
  Queue({std::move(text), false});
}

void StatusMailbox::ShowCause(std::string text) {
  Queue({std::move(text), true});
}

void StatusMailbox::Queue(Text text) {
  bool onUiThread = std::this_thread::get_id() == uiThread_;
  bool post = false;
  {
    std::lock_guard lock(mutex_);
    queued_.push_back(std::move(text));
    if (!onUiThread && !deliveryPosted_) post = deliveryPosted_ = true;
  }
  if (onUiThread) {
    Deliver();
  } else if (post) {
    view_.PostToUiThread([this] { Deliver(); });
  }
}

void StatusMailbox::Deliver() {
  std::deque<Text> texts;
  {
    std::lock_guard lock(mutex_);
    texts.swap(queued_);
    deliveryPosted_ = false;
  }
  for (const auto& text : texts) {
    if (text.cause) {
      view_.SetCauseLine(text.text);
    } else {
      if (watcher_) watcher_(text.text);
      view_.SetStatusLine(text.text);
    }
  }
}

}  // namespace drunvale
