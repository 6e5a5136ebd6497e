// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "sound/audio_backend.h"

namespace drunvale {

// The engine's output stream and what the player needs to keep it going: the volume to render
// at, and a way back to a device that went away. Shared by the device (window thread) and the
// player thread; the stream is used only under `lock`.
class OutputLine {
 public:
  explicit OutputLine(AudioBackend& backend) : backend_(backend) {}

  // Opens the stream, paused, at the device's own rate. Once a stream has opened, the line
  // counts as having a device even while that device is away.
  SoundResult Open();
  bool HasDevice() const { return rate_.load() != 0; }
  // The rate of the last stream opened; 0 before any.
  uint32_t Rate() const { return rate_.load(); }

  // Output volume 0..100 (stored as given); read by the player at its next pass.
  std::atomic<int32_t> volume{100};

  std::mutex lock;
  // Under lock: the stream, or null after a failed reopening.
  AudioStream* StreamLocked() { return stream_.get(); }
  // Under lock: drops the stream and opens a new one, playing; false when none opens.
  bool ReopenLocked();

 private:
  AudioBackend& backend_;
  std::unique_ptr<AudioStream> stream_;
  std::atomic<uint32_t> rate_{0};
};

}  // namespace drunvale
