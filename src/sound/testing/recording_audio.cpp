// SPDX-License-Identifier: GPL-3.0-or-later
#include "sound/testing/recording_audio.h"

namespace drunvale {

struct RecordingAudio::Shared {
  HighResClock* clock = nullptr;
  mutable std::mutex mutex;
  std::vector<AudioCall> log;
  std::vector<int16_t> written;
  SoundResult openResult = SoundStatus::Ok;
  uint32_t rate = 44100;
  int opened = 0;
  int alive = 0;
  int lostGeneration = 0;  // streams opened before a loss are lost
  bool playing = false;

  // Caller holds mutex.
  void Record(std::string text) { log.push_back({std::move(text), clock ? clock->Now() : 0}); }
};

namespace {

using Shared = RecordingAudio::Shared;
constexpr uint32_t kCapacity = 4096;

class RecordingStream final : public AudioStream {
 public:
  RecordingStream(std::shared_ptr<Shared> shared, uint32_t rate, int generation)
      : shared_(std::move(shared)), format_{rate, 2}, generation_(generation) {}
  ~RecordingStream() override {
    std::lock_guard lock(shared_->mutex);
    --shared_->alive;
    shared_->Record("Close");
  }

  StreamFormat Format() const override { return format_; }
  uint32_t Capacity() const override { return kCapacity; }
  uint32_t Writable() override {
    std::lock_guard lock(shared_->mutex);
    return LostLocked() ? 0 : kCapacity;
  }
  SoundResult Write(std::span<const int16_t> interleaved) override {
    std::lock_guard lock(shared_->mutex);
    if (LostLocked()) return SoundStatus::Failed;
    shared_->written.insert(shared_->written.end(), interleaved.begin(), interleaved.end());
    shared_->Record("Write " + std::to_string(interleaved.size() / 2));
    return SoundStatus::Ok;
  }
  SoundResult Pause() override {
    std::lock_guard lock(shared_->mutex);
    shared_->playing = false;
    shared_->Record("Pause");
    return SoundStatus::Ok;
  }
  SoundResult Resume() override {
    std::lock_guard lock(shared_->mutex);
    shared_->playing = true;
    shared_->Record("Resume");
    return SoundStatus::Ok;
  }
  bool Lost() override {
    std::lock_guard lock(shared_->mutex);
    return LostLocked();
  }

 private:
  bool LostLocked() const { return generation_ < shared_->lostGeneration; }

  std::shared_ptr<Shared> shared_;
  StreamFormat format_;
  int generation_;
};

}  // namespace

RecordingAudio::RecordingAudio(HighResClock* clock) : shared_(std::make_shared<Shared>()) {
  shared_->clock = clock;
}

RecordingAudio::~RecordingAudio() = default;

SoundResult RecordingAudio::OpenStream(const StreamFormat&, std::unique_ptr<AudioStream>& out) {
  std::lock_guard lock(shared_->mutex);
  shared_->Record("Open");
  if (shared_->openResult != SoundStatus::Ok) return shared_->openResult;
  ++shared_->opened;
  ++shared_->alive;
  out = std::make_unique<RecordingStream>(shared_, shared_->rate, shared_->lostGeneration);
  return SoundStatus::Ok;
}

void RecordingAudio::FailDeviceCreation(SoundResult result) {
  std::lock_guard lock(shared_->mutex);
  shared_->openResult = result;
}
void RecordingAudio::SetRate(uint32_t rate) {
  std::lock_guard lock(shared_->mutex);
  shared_->rate = rate;
}
void RecordingAudio::LoseDevice() {
  std::lock_guard lock(shared_->mutex);
  ++shared_->lostGeneration;
}

std::vector<AudioCall> RecordingAudio::Log() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->log;
}
std::vector<std::string> RecordingAudio::Calls() const {
  std::lock_guard lock(shared_->mutex);
  std::vector<std::string> texts;
  for (const AudioCall& call : shared_->log)
    texts.push_back(call.text);
  return texts;
}
void RecordingAudio::ClearLog() {
  std::lock_guard lock(shared_->mutex);
  shared_->log.clear();
}
int RecordingAudio::StreamsOpened() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->opened;
}
int RecordingAudio::StreamsAlive() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->alive;
}
bool RecordingAudio::Playing() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->playing;
}
std::vector<int16_t> RecordingAudio::Written() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->written;
}

}  // namespace drunvale
