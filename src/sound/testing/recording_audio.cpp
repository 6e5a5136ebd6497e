#include "sound/testing/recording_audio.h"

#include <algorithm>

namespace drunvale {

struct RecordingAudio::Shared {
  HighResClock* clock = nullptr;
  mutable std::mutex mutex;
  std::vector<AudioCall> log;
  std::map<int, RecordedBuffer> buffers;
  std::vector<PcmFormat> primaryOffers;
  int nextBuffer = 1;
  int devicesAlive = 0;

  SoundResult createResult = kSoundOk;
  bool refusePriority = false;
  bool failPrimary = false;
  std::function<bool(const PcmFormat&)> acceptFormat;
  bool refuseWithFocus = false;
  bool refuseWithoutFocus = false;
  uint32_t minRate = 100;
  uint32_t maxRate = 200000;
  bool failCaps = false;

  // Caller holds mutex.
  void Record(std::string text, int buffer = 0) {
    log.push_back({std::move(text), buffer, clock ? clock->Now() : 0});
  }
};

namespace {

using Shared = RecordingAudio::Shared;

std::string Describe(const PcmFormat& f) {
  return std::to_string(f.bitsPerSample) + "/" + std::to_string(f.samplesPerSec) + "/" +
         std::to_string(f.channels);
}

class RecordingBuffer final : public AudioBuffer {
 public:
  RecordingBuffer(std::shared_ptr<Shared> shared, int id) : shared_(std::move(shared)), id_(id) {}
  ~RecordingBuffer() override {
    std::lock_guard lock(shared_->mutex);
    shared_->buffers[id_].released = true;
    shared_->Record("Release", id_);
  }

  SoundResult Write(std::span<const uint8_t> bytes) override {
    std::lock_guard lock(shared_->mutex);
    State().samples.assign(bytes.begin(), bytes.end());
    shared_->Record("Write " + std::to_string(bytes.size()), id_);
    return kSoundOk;
  }
  SoundResult SetFrequency(uint32_t rate) override {
    std::lock_guard lock(shared_->mutex);
    shared_->Record("SetFrequency " + std::to_string(rate), id_);
    if (rate < shared_->minRate || rate > shared_->maxRate) return kSoundInvalidParam;
    State().frequency = rate;
    return kSoundOk;
  }
  SoundResult SetVolume(int32_t attenuation) override {
    std::lock_guard lock(shared_->mutex);
    shared_->Record("SetVolume " + std::to_string(attenuation), id_);
    if (attenuation < -10000 || attenuation > 0) return kSoundInvalidParam;
    State().attenuation = attenuation;
    return kSoundOk;
  }
  SoundResult Play(bool loop) override {
    std::lock_guard lock(shared_->mutex);
    shared_->Record(loop ? "Play loop" : "Play once", id_);
    RecordedBuffer& b = State();
    if (b.lost) return kSoundBufferLost;
    b.playing = true;
    b.looping = loop;
    return kSoundOk;
  }
  SoundResult Stop() override {
    std::lock_guard lock(shared_->mutex);
    shared_->Record("Stop", id_);
    State().playing = false;
    State().looping = false;
    return kSoundOk;
  }
  SoundResult Rewind() override {
    std::lock_guard lock(shared_->mutex);
    shared_->Record("Rewind", id_);
    return kSoundOk;
  }
  SoundResult GetStatus(uint32_t& status) override {
    std::lock_guard lock(shared_->mutex);
    const RecordedBuffer& b = State();
    status = (b.playing ? kStatusPlaying : 0) | (b.playing && b.looping ? kStatusLooping : 0) |
             (b.lost ? kStatusLost : 0);
    return kSoundOk;
  }
  SoundResult Restore() override {
    std::lock_guard lock(shared_->mutex);
    shared_->Record("Restore", id_);
    RecordedBuffer& b = State();
    if (b.restoreRefusals > 0) {
      --b.restoreRefusals;
      return kSoundBufferLost;
    }
    b.lost = false;
    return kSoundOk;
  }

 private:
  RecordedBuffer& State() { return shared_->buffers[id_]; }

  std::shared_ptr<Shared> shared_;
  int id_;
};

class RecordingPrimary final : public AudioPrimaryBuffer {
 public:
  explicit RecordingPrimary(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}
  SoundResult SetFormat(const PcmFormat& format) override {
    std::lock_guard lock(shared_->mutex);
    shared_->Record("SetFormat " + Describe(format));
    shared_->primaryOffers.push_back(format);
    if (shared_->acceptFormat && !shared_->acceptFormat(format)) return kSoundBadFormat;
    return kSoundOk;
  }

 private:
  std::shared_ptr<Shared> shared_;
};

class RecordingDevice final : public AudioDevice {
 public:
  explicit RecordingDevice(std::shared_ptr<Shared> shared) : shared_(std::move(shared)) {}
  ~RecordingDevice() override {
    std::lock_guard lock(shared_->mutex);
    --shared_->devicesAlive;
    shared_->Record("ReleaseDevice");
  }

  SoundResult SetCooperativeLevel(CooperativeLevel level) override {
    std::lock_guard lock(shared_->mutex);
    shared_->Record("SetCooperativeLevel " + std::to_string(static_cast<int>(level)));
    return level == CooperativeLevel::Priority && shared_->refusePriority ? kSoundFail : kSoundOk;
  }
  SoundResult CreatePrimaryBuffer(std::unique_ptr<AudioPrimaryBuffer>& out) override {
    std::lock_guard lock(shared_->mutex);
    shared_->Record("CreatePrimaryBuffer");
    if (shared_->failPrimary) return kSoundFail;
    out = std::make_unique<RecordingPrimary>(shared_);
    return kSoundOk;
  }
  SoundResult CreateBuffer(const BufferDescription& description,
                           std::unique_ptr<AudioBuffer>& out) override {
    std::lock_guard lock(shared_->mutex);
    const bool refused =
        description.globalFocus ? shared_->refuseWithFocus : shared_->refuseWithoutFocus;
    const std::string what = "CreateBuffer " + std::to_string(description.bytes) + " " +
                             Describe(description.format) +
                             (description.globalFocus ? " focus" : " nofocus");
    if (refused) {
      shared_->Record(what + " refused");
      return kSoundBadFormat;
    }
    const int id = shared_->nextBuffer++;
    RecordedBuffer& b = shared_->buffers[id];
    b.description = description;
    b.frequency = description.format.samplesPerSec;
    shared_->Record(what, id);
    out = std::make_unique<RecordingBuffer>(shared_, id);
    return kSoundOk;
  }
  SoundResult GetCaps(DeviceCaps& caps) override {
    std::lock_guard lock(shared_->mutex);
    shared_->Record("GetCaps");
    if (shared_->failCaps) return kSoundFail;
    caps.minSecondaryRate = shared_->minRate;
    caps.maxSecondaryRate = shared_->maxRate;
    return kSoundOk;
  }
  void PauseMs(uint32_t ms) override {
    std::lock_guard lock(shared_->mutex);
    shared_->Record("Pause " + std::to_string(ms));
  }

 private:
  std::shared_ptr<Shared> shared_;
};

}  // namespace

RecordingAudio::RecordingAudio(HighResClock* clock) : shared_(std::make_shared<Shared>()) {
  shared_->clock = clock;
}

RecordingAudio::~RecordingAudio() = default;

SoundResult RecordingAudio::CreateDevice(std::shared_ptr<AudioDevice>& out) {
  std::lock_guard lock(shared_->mutex);
  shared_->Record("CreateDevice");
  if (shared_->createResult != kSoundOk) return shared_->createResult;
  ++shared_->devicesAlive;
  out = std::make_shared<RecordingDevice>(shared_);
  return kSoundOk;
}

void RecordingAudio::FailDeviceCreation(SoundResult result) {
  std::lock_guard lock(shared_->mutex);
  shared_->createResult = result;
}
void RecordingAudio::RefusePriority(bool refuse) {
  std::lock_guard lock(shared_->mutex);
  shared_->refusePriority = refuse;
}
void RecordingAudio::AcceptPrimaryFormat(std::function<bool(const PcmFormat&)> accept) {
  std::lock_guard lock(shared_->mutex);
  shared_->acceptFormat = std::move(accept);
}
void RecordingAudio::FailPrimaryBuffer(bool fail) {
  std::lock_guard lock(shared_->mutex);
  shared_->failPrimary = fail;
}
void RecordingAudio::RefuseBuffers(bool withFocus, bool withoutFocus) {
  std::lock_guard lock(shared_->mutex);
  shared_->refuseWithFocus = withFocus;
  shared_->refuseWithoutFocus = withoutFocus;
}
void RecordingAudio::SetRateRange(uint32_t minRate, uint32_t maxRate) {
  std::lock_guard lock(shared_->mutex);
  shared_->minRate = minRate;
  shared_->maxRate = maxRate;
}
void RecordingAudio::FailCaps(bool fail) {
  std::lock_guard lock(shared_->mutex);
  shared_->failCaps = fail;
}
void RecordingAudio::LoseBuffer(int id, int refusals) {
  std::lock_guard lock(shared_->mutex);
  shared_->buffers[id].lost = true;
  shared_->buffers[id].restoreRefusals = refusals;
}
void RecordingAudio::FinishPlayback(int id) {
  std::lock_guard lock(shared_->mutex);
  shared_->buffers[id].playing = false;
  shared_->buffers[id].looping = false;
}

std::vector<AudioCall> RecordingAudio::Log() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->log;
}
std::vector<std::string> RecordingAudio::Calls(int buffer) const {
  std::lock_guard lock(shared_->mutex);
  std::vector<std::string> texts;
  for (const AudioCall& call : shared_->log) {
    if (buffer < 0 || call.buffer == buffer) texts.push_back(call.text);
  }
  return texts;
}
void RecordingAudio::ClearLog() {
  std::lock_guard lock(shared_->mutex);
  shared_->log.clear();
}
int RecordingAudio::BuffersCreated() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->nextBuffer - 1;
}
RecordedBuffer RecordingAudio::Buffer(int id) const {
  std::lock_guard lock(shared_->mutex);
  auto it = shared_->buffers.find(id);
  return it == shared_->buffers.end() ? RecordedBuffer{} : it->second;
}
std::vector<PcmFormat> RecordingAudio::PrimaryFormatsOffered() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->primaryOffers;
}
int RecordingAudio::DevicesAlive() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->devicesAlive;
}

}  // namespace drunvale
