#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "sound/sound_types.h"

namespace drunvale {

// Status bits of a playing buffer.
inline constexpr uint32_t kStatusPlaying = 0x1;
inline constexpr uint32_t kStatusLost = 0x2;
inline constexpr uint32_t kStatusLooping = 0x4;

enum class CooperativeLevel : int32_t { Normal = 1, Priority = 2 };

// One static sound: its samples are written once, then it is played at an adjustable rate.
// Every method may be called from two threads at once.
class AudioBuffer {
 public:
  virtual ~AudioBuffer() = default;
  // Fills the buffer from its first byte; the count is the buffer's size.
  virtual SoundResult Write(std::span<const uint8_t> bytes) = 0;
  // Playback rate in samples per second; a rate the device can't play is refused unchanged.
  virtual SoundResult SetFrequency(uint32_t samplesPerSec) = 0;
  // Attenuation in hundredths of a decibel, -10000 (silent) to 0.
  virtual SoundResult SetVolume(int32_t attenuation) = 0;
  // Starts from the current position, looped or once.
  virtual SoundResult Play(bool loop) = 0;
  virtual SoundResult Stop() = 0;
  virtual SoundResult Rewind() = 0;
  virtual SoundResult GetStatus(uint32_t& status) = 0;
  // Answers kSoundBufferLost while the buffer can't be restored yet.
  virtual SoundResult Restore() = 0;
};

// The output format of the whole device, offered one format at a time.
class AudioPrimaryBuffer {
 public:
  virtual ~AudioPrimaryBuffer() = default;
  virtual SoundResult SetFormat(const PcmFormat& format) = 0;
};

struct BufferDescription {
  PcmFormat format;
  uint32_t bytes = 0;
  // Keeps playing when another application has the focus; the first thing to give up.
  bool globalFocus = true;
};

struct DeviceCaps {
  uint32_t minSecondaryRate = 0;
  uint32_t maxSecondaryRate = 0;
};

// An opened output device. Shared: every buffer made on it keeps it alive.
class AudioDevice {
 public:
  virtual ~AudioDevice() = default;
  virtual SoundResult SetCooperativeLevel(CooperativeLevel level) = 0;
  virtual SoundResult CreatePrimaryBuffer(std::unique_ptr<AudioPrimaryBuffer>& out) = 0;
  virtual SoundResult CreateBuffer(const BufferDescription& description,
                                   std::unique_ptr<AudioBuffer>& out) = 0;
  virtual SoundResult GetCaps(DeviceCaps& caps) = 0;
  // The pause between two attempts to restore a lost buffer.
  virtual void PauseMs(uint32_t ms) = 0;
};

// Opens devices: OpenAL Soft for real, a recording double in tests.
class AudioBackend {
 public:
  virtual ~AudioBackend() = default;
  virtual SoundResult CreateDevice(std::shared_ptr<AudioDevice>& out) = 0;
};

// The process's real back end: OpenAL Soft on Linux (openal_backend.cpp); none yet on Windows
// (windows/no_output_backend.cpp), where every run is silent.
AudioBackend& SystemAudioBackend();

}  // namespace drunvale
