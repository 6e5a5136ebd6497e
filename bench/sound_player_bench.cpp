// Runs the real sound engine for 10 s of beeps at a 100 ms interval on OpenAL Soft (the silent
// null back end unless ALSOFT_DRIVERS says otherwise) and prints what the player thread costs:
// its CPU time as a share of one core, and how late each beep's start and stop reach the
// audio back end compared with the grid.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sound/beep_player.h"
#include "sound/sound_engine.h"

namespace drunvale {
namespace {

std::mutex callsMutex;
std::vector<int64_t> playCalls;
std::vector<int64_t> stopCalls;

void Note(std::vector<int64_t>& calls) {
  const int64_t now = SystemHighResClock().Now();
  std::lock_guard lock(callsMutex);
  calls.push_back(now);
}

// Pass-through decorators that time the calls which start and stop a sound.
class TimedBuffer final : public AudioBuffer {
 public:
  explicit TimedBuffer(std::unique_ptr<AudioBuffer> inner) : inner_(std::move(inner)) {}
  SoundResult Write(std::span<const uint8_t> b) override { return inner_->Write(b); }
  SoundResult SetFrequency(uint32_t r) override { return inner_->SetFrequency(r); }
  SoundResult SetVolume(int32_t a) override { return inner_->SetVolume(a); }
  SoundResult Play(bool loop) override {
    Note(playCalls);
    return inner_->Play(loop);
  }
  SoundResult Stop() override {
    Note(stopCalls);
    return inner_->Stop();
  }
  SoundResult Rewind() override { return inner_->Rewind(); }
  SoundResult GetStatus(uint32_t& s) override { return inner_->GetStatus(s); }
  SoundResult Restore() override { return inner_->Restore(); }

 private:
  std::unique_ptr<AudioBuffer> inner_;
};

class TimedDevice final : public AudioDevice {
 public:
  explicit TimedDevice(std::shared_ptr<AudioDevice> inner) : inner_(std::move(inner)) {}
  SoundResult SetCooperativeLevel(CooperativeLevel l) override {
    return inner_->SetCooperativeLevel(l);
  }
  SoundResult CreatePrimaryBuffer(std::unique_ptr<AudioPrimaryBuffer>& out) override {
    return inner_->CreatePrimaryBuffer(out);
  }
  SoundResult CreateBuffer(const BufferDescription& d, std::unique_ptr<AudioBuffer>& out) override {
    std::unique_ptr<AudioBuffer> inner;
    SoundResult r = inner_->CreateBuffer(d, inner);
    if (r == kSoundOk) out = std::make_unique<TimedBuffer>(std::move(inner));
    return r;
  }
  SoundResult GetCaps(DeviceCaps& caps) override { return inner_->GetCaps(caps); }
  void PauseMs(uint32_t ms) override { inner_->PauseMs(ms); }

 private:
  std::shared_ptr<AudioDevice> inner_;
};

class TimedBackend final : public AudioBackend {
 public:
  SoundResult CreateDevice(std::shared_ptr<AudioDevice>& out) override {
    std::shared_ptr<AudioDevice> inner;
    SoundResult r = SystemAudioBackend().CreateDevice(inner);
    if (r == kSoundOk) out = std::make_shared<TimedDevice>(std::move(inner));
    return r;
  }
};

// CPU time in ns of the thread with the given name, from the kernel's per-task accounting.
int64_t ThreadCpuNs(const std::string& name) {
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string taskName;
    std::getline(comm, taskName);
    if (taskName != name) continue;
    std::ifstream schedstat(task.path() / "schedstat");
    int64_t ns = -1;
    if (schedstat >> ns) return ns;
  }
  return -1;
}

struct Figures {
  double median = 0, p99 = 0, max = 0;
  size_t count = 0;
};

Figures Summarise(std::vector<double> lateMs) {
  Figures f;
  f.count = lateMs.size();
  if (lateMs.empty()) return f;
  std::sort(lateMs.begin(), lateMs.end());
  f.median = lateMs[lateMs.size() / 2];
  f.p99 = lateMs[std::min(lateMs.size() - 1, lateMs.size() * 99 / 100)];
  f.max = lateMs.back();
  return f;
}

int Run() {
  constexpr int kIntervalMs = 100;
  constexpr int kRunSeconds = 10;
  Settings s;
  s.Params.LevelMin.IntervalMs = s.Params.LevelMax.IntervalMs = kIntervalMs;
  SharedSettings settings(s);
  TimedBackend backend;
  HighResClock& clock = SystemHighResClock();
  SoundEngine engine(settings, clock, backend);
  if (engine.Device().Create() != kSoundOk) {
    std::printf("no OpenAL device could be opened\n");
    return 1;
  }
  engine.ReloadSounds();
  engine.SetEnabled(true);
  const int64_t cpuBefore = ThreadCpuNs(PlayerThread::kName);
  const auto wallBefore = std::chrono::steady_clock::now();
  engine.SetConsumption(10);
  const int64_t origin = engine.Request().gridOrigin;  // a point of the beep grid
  std::this_thread::sleep_for(std::chrono::seconds(kRunSeconds));
  const int64_t cpuAfter = ThreadCpuNs(PlayerThread::kName);
  const double wallNs =
      std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - wallBefore)
          .count();
  engine.SetEnabled(false);

  const int64_t tpm = engine.TicksPerMs();
  const int64_t period = kIntervalMs * tpm;
  const int64_t length = BeepLengthMs(kIntervalMs) * tpm;
  std::vector<double> startLate, stopLate;
  std::lock_guard lock(callsMutex);
  for (int64_t t : playCalls) {
    const int64_t due = origin + (t - origin) / period * period;
    startLate.push_back(static_cast<double>(t - due) / tpm);
  }
  // Stops before the first start and the one on switching off are not beep ends.
  const int64_t firstPlay = playCalls.empty() ? 0 : playCalls.front();
  for (size_t i = 0; i + 1 < stopCalls.size(); ++i) {
    const int64_t t = stopCalls[i];
    if (t < firstPlay) continue;
    const int64_t due = origin + (t - origin - length) / period * period + length;
    stopLate.push_back(static_cast<double>(t - due) / tpm);
  }
  const Figures starts = Summarise(startLate);
  const Figures stops = Summarise(stopLate);
  std::printf("sound player: %d s of %d ms beeps on OpenAL (%s back end)\n", kRunSeconds,
              kIntervalMs, std::getenv("ALSOFT_DRIVERS"));
  if (cpuBefore >= 0 && cpuAfter >= 0) {
    std::printf("player thread CPU: %.3f ms in %.2f s = %.4f %% of one core\n",
                (cpuAfter - cpuBefore) / 1e6, wallNs / 1e9,
                100.0 * static_cast<double>(cpuAfter - cpuBefore) / wallNs);
  } else {
    std::printf("player thread CPU: not readable from /proc\n");
  }
  std::printf("beep starts: %zu, late by median %.3f ms, p99 %.3f ms, max %.3f ms\n", starts.count,
              starts.median, starts.p99, starts.max);
  const auto over1 = [](const std::vector<double>& v) {
    return std::count_if(v.begin(), v.end(), [](double x) { return x > 1.0; });
  };
  std::printf("over 1 ms late: %td starts, %td stops\n", over1(startLate), over1(stopLate));
  std::printf("beep stops:  %zu, late by median %.3f ms, p99 %.3f ms, max %.3f ms\n", stops.count,
              stops.median, stops.p99, stops.max);
  return 0;
}

}  // namespace
}  // namespace drunvale

int main() {
  // Before the first AL call: silent output unless told otherwise.
  setenv("ALSOFT_DRIVERS", "null", 0);
  return drunvale::Run();
}
