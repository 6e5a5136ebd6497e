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
  // The program has written what must outlast it (the trip is closed): a system that holds the
  // end of the session for it may let the session end now.
  virtual void Closed() = 0;
};

// onRequest runs on a thread of the watch's own, once per request, and must only hand the
// request on (post it to the thread that acts on it).
using TerminationWatcher =
    std::function<std::unique_ptr<TerminationWatch>(std::function<void()> onRequest)>;

std::unique_ptr<TerminationWatch> WatchTermination(std::function<void()> onRequest);
// The same for a program without windows of its own (the console). On Windows the end of the
// session reaches a process that loads user32 only through its windows: the watch keeps a
// hidden one that hands the end on as a request and holds it until Closed, for a few seconds at
// most. Elsewhere the end of the session is a signal, and this is WatchTermination.
std::unique_ptr<TerminationWatch> WatchTerminationWithoutWindows(std::function<void()> onRequest);

}  // namespace drunvale
