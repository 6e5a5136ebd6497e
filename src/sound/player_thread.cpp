#include "sound/player_thread.h"

#include <pthread.h>

#include <chrono>
#include <cmath>

#include "sound/beep_player.h"

namespace drunvale {
namespace {

struct ThreadContext {
  std::shared_ptr<SignalState> signal;
  std::shared_ptr<SlotTable> slots;
  std::shared_ptr<PlayerRun> run;
};

void RunPlayer(ThreadContext& context) {
  SignalState& signal = *context.signal;
  PlayerRun& run = *context.run;
  HighResClock& clock = signal.clock();
  const double nsPerTick =
      1e9 / static_cast<double>(clock.Frequency() > 0 ? clock.Frequency() : 10'000'000);
  BeepPlayer player;
  std::unique_lock lock(signal.lock);
  while (!run.stopRequested) {
    const uint64_t seen = signal.changeCount;
    const PlayerStep step = player.PassLocked(signal, clock.Now());
    lock.unlock();
    ApplyStep(*context.slots, step);
    lock.lock();

    auto woken = [&] { return run.stopRequested || signal.changeCount != seen; };
    if (step.wakeAt == kNever) {
      signal.changed.wait(lock, woken);
      continue;
    }
    const int64_t remaining = step.wakeAt - clock.Now();
    if (remaining <= 0) continue;
    // Rounded up: waking a hair early would only cost a second sleep.
    const auto wait = std::chrono::nanoseconds(
        static_cast<int64_t>(std::ceil(static_cast<double>(remaining) * nsPerTick)));
    signal.changed.wait_until(lock, std::chrono::steady_clock::now() + wait, woken);
  }
  lock.unlock();
  context.slots->Stop(player.soundingSlot());
  lock.lock();
  run.ended = true;
  lock.unlock();
  signal.changed.notify_all();
}

}  // namespace

void* PlayerThread::Main(void* raw) {
  std::unique_ptr<ThreadContext> context(static_cast<ThreadContext*>(raw));
  RunPlayer(*context);
  return nullptr;
}

bool PlayerThread::Start(std::shared_ptr<SignalState> signal, std::shared_ptr<SlotTable> slots,
                         std::shared_ptr<PlayerRun> run) {
  if (started_) return true;
  auto context = std::make_unique<ThreadContext>(ThreadContext{signal, std::move(slots), run});
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, kStackBytes);
  pthread_t handle;
  int rc = pthread_create(&handle, &attr, &PlayerThread::Main, context.get());
  pthread_attr_destroy(&attr);
  if (rc != 0) return false;
  context.release();
  // Named here rather than by the thread itself, so that it bears the name from the start.
  pthread_setname_np(handle, kName);
  handle_ = handle;
  signal_ = std::move(signal);
  run_ = std::move(run);
  started_ = true;
  return true;
}

void PlayerThread::Stop(uint32_t timeoutMs) {
  if (!started_) return;
  started_ = false;
  bool ended;
  {
    std::unique_lock lock(signal_->lock);
    run_->stopRequested = true;
    signal_->changed.notify_all();
    ended = signal_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                      [&] { return run_->ended; });
  }
  if (ended) {
    pthread_join(handle_, nullptr);
  } else {
    pthread_detach(handle_);
  }
  signal_.reset();
  run_.reset();
}

}  // namespace drunvale
