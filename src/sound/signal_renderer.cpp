// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/signal_renderer.h"

#include <algorithm>
#include <cmath>

namespace drunvale {

int32_t BeepLengthMs(int32_t intervalMs) {
  const double x = intervalMs;
  return static_cast<int32_t>(std::floor(2.5 * x / (static_cast<double>(0.0025f) * x + 4.0) + 0.5));
}

int32_t AttenuationForVolume(int32_t volume) {
  const double v = std::clamp(volume, 0, 100);
  const auto n = static_cast<int32_t>(static_cast<double>(-1.2f) * v /
                                      (static_cast<double>(0.01f) * v + static_cast<double>(0.2f)));
  return -10000 - 100 * n;
}

void SignalRenderer::Apply(const SignalRequest& request, bool newGrid) {
  const int64_t now = position_ * kSubFrames;
  const SignalRequest old = request_;
  request_ = request;
  if (newGrid || request.slot != old.slot) {
    dueAt_ = gridOrigin_ = now;
  } else if (request.intervalMs != old.intervalMs) {
    if (dueAt_ != kNever) {
      dueAt_ += Ms(request.intervalMs - old.intervalMs);
    } else if (request.slot != SoundSlot::None) {
      dueAt_ = now + Ms(request.intervalMs);  // a continuous sound counts as started just now
    }
    gridOrigin_ = dueAt_;
  } else if (request.intervalMs == 0 && voice_.playing() && voiceSlot_ == request.slot) {
    voice_.Play(request.pitch, true);  // a continuous sound takes a new pitch at once
  }
}

void SignalRenderer::SetSounds(const SlotSounds& sounds) {
  const bool replaced =
      IsSlot(voiceSlot_) && sounds[SlotIndex(voiceSlot_)] != sounds_[SlotIndex(voiceSlot_)];
  sounds_ = sounds;
  if (!replaced) return;
  const bool wasPlaying = voice_.playing();
  voice_.Load(sounds_[SlotIndex(voiceSlot_)]);
  if (wasPlaying) voice_.Play(request_.pitch, request_.loop || request_.intervalMs == 0);
}

void SignalRenderer::SetVolume(int32_t volume) {
  const int32_t attenuation = AttenuationForVolume(volume);
  gain_ = attenuation <= -10000 ? 0.0f : static_cast<float>(std::pow(10.0, attenuation / 2000.0));
}

void SignalRenderer::StartVoice(SoundSlot slot, const SignalRequest& request) {
  if (slot != voiceSlot_) {
    voice_.Stop();
    voiceSlot_ = slot;
    voice_.Load(IsSlot(slot) ? sounds_[SlotIndex(slot)] : nullptr);
  }
  // A continuous level loops even a sound that plays once: it starts again as it ends.
  if (slot != SoundSlot::None) voice_.Play(request.pitch, request.loop || request.intervalMs == 0);
}

void SignalRenderer::StartDue() {
  const int64_t now = position_ * kSubFrames;
  const SignalRequest request = request_;
  if (request.slot == SoundSlot::None) {
    dueAt_ = kNever;
    beeping_ = false;
    StartVoice(SoundSlot::None, request);
    return;
  }
  if (request.intervalMs != 0) {
    const int64_t period = Ms(request.intervalMs);
    dueAt_ = gridOrigin_ = now + period - (now - gridOrigin_) % period;
  } else {
    dueAt_ = kNever;
  }
  StartVoice(request.slot, request);
  if (request.intervalMs != 0) {
    stopAt_ = dueAt_ - Ms(request.intervalMs - BeepLengthMs(request.intervalMs));
    beeping_ = true;
  } else {
    beeping_ = false;
  }
}

bool SignalRenderer::RunEvents() {
  if (FrameOf(dueAt_) <= position_) {
    StartDue();
    return true;
  }
  if (beeping_ && FrameOf(stopAt_) <= position_) {
    voice_.Stop();
    beeping_ = false;
    return true;
  }
  return false;
}

void SignalRenderer::Render(std::span<float> stereo) {
  std::fill(stereo.begin(), stereo.end(), 0.0f);
  const int64_t end = position_ + static_cast<int64_t>(stereo.size() / 2);
  float* out = stereo.data();
  while (position_ < end) {
    while (RunEvents()) {
    }
    int64_t next = std::min(end, FrameOf(dueAt_));
    if (beeping_) next = std::min(next, FrameOf(stopAt_));
    voice_.Render(out, static_cast<size_t>(next - position_), gain_);
    out += 2 * (next - position_);
    position_ = next;
  }
}

}  // namespace drunvale
