// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

namespace drunvale {

// The user or the system asking the program to end: Ctrl+C in its terminal, or SIGTERM from a
// service manager or a shutdown. While a watch lives such a request no longer ends the process
// at once: the program ends itself cleanly instead. One watch at a time.
class TerminationWatch {
 public:
  virtual ~TerminationWatch() = default;  // the system's own handling comes back
};

// onRequest runs on a thread of the watch's own, once per request, and must only hand the
// request on (post it to the thread that acts on it).
using TerminationWatcher =
    std::function<std::unique_ptr<TerminationWatch>(std::function<void()> onRequest)>;

std::unique_ptr<TerminationWatch> WatchTermination(std::function<void()> onRequest);

}  // namespace drunvale
