// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/player_thread.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <system_error>
#include <vector>

#include "platform/thread_name.h"
#include "sound/signal_renderer.h"

namespace drunvale {
namespace {

using Steady = std::chrono::steady_clock;
constexpr auto kReopenPause = std::chrono::seconds(1);
constexpr auto kNoWake = std::chrono::hours(24);

// What one pass of the player keeps from the last: the renderer on the current stream and
// what it has been told.
class Player {
 public:
  Player(SlotTable& slots, OutputLine& output) : slots_(slots), output_(output) {}

  // Brings the renderer up to date with the request, the slots and the volume, and writes what
  // the stream can take. Returns how long to sleep unless woken.
  Steady::duration Pass(const SignalSnapshot& signal) {
    std::lock_guard guard(output_.lock);
    if (!output_.HasDevice()) return kNoWake;  // never had one: silent, as without a device
    AudioStream* stream = output_.StreamLocked();
    if (!stream || stream->Lost()) {
      const auto now = Steady::now();
      if (now < nextReopen_) return nextReopen_ - now;
      nextReopen_ = now + kReopenPause;
      if (!output_.ReopenLocked()) return kReopenPause;
      stream = output_.StreamLocked();
      renderer_.reset();
    }
    const uint32_t rate = stream->Format().rate;
    if (!renderer_ || renderer_->rate() != rate) {
      renderer_ = std::make_unique<SignalRenderer>(rate);
      fresh_ = true;
    }
    if (fresh_ || slots_.Generation() != slotGeneration_) {
      slotGeneration_ = slots_.Generation();
      renderer_->SetSounds(slots_.Snapshot());
    }
    const int32_t volume = output_.volume.load();
    if (fresh_ || volume != volume_) renderer_->SetVolume(volume_ = volume);
    if (fresh_ || signal.restarts != restarts_ || !(signal.request == request_)) {
      renderer_->Apply(signal.request, fresh_ || signal.restarts != restarts_);
      restarts_ = signal.restarts;
      request_ = signal.request;
    }
    fresh_ = false;

    if (const uint32_t frames = stream->Writable(); frames > 0) {
      mix_.resize(2 * static_cast<size_t>(frames));
      pcm_.resize(mix_.size());
      renderer_->Render(mix_);
      for (size_t i = 0; i < mix_.size(); ++i) {
        const float x = std::clamp(mix_[i], -1.0f, 1.0f) * 32767.0f;
        pcm_[i] = static_cast<int16_t>(x + (x < 0 ? -0.5f : 0.5f));  // rounded, half away
      }
      // A write that does not go means a lost stream, which the next pass finds and reopens.
      (void)stream->Write(pcm_);
    }
    // Again when about half of what the stream holds has played.
    return std::chrono::duration_cast<Steady::duration>(
        std::chrono::duration<double>(stream->Capacity() / 2.0 / rate));
  }

  void PauseOutput() {
    std::lock_guard guard(output_.lock);
    // A stream that will not pause is lost, and found so when the sound comes back.
    if (AudioStream* stream = output_.StreamLocked()) (void)stream->Pause();
  }

 private:
  SlotTable& slots_;
  OutputLine& output_;
  std::unique_ptr<SignalRenderer> renderer_;
  bool fresh_ = true;
  uint64_t slotGeneration_ = 0;
  int32_t volume_ = 0;
  uint64_t restarts_ = 0;
  SignalRequest request_;
  Steady::time_point nextReopen_{};
  std::vector<float> mix_;
  std::vector<int16_t> pcm_;
};

void RunPlayer(SignalState& signal, SlotTable& slots, OutputLine& output, PlayerRun& run) {
  NameCurrentThread(PlayerThread::kName);
  Player player(slots, output);
  std::unique_lock lock(signal.lock);
  run.started = true;
  signal.changed.notify_all();
  while (!run.stopRequested) {
    const uint64_t seen = signal.changeCount;
    const SignalSnapshot snapshot = signal.SnapshotLocked();
    lock.unlock();
    const Steady::duration sleep = player.Pass(snapshot);
    lock.lock();
    signal.changed.wait_for(lock, sleep,
                            [&] { return run.stopRequested || signal.changeCount != seen; });
  }
  lock.unlock();
  player.PauseOutput();
  lock.lock();
  run.ended = true;
  lock.unlock();
  signal.changed.notify_all();
}

}  // namespace

bool PlayerThread::Start(std::shared_ptr<SignalState> signal, std::shared_ptr<SlotTable> slots,
                         std::shared_ptr<OutputLine> output, std::shared_ptr<PlayerRun> run) {
  if (Running()) return true;
  {
    std::lock_guard guard(output->lock);
    // A stream that will not play is found lost at the player's first pass.
    if (AudioStream* stream = output->StreamLocked()) (void)stream->Resume();
  }
  try {
    // The thread holds its own references: it may outlive an engine that stopped waiting.
    thread_ =
        std::thread([signal, slots, output, run] { RunPlayer(*signal, *slots, *output, *run); });
  } catch (const std::system_error&) {
    std::lock_guard guard(output->lock);
    if (AudioStream* stream = output->StreamLocked()) (void)stream->Pause();
    return false;
  }
  // Back once it bears its name and plays: what is asked of it from now on is heard.
  std::unique_lock lock(signal->lock);
  signal->changed.wait(lock, [&] { return run->started; });
  lock.unlock();
  signal_ = std::move(signal);
  run_ = std::move(run);
  return true;
}

void PlayerThread::Stop(uint32_t timeoutMs) {
  if (!Running()) return;
  bool ended;
  {
    std::unique_lock lock(signal_->lock);
    run_->stopRequested = true;
    signal_->changed.notify_all();
    ended = signal_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                      [&] { return run_->ended; });
  }
  if (ended) {
    thread_.join();
  } else {
    thread_.detach();
  }
  signal_.reset();
  run_.reset();
}

}  // namespace drunvale
