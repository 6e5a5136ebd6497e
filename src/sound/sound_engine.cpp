// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sound_engine.h"

#include <string>

namespace drunvale {

SoundEngine::SoundEngine(const SharedSettings& settings, HighResClock& clock, AudioBackend& backend)
    : settings_(settings), device_(backend), signal_(std::make_shared<SignalState>(clock)) {}

SoundEngine::~SoundEngine() {
  SetEnabled(false);
}

void SoundEngine::SetConsumption(float value) {
  if (!enabled_.load()) return;
  signal_->SetConsumption(settings_.GetParameters(), value);
}

void SoundEngine::Silence() {
  if (!enabled_.load()) return;
  signal_->Silence();
}

void SoundEngine::ResetPhase() {
  signal_->ResetPhase();
}

void SoundEngine::SetEnabled(bool on) {
  if (on) {
    if (thread_.Running()) return;
    signal_->Activate();
    if (thread_.Start(signal_, device_.Slots(), device_.Output(), std::make_shared<PlayerRun>())) {
      enabled_.store(true);
    }
    return;
  }
  if (!thread_.Running()) return;
  enabled_.store(false);
  thread_.Stop(kStopWaitMs);
}

void SoundEngine::ReloadSounds() {
  const Settings s = settings_.Get();
  const auto source = [](const LevelSettings& level, const std::string& path) {
    return level.UseTone ? std::string() : path;
  };
  device_.AssignSound(SoundSlot::Zero, source(s.Params.LevelZero, s.WavZero));
  device_.AssignSound(SoundSlot::MinMax, source(s.Params.LevelMin, s.WavMin));
  device_.AssignSound(SoundSlot::Over, source(s.Params.LevelOver, s.WavOver));
}

}  // namespace drunvale
