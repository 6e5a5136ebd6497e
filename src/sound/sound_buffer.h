#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "sound/audio_backend.h"
#include "sound/sound_types.h"

namespace drunvale {

// One playable signal: the built-in tone (empty source) or a WAV file's samples, in one static
// platform buffer. The pitch is not in the samples: every play sets the playback rate.
class SoundBuffer {
 public:
  // The tone: an 8-bit mono triangle, 12 samples per period, made at 12000 samples/s.
  static constexpr uint32_t kToneRate = 12000;
  static constexpr int32_t kToneRateFactor = 12;
  static constexpr uint32_t kToneBytes = 96;

  explicit SoundBuffer(std::shared_ptr<AudioDevice> device);
  ~SoundBuffer();
  SoundBuffer(const SoundBuffer&) = delete;
  SoundBuffer& operator=(const SoundBuffer&) = delete;

  // Builds (or rebuilds) the platform buffer; 0 on success, else a failure code.
  SoundResult Load(const std::string& source);
  // pitch: the tone's frequency in Hz, or the WAV's playback rate in samples/s.
  SoundResult Play(float pitch, bool loop);
  // volume 0..100, clamped.
  SoundResult SetVolume(int32_t volume);
  void StopAndRewind();
  SoundResult RestoreIfLost();

  int32_t RefCount() const { return refCount_; }
  int32_t NativeRate() const;
  int32_t RateFactor() const;
  std::string Source() const;
  bool HasBuffer() const;

  // 100 * floor(120 v / (v + 20)) - 10000 for v in 0..100, computed as the original did.
  static int32_t AttenuationForVolume(int32_t volume);

 private:
  friend class SlotTable;  // the only one that counts the slots holding a sound

  SoundResult LoadLocked(const std::string& source);
  SoundResult MakeTone();
  SoundResult ReadWav(const std::string& path);
  SoundResult CreatePlatformBuffer(const BufferDescription& description);
  SoundResult RestoreIfLostLocked();
  void StopAndRewindLocked();
  SoundResult ApplyRate(int32_t rate);

  // A sound shared by two slots is reached under either slot's lock, from two threads, so
  // its own state has a lock of its own (always taken last, never held while waiting).
  mutable std::mutex mutex_;
  std::shared_ptr<AudioDevice> device_;
  int32_t refCount_ = 1;
  int32_t rateFactor_ = 1;
  int32_t nativeRate_ = 0;
  std::optional<int32_t> lastRate_;
  std::optional<int32_t> lastAttenuation_;
  std::unique_ptr<AudioBuffer> buffer_;
  std::string source_;
};

}  // namespace drunvale
