// SPDX-License-Identifier: GPL-3.0-or-later
// OpenAL Soft behind the stream seam: each stream opens the default device with a context of
// its own, and feeds one source from a ring of queued buffers.
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <array>
#include <mutex>
#include <vector>

#include "sound/audio_backend.h"

namespace drunvale {
namespace {

// 139 ms at 44.1 kHz. The player refills at half of it, so it may come about 70 ms late before
// the source runs dry and a gap is heard (a small board under load is that late now and then);
// more would put off a new level that much longer.
constexpr uint32_t kChunkFrames = 1024;
constexpr size_t kChunks = 6;

// The current context is process-wide state and two engines may each own a stream, so every
// AL call happens under one lock with its own stream's context made current.
std::mutex& AlLock() {
  static std::mutex lock;
  return lock;
}

class OpenAlStream final : public AudioStream {
 public:
  ~OpenAlStream() override {
    std::lock_guard lock(AlLock());
    if (MakeCurrentLocked()) {
      alSourceStop(source_);
      alSourcei(source_, AL_BUFFER, 0);
      alDeleteSources(1, &source_);
      alDeleteBuffers(static_cast<ALsizei>(buffers_.size()), buffers_.data());
    }
    if (context_) {
      if (alcGetCurrentContext() == context_) alcMakeContextCurrent(nullptr);
      alcDestroyContext(context_);
    }
    if (device_) alcCloseDevice(device_);
  }

  SoundResult Open(const StreamFormat& wanted) {
    std::lock_guard lock(AlLock());
    device_ = alcOpenDevice(nullptr);
    if (!device_) return SoundStatus::NoDevice;
    // Our frames never pass full scale, so the device's output limiter would only cost time.
    std::vector<ALCint> attributes = {ALC_OUTPUT_LIMITER_SOFT, ALC_FALSE};
    if (wanted.rate > 0)
      attributes.insert(attributes.end(), {ALC_FREQUENCY, static_cast<ALCint>(wanted.rate)});
    attributes.push_back(0);
    context_ = alcCreateContext(device_, attributes.data());
    if (!context_ || !MakeCurrentLocked()) return SoundStatus::NoDevice;
    ALCint rate = 0;
    alcGetIntegerv(device_, ALC_FREQUENCY, 1, &rate);
    format_.rate = rate > 0 ? static_cast<uint32_t>(rate) : 44100;
    format_.channels = 2;
    alGetError();
    alGenSources(1, &source_);
    alGenBuffers(static_cast<ALsizei>(buffers_.size()), buffers_.data());
    if (const ALenum error = alGetError(); error != AL_NO_ERROR)
      return {SoundStatus::Failed, error};
    free_.assign(buffers_.begin(), buffers_.end());
    // The frames go to the speakers as they are: no position, no panning, no distance.
    alSourcei(source_, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source_, AL_POSITION, 0, 0, 0);
    if (alIsExtensionPresent("AL_SOFT_direct_channels")) {
      alSourcei(source_, AL_DIRECT_CHANNELS_SOFT, AL_TRUE);
    }
    if (alcIsExtensionPresent(device_, "ALC_SOFT_pause_device")) {
      pause_ =
          reinterpret_cast<LPALCDEVICEPAUSESOFT>(alcGetProcAddress(device_, "alcDevicePauseSOFT"));
      resume_ = reinterpret_cast<LPALCDEVICERESUMESOFT>(
          alcGetProcAddress(device_, "alcDeviceResumeSOFT"));
    }
    // Opened paused: a source that will not pause is found lost at its first write.
    (void)PauseLocked();
    return SoundStatus::Ok;
  }

  StreamFormat Format() const override { return format_; }
  uint32_t Capacity() const override { return kChunkFrames * kChunks; }

  uint32_t Writable() override {
    std::lock_guard lock(AlLock());
    if (!MakeCurrentLocked()) return 0;
    ALint processed = 0;
    alGetSourcei(source_, AL_BUFFERS_PROCESSED, &processed);
    Unqueue(processed);
    return static_cast<uint32_t>(free_.size()) * kChunkFrames;
  }

  SoundResult Write(std::span<const int16_t> interleaved) override {
    std::lock_guard lock(AlLock());
    if (!MakeCurrentLocked()) return SoundStatus::Failed;
    const size_t frames = interleaved.size() / format_.channels;
    const ALint queuedBefore = static_cast<ALint>(kChunks - free_.size());
    alGetError();
    for (size_t done = 0; done < frames && !free_.empty();) {
      const size_t n = std::min<size_t>(frames - done, kChunkFrames);
      const ALuint buffer = free_.back();
      free_.pop_back();
      alBufferData(buffer, AL_FORMAT_STEREO16, interleaved.data() + done * format_.channels,
                   static_cast<ALsizei>(n * format_.channels * sizeof(int16_t)),
                   static_cast<ALsizei>(format_.rate));
      alSourceQueueBuffers(source_, 1, &buffer);
      done += n;
    }
    // Playing from the first write on, and again after running dry.
    ALint state = AL_STOPPED;
    alGetSourcei(source_, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING) {
      // A source that ran dry since Writable() would play its whole queue again from the front,
      // chunks already heard among it: those go first.
      if (state == AL_STOPPED) Unqueue(queuedBefore);
      alSourcePlay(source_);
    }
    return alGetError() == AL_NO_ERROR ? SoundStatus::Ok : SoundStatus::Failed;
  }

  SoundResult Pause() override {
    std::lock_guard lock(AlLock());
    return PauseLocked();
  }

  SoundResult Resume() override {
    std::lock_guard lock(AlLock());
    if (resume_) resume_(device_);
    return SoundStatus::Ok;
  }

  bool Lost() override {
    std::lock_guard lock(AlLock());
    if (!alcIsExtensionPresent(device_, "ALC_EXT_disconnect")) return false;
    ALCint connected = 1;
    alcGetIntegerv(device_, ALC_CONNECTED, 1, &connected);
    return connected == 0;
  }

 private:
  bool MakeCurrentLocked() {
    if (!context_) return false;
    if (alcGetCurrentContext() != context_) return alcMakeContextCurrent(context_) == ALC_TRUE;
    return true;
  }

  void Unqueue(ALint count) {
    for (ALint i = 0; i < count; ++i) {
      ALuint buffer = 0;
      alSourceUnqueueBuffers(source_, 1, &buffer);
      free_.push_back(buffer);
    }
  }

  SoundResult PauseLocked() {
    if (!MakeCurrentLocked()) return SoundStatus::Failed;
    // Stopped, every queued buffer counts as played: nothing old is heard on resuming.
    alSourceStop(source_);
    ALint processed = 0;
    alGetSourcei(source_, AL_BUFFERS_PROCESSED, &processed);
    Unqueue(processed);
    // The device stops mixing altogether, so no thread of it runs while the sound is off.
    if (pause_) pause_(device_);
    return SoundStatus::Ok;
  }

  ALCdevice* device_ = nullptr;
  ALCcontext* context_ = nullptr;
  ALuint source_ = 0;
  std::array<ALuint, kChunks> buffers_{};
  std::vector<ALuint> free_;
  StreamFormat format_;
  LPALCDEVICEPAUSESOFT pause_ = nullptr;
  LPALCDEVICERESUMESOFT resume_ = nullptr;
};

class OpenAlBackend final : public AudioBackend {
 public:
  SoundResult OpenStream(const StreamFormat& wanted, std::unique_ptr<AudioStream>& out) override {
    auto stream = std::make_unique<OpenAlStream>();
    if (SoundResult r = stream->Open(wanted); r != SoundStatus::Ok) return r;
    out = std::move(stream);
    return SoundStatus::Ok;
  }
};

}  // namespace

AudioBackend& SystemAudioBackend() {
  static OpenAlBackend backend;
  return backend;
}

}  // namespace drunvale
