// OpenAL Soft behind the audio seam: one AL buffer and one AL source per sound.
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <mutex>
#include <thread>

#include "sound/audio_backend.h"

namespace drunvale {
namespace {

// OpenAL Soft 1.19's mixer steps through a buffer in 1/4096ths of a sample per output sample
// and caps the step at 255 samples. Rates below 20 steps would be off by more than 2.5 %.
constexpr uint32_t kStepUnits = 4096;
constexpr uint32_t kMaxStep = 255;
constexpr uint32_t kMinExactSteps = 20;
// Short mixing periods, so a beep is heard within a few ms of its play call.
constexpr ALCint kRefreshHz = 250;

// The current context is process-wide state and two engines may own a device each, so every
// AL call happens under one lock with its own device's context made current.
std::mutex& AlLock() {
  static std::mutex lock;
  return lock;
}

ALenum AlFormat(const PcmFormat& f) {
  if (f.formatTag != kWaveFormatPcm || f.blockAlign != f.channels * f.bitsPerSample / 8) {
    return AL_NONE;
  }
  if (f.channels == 1 && f.bitsPerSample == 8) return AL_FORMAT_MONO8;
  if (f.channels == 1 && f.bitsPerSample == 16) return AL_FORMAT_MONO16;
  if (f.channels == 2 && f.bitsPerSample == 8) return AL_FORMAT_STEREO8;
  if (f.channels == 2 && f.bitsPerSample == 16) return AL_FORMAT_STEREO16;
  return AL_NONE;
}

class OpenAlDevice;

class OpenAlPrimary final : public AudioPrimaryBuffer {
 public:
  explicit OpenAlPrimary(std::shared_ptr<OpenAlDevice> device) : device_(std::move(device)) {}
  SoundResult SetFormat(const PcmFormat& format) override;

 private:
  std::shared_ptr<OpenAlDevice> device_;
};

class OpenAlDevice final : public AudioDevice, public std::enable_shared_from_this<OpenAlDevice> {
 public:
  ~OpenAlDevice() override {
    std::lock_guard lock(AlLock());
    CloseLocked();
  }

  SoundResult Open() {
    std::lock_guard lock(AlLock());
    return OpenLocked(0);
  }

  SoundResult SetCooperativeLevel(CooperativeLevel) override { return kSoundOk; }

  SoundResult CreatePrimaryBuffer(std::unique_ptr<AudioPrimaryBuffer>& out) override {
    out = std::make_unique<OpenAlPrimary>(shared_from_this());
    return kSoundOk;
  }

  SoundResult CreateBuffer(const BufferDescription& description,
                           std::unique_ptr<AudioBuffer>& out) override;

  SoundResult GetCaps(DeviceCaps& caps) override {
    std::lock_guard lock(AlLock());
    if (!device_) return kSoundFail;
    caps.minSecondaryRate = (kMinExactSteps * mixRate_ + kStepUnits - 1) / kStepUnits;
    caps.maxSecondaryRate = kMaxStep * mixRate_;
    return kSoundOk;
  }

  void PauseMs(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

  // The output rate a primary format asks for: the device is reset to mix at it.
  SoundResult SetOutputRate(uint32_t rate) {
    std::lock_guard lock(AlLock());
    if (!device_ || !alcIsExtensionPresent(device_, "ALC_SOFT_HRTF")) return kSoundBadFormat;
    auto reset =
        reinterpret_cast<LPALCRESETDEVICESOFT>(alcGetProcAddress(device_, "alcResetDeviceSOFT"));
    const ALCint attributes[] = {ALC_FREQUENCY, static_cast<ALCint>(rate), ALC_REFRESH, kRefreshHz,
                                 0};
    if (!reset || !reset(device_, attributes)) return kSoundBadFormat;
    ReadMixRateLocked();
    return kSoundOk;
  }

  // Everything below runs under AlLock.
  bool MakeCurrentLocked() {
    if (!context_) return false;
    if (alcGetCurrentContext() != context_) return alcMakeContextCurrent(context_) == ALC_TRUE;
    return true;
  }
  bool ConnectedLocked() {
    if (!device_) return false;
    if (!alcIsExtensionPresent(device_, "ALC_EXT_disconnect")) return true;
    ALCint connected = 1;
    alcGetIntegerv(device_, ALC_CONNECTED, 1, &connected);
    return connected != 0;
  }
  uint64_t generation() const { return generation_; }
  uint32_t mixRate() const { return mixRate_; }

 private:
  SoundResult OpenLocked(uint64_t generation) {
    device_ = alcOpenDevice(nullptr);
    if (!device_) return kSoundNoDriver;
    const ALCint attributes[] = {ALC_REFRESH, kRefreshHz, 0};
    context_ = alcCreateContext(device_, attributes);
    if (!context_) {
      alcCloseDevice(device_);
      device_ = nullptr;
      return kSoundNoDriver;
    }
    generation_ = generation;
    ReadMixRateLocked();
    return kSoundOk;
  }

  void CloseLocked() {
    if (context_) {
      if (alcGetCurrentContext() == context_) alcMakeContextCurrent(nullptr);
      alcDestroyContext(context_);
      context_ = nullptr;
    }
    if (device_) alcCloseDevice(device_);
    device_ = nullptr;
  }

  void ReadMixRateLocked() {
    ALCint rate = 0;
    alcGetIntegerv(device_, ALC_FREQUENCY, 1, &rate);
    mixRate_ = rate > 0 ? static_cast<uint32_t>(rate) : 44100;
  }

 public:
  // A disconnected device is opened anew; the buffers made on the old one report themselves
  // lost and get rebuilt by their owners.
  bool EnsureConnectedLocked() {
    if (ConnectedLocked()) return true;
    const uint64_t next = generation_ + 1;
    CloseLocked();
    return OpenLocked(next) == kSoundOk;
  }

 private:
  ALCdevice* device_ = nullptr;
  ALCcontext* context_ = nullptr;
  uint32_t mixRate_ = 44100;
  uint64_t generation_ = 0;
};

SoundResult OpenAlPrimary::SetFormat(const PcmFormat& format) {
  // The mixer works in float and outputs what the driver takes; of the format only the rate
  // can be given to the device.
  if (AlFormat(format) == AL_NONE) return kSoundBadFormat;
  return device_->SetOutputRate(format.samplesPerSec);
}

class OpenAlBuffer final : public AudioBuffer {
 public:
  OpenAlBuffer(std::shared_ptr<OpenAlDevice> device, ALuint buffer, ALuint source, ALenum format,
               const PcmFormat& pcm)
      : device_(std::move(device)),
        generation_(device_->generation()),
        buffer_(buffer),
        source_(source),
        format_(format),
        pcm_(pcm) {}

  ~OpenAlBuffer() override {
    std::lock_guard lock(AlLock());
    // Names of a device that has since been reopened died with its old context.
    if (!LiveLocked()) return;
    alSourceStop(source_);
    alSourcei(source_, AL_BUFFER, 0);
    alDeleteSources(1, &source_);
    alDeleteBuffers(1, &buffer_);
  }

  SoundResult Write(std::span<const uint8_t> bytes) override {
    std::lock_guard lock(AlLock());
    if (!LiveLocked()) return kSoundBufferLost;
    // OpenAL takes whole sample frames only.
    const size_t usable = bytes.size() - bytes.size() % pcm_.blockAlign;
    if (usable == 0) return kSoundInvalidParam;
    alGetError();
    alBufferData(buffer_, format_, bytes.data(), static_cast<ALsizei>(usable),
                 static_cast<ALsizei>(pcm_.samplesPerSec));
    alSourcei(source_, AL_BUFFER, static_cast<ALint>(buffer_));
    return alGetError() == AL_NO_ERROR ? kSoundOk : kSoundFail;
  }

  SoundResult SetFrequency(uint32_t samplesPerSec) override {
    std::lock_guard lock(AlLock());
    if (!LiveLocked()) return kSoundBufferLost;
    const double mixRate = device_->mixRate();
    // Below one step per output sample the mixer would stand still; above the cap it clamps.
    if (samplesPerSec * static_cast<double>(kStepUnits) < mixRate ||
        samplesPerSec > kMaxStep * mixRate) {
      return kSoundInvalidParam;
    }
    alSourcef(source_, AL_PITCH,
              static_cast<ALfloat>(static_cast<double>(samplesPerSec) / pcm_.samplesPerSec));
    return kSoundOk;
  }

  SoundResult SetVolume(int32_t attenuation) override {
    std::lock_guard lock(AlLock());
    if (!LiveLocked()) return kSoundBufferLost;
    if (attenuation < -10000 || attenuation > 0) return kSoundInvalidParam;
    const double gain = attenuation == -10000 ? 0.0 : std::pow(10.0, attenuation / 2000.0);
    alSourcef(source_, AL_GAIN, static_cast<ALfloat>(gain));
    return kSoundOk;
  }

  SoundResult Play(bool loop) override {
    std::lock_guard lock(AlLock());
    if (!LiveLocked()) return kSoundBufferLost;
    alSourcei(source_, AL_LOOPING, loop ? AL_TRUE : AL_FALSE);
    // A playing source only changes its looping; playing it again would restart it.
    if (StateLocked() != AL_PLAYING) alSourcePlay(source_);
    return kSoundOk;
  }

  SoundResult Stop() override {
    std::lock_guard lock(AlLock());
    if (!LiveLocked()) return kSoundBufferLost;
    // Paused keeps the position, as a stopped buffer does; Rewind goes back to the start.
    if (StateLocked() == AL_PLAYING) alSourcePause(source_);
    return kSoundOk;
  }

  SoundResult Rewind() override {
    std::lock_guard lock(AlLock());
    if (!LiveLocked()) return kSoundBufferLost;
    alSourceRewind(source_);
    return kSoundOk;
  }

  SoundResult GetStatus(uint32_t& status) override {
    std::lock_guard lock(AlLock());
    status = 0;
    if (!LiveLocked() || !device_->ConnectedLocked()) {
      status = kStatusLost;
      return kSoundOk;
    }
    if (StateLocked() == AL_PLAYING) {
      status |= kStatusPlaying;
      ALint looping = AL_FALSE;
      alGetSourcei(source_, AL_LOOPING, &looping);
      if (looping) status |= kStatusLooping;
    }
    return kSoundOk;
  }

  SoundResult Restore() override {
    std::lock_guard lock(AlLock());
    // Samples on a device that went away can't come back in place: the owner rebuilds.
    return LiveLocked() && device_->ConnectedLocked() ? kSoundOk : kSoundFail;
  }

 private:
  bool LiveLocked() { return device_->generation() == generation_ && device_->MakeCurrentLocked(); }
  ALint StateLocked() {
    ALint state = AL_STOPPED;
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    return state;
  }

  std::shared_ptr<OpenAlDevice> device_;
  const uint64_t generation_;
  ALuint buffer_;
  ALuint source_;
  ALenum format_;
  PcmFormat pcm_;
};

SoundResult OpenAlDevice::CreateBuffer(const BufferDescription& description,
                                       std::unique_ptr<AudioBuffer>& out) {
  const ALenum format = AlFormat(description.format);
  if (format == AL_NONE || description.format.samplesPerSec == 0) return kSoundBadFormat;
  if (description.bytes < description.format.blockAlign) return kSoundInvalidParam;
  std::lock_guard lock(AlLock());
  if (!EnsureConnectedLocked() || !MakeCurrentLocked()) return kSoundFail;
  alGetError();
  ALuint buffer = 0;
  ALuint source = 0;
  alGenBuffers(1, &buffer);
  if (alGetError() != AL_NO_ERROR) return kSoundFail;
  alGenSources(1, &source);
  if (alGetError() != AL_NO_ERROR) {
    alDeleteBuffers(1, &buffer);
    return kSoundFail;
  }
  // Plain non-positional playback: no distance model, no listener geometry.
  alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
  alSource3f(source, AL_POSITION, 0, 0, 0);
  out = std::make_unique<OpenAlBuffer>(shared_from_this(), buffer, source, format,
                                       description.format);
  return kSoundOk;
}

class OpenAlBackendImpl final : public AudioBackend {
 public:
  SoundResult CreateDevice(std::shared_ptr<AudioDevice>& out) override {
    auto device = std::make_shared<OpenAlDevice>();
    if (SoundResult r = device->Open(); r != kSoundOk) return r;
    out = std::move(device);
    return kSoundOk;
  }
};

}  // namespace

AudioBackend& SystemAudioBackend() {
  static OpenAlBackendImpl backend;
  return backend;
}

}  // namespace drunvale
