// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/sound_buffer.h"

#include <algorithm>
#include <limits>

#include "sound/wave_reader.h"

namespace drunvale {
namespace {

// The file's PCM as floats: 8-bit samples are unsigned around 128, 16-bit ones signed.
SoundResult DecodeWave(const WaveData& wave, SoundSamples& out) {
  const PcmFormat& f = wave.format;
  const bool usable = (f.channels == 1 || f.channels == 2) &&
                      (f.bitsPerSample == 8 || f.bitsPerSample == 16) &&
                      f.blockAlign == f.channels * f.bitsPerSample / 8;
  if (!usable) return SoundStatus::BadFormat;
  const size_t frames = wave.samples.size() / f.blockAlign;  // whole frames only
  if (frames == 0) return SoundStatus::InvalidParam;
  out.tone = false;
  out.rate = f.samplesPerSec;
  out.channels = f.channels;
  out.frames.resize(frames * f.channels);
  const uint8_t* in = wave.samples.data();
  for (size_t i = 0; i < out.frames.size(); ++i) {
    if (f.bitsPerSample == 8) {
      out.frames[i] = (static_cast<float>(in[i]) - 128.0f) / 128.0f;
    } else {
      const auto s = static_cast<int16_t>(in[2 * i] | (in[2 * i + 1] << 8));
      out.frames[i] = static_cast<float>(s) / 32768.0f;
    }
  }
  return SoundStatus::Ok;
}

}  // namespace

SoundResult SoundBuffer::Load(const std::string& source) {
  auto samples = std::make_shared<SoundSamples>();
  int32_t rateFactor = kToneRateFactor;
  int32_t nativeRate = static_cast<int32_t>(kToneRate) / kToneRateFactor;
  if (!source.empty()) {
    WaveData wave;
    if (SoundResult r = ReadWaveFile(source, wave); r != SoundStatus::Ok) return r;
    if (SoundResult r = DecodeWave(wave, *samples); r != SoundStatus::Ok) return r;
    rateFactor = 1;
    nativeRate = static_cast<int32_t>(
        std::min<uint32_t>(wave.format.samplesPerSec, std::numeric_limits<int32_t>::max()));
  }
  std::lock_guard lock(mutex_);
  rateFactor_ = rateFactor;
  nativeRate_ = nativeRate;
  source_ = source;
  samples_ = std::move(samples);
  return SoundStatus::Ok;
}

int32_t SoundBuffer::NativeRate() const {
  std::lock_guard lock(mutex_);
  return nativeRate_;
}

int32_t SoundBuffer::RateFactor() const {
  std::lock_guard lock(mutex_);
  return rateFactor_;
}

std::string SoundBuffer::Source() const {
  std::lock_guard lock(mutex_);
  return source_;
}

std::shared_ptr<const SoundSamples> SoundBuffer::Samples() const {
  std::lock_guard lock(mutex_);
  return samples_;
}

}  // namespace drunvale
