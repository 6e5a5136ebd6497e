// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "sound/audio_backend.h"

namespace drunvale {

// One call on the recording back end: what, and at which clock tick.
struct AudioCall {
  std::string text;
  int64_t at = 0;
};

// Test double for the audio output: scriptable failures and losses, every call recorded and
// every frame written kept. Its stream plays at once: all of it is writable at every pass.
// Thread-safe: the player thread and the test may use it at once.
class RecordingAudio final : public AudioBackend {
 public:
  // With a clock, every call is stamped with its reading.
  explicit RecordingAudio(HighResClock* clock = nullptr);
  ~RecordingAudio() override;

  SoundResult OpenStream(const StreamFormat& wanted, std::unique_ptr<AudioStream>& out) override;

  // Script.
  void FailDeviceCreation(SoundResult result);
  void SetRate(uint32_t rate);
  // The open stream's device goes away: it reports itself lost and plays nothing more.
  void LoseDevice();

  // Observation.
  std::vector<AudioCall> Log() const;
  std::vector<std::string> Calls() const;
  void ClearLog();
  int StreamsOpened() const;
  int StreamsAlive() const;
  bool Playing() const;  // resumed and not paused since
  // Every frame written so far (stereo, interleaved), on any stream.
  std::vector<int16_t> Written() const;

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
};

}  // namespace drunvale
