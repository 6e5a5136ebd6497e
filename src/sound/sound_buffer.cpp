#include "sound/sound_buffer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "sound/wave_reader.h"

namespace drunvale {
namespace {

constexpr std::array<uint8_t, 12> kTrianglePeriod = {128, 170, 212, 254, 212, 170,
                                                     128, 86,  44,  2,   44,  86};
constexpr int kRestoreTries = 50;
constexpr uint32_t kRestorePauseMs = 10;

// rateFactor x pitch truncated towards zero, kept inside what a rate can be: a pitch out of
// range (or not a number) must not turn into undefined behaviour on the way to an integer.
int32_t RateFor(int32_t rateFactor, float pitch) {
  double rate = static_cast<double>(rateFactor) * static_cast<double>(pitch);
  if (!(rate >= 0.0)) return 0;
  if (rate >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
    return std::numeric_limits<int32_t>::max();
  }
  return static_cast<int32_t>(rate);
}

}  // namespace

SoundBuffer::SoundBuffer(std::shared_ptr<AudioDevice> device) : device_(std::move(device)) {}

SoundBuffer::~SoundBuffer() {
  std::lock_guard lock(mutex_);
  StopAndRewindLocked();
  buffer_.reset();
}

int32_t SoundBuffer::AttenuationForVolume(int32_t volume) {
  const double v = std::clamp(volume, 0, 100);
  const auto n = static_cast<int32_t>(static_cast<double>(-1.2f) * v /
                                      (static_cast<double>(0.01f) * v + static_cast<double>(0.2f)));
  return -10000 - 100 * n;
}

SoundResult SoundBuffer::Load(const std::string& source) {
  std::lock_guard lock(mutex_);
  return LoadLocked(source);
}

SoundResult SoundBuffer::LoadLocked(const std::string& source) {
  if (buffer_) {
    StopAndRewindLocked();
    buffer_.reset();
  }
  SoundResult r = source.empty() ? MakeTone() : ReadWav(source);
  if (r != kSoundOk) {
    buffer_.reset();
    return r;
  }
  source_ = source;
  // A rebuilt buffer starts at its own rate and full volume: the next play sets the rate again,
  // and the volume last asked for is put back now.
  lastRate_.reset();
  if (lastAttenuation_) buffer_->SetVolume(*lastAttenuation_);
  return kSoundOk;
}

SoundResult SoundBuffer::CreatePlatformBuffer(const BufferDescription& description) {
  SoundResult r = device_->CreateBuffer(description, buffer_);
  if (r != kSoundOk) {
    BufferDescription local = description;
    local.globalFocus = false;
    r = device_->CreateBuffer(local, buffer_);
  }
  if (r != kSoundOk) buffer_.reset();
  return r;
}

SoundResult SoundBuffer::MakeTone() {
  BufferDescription description;
  description.format = MakePcmFormat(1, kToneRate, 8);
  description.bytes = kToneBytes;
  if (SoundResult r = CreatePlatformBuffer(description); r != kSoundOk) return r;
  RestoreIfLostLocked();
  std::array<uint8_t, kToneBytes> samples{};
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = kTrianglePeriod[i % 12];
  if (SoundResult r = buffer_->Write(samples); r != kSoundOk) return r;
  rateFactor_ = kToneRateFactor;
  nativeRate_ = static_cast<int32_t>(kToneRate) / kToneRateFactor;
  return kSoundOk;
}

SoundResult SoundBuffer::ReadWav(const std::string& path) {
  WaveData wave;
  if (SoundResult r = ReadWaveFile(path, wave); r != kSoundOk) return r;
  rateFactor_ = 1;
  nativeRate_ = static_cast<int32_t>(
      std::min<uint32_t>(wave.format.samplesPerSec, std::numeric_limits<int32_t>::max()));
  BufferDescription description;
  description.format = wave.format;
  description.bytes = static_cast<uint32_t>(wave.samples.size());
  if (SoundResult r = CreatePlatformBuffer(description); r != kSoundOk) return r;
  RestoreIfLostLocked();
  return buffer_->Write(wave.samples);
}

SoundResult SoundBuffer::RestoreIfLost() {
  std::lock_guard lock(mutex_);
  return RestoreIfLostLocked();
}

SoundResult SoundBuffer::RestoreIfLostLocked() {
  if (!buffer_) return kSoundFail;
  uint32_t status = 0;
  if (SoundResult r = buffer_->GetStatus(status); r != kSoundOk) return r;
  if ((status & kStatusLost) == 0) return kSoundOk;
  SoundResult r = kSoundBufferLost;
  for (int i = 0; i < kRestoreTries; ++i) {
    r = buffer_->Restore();
    if (r != kSoundBufferLost) break;
    device_->PauseMs(kRestorePauseMs);
  }
  return r;
}

SoundResult SoundBuffer::ApplyRate(int32_t rate) {
  lastRate_ = rate;
  return buffer_->SetFrequency(static_cast<uint32_t>(rate));
}

SoundResult SoundBuffer::Play(float pitch, bool loop) {
  std::lock_guard lock(mutex_);
  if (!buffer_) return kSoundFail;
  const int32_t rate = RateFor(rateFactor_, pitch);
  if (rate != lastRate_) ApplyRate(rate);  // a refused rate leaves the previous one

  uint32_t status = 0;
  if (buffer_->GetStatus(status) != kSoundOk) status = 0;
  SoundResult r;
  const bool looping = (status & kStatusLooping) != 0;
  if ((status & kStatusPlaying) != 0 && looping == loop) {
    r = (status & kStatusLost) != 0 ? kSoundBufferLost : kSoundOk;
  } else {
    r = buffer_->Play(loop);
  }
  if (r != kSoundBufferLost) return r;

  if (SoundResult rebuilt = LoadLocked(source_); rebuilt != kSoundOk) return rebuilt;
  ApplyRate(rate);
  return buffer_->Play(loop);
}

SoundResult SoundBuffer::SetVolume(int32_t volume) {
  std::lock_guard lock(mutex_);
  if (!buffer_) return kSoundFail;
  lastAttenuation_ = AttenuationForVolume(volume);
  return buffer_->SetVolume(*lastAttenuation_);
}

void SoundBuffer::StopAndRewind() {
  std::lock_guard lock(mutex_);
  StopAndRewindLocked();
}

void SoundBuffer::StopAndRewindLocked() {
  if (!buffer_) return;
  buffer_->Stop();
  buffer_->Rewind();
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

bool SoundBuffer::HasBuffer() const {
  std::lock_guard lock(mutex_);
  return buffer_ != nullptr;
}

}  // namespace drunvale
