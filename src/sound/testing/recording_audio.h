#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "sound/audio_backend.h"

namespace drunvale {

// One call on the recording back end: what, on which buffer (0 = none), at which clock tick.
struct AudioCall {
  std::string text;
  int buffer = 0;
  int64_t at = 0;
};

// A platform buffer as the double keeps it.
struct RecordedBuffer {
  BufferDescription description;
  std::vector<uint8_t> samples;
  uint32_t frequency = 0;
  int32_t attenuation = 0;
  bool playing = false;
  bool looping = false;
  bool lost = false;
  int restoreRefusals = 0;
  bool released = false;
};

// Test double for the audio back end: scriptable refusals, every call recorded. Thread-safe:
// the player thread and the test may use it at once.
class RecordingAudio final : public AudioBackend {
 public:
  // With a clock, every call is stamped with its reading.
  explicit RecordingAudio(HighResClock* clock = nullptr);
  ~RecordingAudio() override;

  SoundResult CreateDevice(std::shared_ptr<AudioDevice>& out) override;

  // Script.
  void FailDeviceCreation(SoundResult result);
  void RefusePriority(bool refuse = true);
  void AcceptPrimaryFormat(std::function<bool(const PcmFormat&)> accept);
  void FailPrimaryBuffer(bool fail = true);
  void RefuseBuffers(bool withFocus, bool withoutFocus);
  void SetRateRange(uint32_t minRate, uint32_t maxRate);
  void FailCaps(bool fail = true);
  // Marks a buffer lost; Restore answers "lost" refusals times before it succeeds.
  void LoseBuffer(int id, int refusals = 0);
  // A one-shot play reached its end.
  void FinishPlayback(int id);

  // Observation.
  std::vector<AudioCall> Log() const;
  // Texts of the calls, optionally only those on one buffer.
  std::vector<std::string> Calls(int buffer = -1) const;
  void ClearLog();
  int BuffersCreated() const;
  RecordedBuffer Buffer(int id) const;
  std::vector<PcmFormat> PrimaryFormatsOffered() const;
  int DevicesAlive() const;

  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
};

}  // namespace drunvale
