#pragma once

#include <pthread.h>

#include <cstddef>
#include <memory>

#include "platform/clock.h"
#include "sound/signal_request.h"
#include "sound/slot_table.h"

namespace drunvale {

// One run of the player thread, guarded by the engine lock: the owner asks it to stop and
// learns when it has ended.
struct PlayerRun {
  bool stopRequested = false;
  bool ended = false;
};

// The thread around BeepPlayer: a pass, its stop and play on the slots (with no engine lock
// held), then a sleep until the next instant, a new request or a stop. Everything it touches
// is shared with it, so a thread the engine stopped waiting for never reaches a freed engine.
class PlayerThread {
 public:
  static constexpr size_t kStackBytes = 256 * 1024;
  static constexpr const char* kName = "drunvale-beep";

  // Starts the thread; false when the system refused.
  bool Start(std::shared_ptr<SignalState> signal, std::shared_ptr<SlotTable> slots,
             std::shared_ptr<PlayerRun> run);
  // Asks it to stop and waits up to timeoutMs; joins it when it ended in time, else lets it
  // go. Safe to call when not running.
  void Stop(uint32_t timeoutMs);
  bool Running() const { return started_; }

  ~PlayerThread() { Stop(1000); }

 private:
  static void* Main(void* context);

  bool started_ = false;
  pthread_t handle_{};
  std::shared_ptr<SignalState> signal_;
  std::shared_ptr<PlayerRun> run_;
};

}  // namespace drunvale
