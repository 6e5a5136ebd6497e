// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory>
#include <thread>

#include "sound/output_line.h"
#include "sound/signal_request.h"
#include "sound/slot_table.h"

namespace drunvale {

// One run of the player thread, guarded by the engine lock: the owner asks it to stop and
// learns when it has ended.
struct PlayerRun {
  bool started = false;
  bool stopRequested = false;
  bool ended = false;
};

// The thread that renders the signal into the output stream, a few periods ahead. It takes
// each new request to the frame it has reached, tops the stream up when about half of it has
// played, and sleeps in between; a lost device is opened again once a second. Start resumes
// the stream (on the caller's thread, so that the device's own threads do not take the
// player's name) and the thread pauses it when it ends. Everything it touches is shared with
// it, so a thread the engine stopped waiting for never reaches a freed engine.
class PlayerThread {
 public:
  static constexpr const char* kName = "drunvale-beep";

  // Starts the thread; false when the system refused.
  bool Start(std::shared_ptr<SignalState> signal, std::shared_ptr<SlotTable> slots,
             std::shared_ptr<OutputLine> output, std::shared_ptr<PlayerRun> run);
  // Asks it to stop and waits up to timeoutMs; joins it when it ended in time, else lets it
  // go. Safe to call when not running.
  void Stop(uint32_t timeoutMs);
  bool Running() const { return thread_.joinable(); }

  ~PlayerThread() { Stop(1000); }

 private:
  std::thread thread_;
  std::shared_ptr<SignalState> signal_;
  std::shared_ptr<PlayerRun> run_;
};

}  // namespace drunvale
