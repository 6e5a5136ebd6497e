// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/clock.h"
#include "settings/settings.h"
#include "sound/audio_backend.h"
#include "sound/player_thread.h"
#include "sound/signal_request.h"
#include "sound/sound_device.h"

namespace drunvale {

// Signals the fuel consumption by sound: each value becomes a request (slot, interval, pitch),
// which the player thread renders into the output stream as beeps on a grid of samples or as
// one continuous sound.
class SoundEngine {
 public:
  // How long switching off waits for the player thread before letting it go.
  static constexpr uint32_t kStopWaitMs = 1000;

  explicit SoundEngine(const SharedSettings& settings, HighResClock& clock = SystemHighResClock(),
                       AudioBackend& backend = SystemAudioBackend());
  ~SoundEngine();
  SoundEngine(const SoundEngine&) = delete;
  SoundEngine& operator=(const SoundEngine&) = delete;

  // value in the unit OverLimit is set in. Ignored while the engine is off.
  void SetConsumption(float value);
  // Nothing is measured now: quiet until the next SetConsumption. Called from the thread that
  // calls SetConsumption. Ignored while the engine is off.
  void Silence();
  // Restarts the beep grid now: the next beep starts at once.
  void ResetPhase();
  // On starts the player thread (once), which resumes the output; off stops it, which pauses
  // the output: nothing is mixed while the sound is off.
  void SetEnabled(bool on);
  bool IsEnabled() const { return enabled_.load(); }
  // Gives the three slots their sounds from the settings: the tone or the level's WAV file.
  void ReloadSounds();

  SoundDevice& Device() { return device_; }
  const SoundDevice& Device() const { return device_; }
  int64_t TicksPerMs() const { return signal_->ticksPerMs(); }
  // The current request and the instant of its grid, read under the engine lock.
  SignalSnapshot Request() const { return signal_->Snapshot(); }

 private:
  const SharedSettings& settings_;
  SoundDevice device_;
  std::shared_ptr<SignalState> signal_;
  PlayerThread thread_;
  std::atomic<bool> enabled_{false};
};

}  // namespace drunvale
