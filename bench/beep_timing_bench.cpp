// SPDX-License-Identifier: GPL-3.0-or-later
// How the beeps come out, measured from what OpenAL Soft's wave-file back end rendered.
//
// Part 1 runs the real program (drunvale --console) against the simulated control unit at
// 10400 bit/s while the drive holds 110 km/h on the highway, once with the beeps on and once
// with them off, and prints each thread's share of one core and its wake-ups a second (one per
// sleep that ended). From the file of the run with beeps it finds every beep and prints how far
// the onsets stray from the grid of the requested interval, the beep lengths and the pitch,
// beside what the rules ask for.
// Part 2 drives a sound engine in this process and prints the delay from a request (a value
// after a silence) to its first sound, and from a silence to the end of the sound.
//
// Usage: beep_timing_bench [seconds] [period_size]
//   seconds: length of each measured run (30 by default, after 5 s of warm-up);
//   period_size: OpenAL Soft's mixing period in frames for these runs (its default if left out).
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "sim/drive_profile.h"
#include "sim/ecu_simulator.h"
#include "sound/rendered_wave.h"
#include "sound/signal_request.h"
#include "sound/sound_engine.h"
#include "task_figures.h"

namespace drunvale {
namespace {

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;
using testing::Beep;
using testing::Rendered;

struct Stats {
  double median = 0, p90 = 0, max = 0;
  size_t count = 0;
};

Stats Summarise(std::vector<double> v) {
  Stats s;
  s.count = v.size();
  if (v.empty()) return s;
  std::sort(v.begin(), v.end());
  s.median = v[v.size() / 2];
  s.p90 = v[std::min(v.size() - 1, v.size() * 9 / 10)];
  s.max = v.back();
  return s;
}

void PrintStats(const char* what, const Stats& s) {
  std::printf("%-34s n=%-4zu median %7.2f  p90 %7.2f  max %7.2f ms\n", what, s.count, s.median,
              s.p90, s.max);
}

// 1000 x / (x + 1600) rounded half up: the beep length of an interval.
int32_t ExpectedBeepMs(int32_t x) {
  return static_cast<int32_t>((2000LL * x + x + 1600) / (2LL * (x + 1600)));
}

std::string WriteConfig(const fs::path& dir, const std::string& name, int periodSize) {
  const fs::path conf = dir / (name + ".conf");
  std::ofstream out(conf);
  if (periodSize > 0) out << "[general]\nperiod_size = " << periodSize << "\nperiods = 3\n";
  out << "[wave]\nfile = " << (dir / (name + ".wav")).string() << "\n";
  return conf.string();
}

std::string Label(pid_t pid, int tid, const std::string& name) {
  if (tid == pid) return "main (console loop)";
  if (name == "drunvale-link") return "connection worker";
  if (name == "drunvale-beep") return "sound player";
  return "other: " + name;  // OpenAL Soft's own threads keep the program's name
}

// The start of the longest hold of the built-in drive at the given speed.
double HoldStart(double kmh) {
  const sim::DriveProfile profile;
  const auto& keys = profile.Keyframes();
  double best = 0, bestLength = -1;
  for (size_t i = 1; i < keys.size(); ++i) {
    if (keys[i - 1].speedKmh == kmh && keys[i].speedKmh == kmh &&
        keys[i].seconds - keys[i - 1].seconds > bestLength) {
      best = keys[i - 1].seconds;
      bestLength = keys[i].seconds - keys[i - 1].seconds;
    }
  }
  return best;
}

// Runs the program for warm-up plus seconds and prints its threads; the simulator's samples
// served while measuring go to `served`.
bool RunProgram(bool beep, int seconds, const fs::path& home, const std::string& conf,
                std::vector<sim::ServedSample>& served) {
  sim::EcuSimConfig config;
  config.profileStartSeconds = HoldStart(110);
  sim::EcuSimulator ecu(config);
  std::string error;
  if (!ecu.Start(&error)) {
    std::fprintf(stderr, "the simulated control unit did not start: %s\n", error.c_str());
    return false;
  }
  setenv("ALSOFT_CONF", conf.c_str(), 1);
  std::vector<std::string> args = {DRUNVALE_BINARY, "--console", "--port", ecu.DevicePath()};
  if (beep) args.push_back("--beep");
  const pid_t pid = bench::SpawnToFile(args, {"XDG_CONFIG_HOME=" + home.string()},
                                       (home / "console.txt").string());
  if (pid <= 0) {
    std::fprintf(stderr, "cannot start %s\n", DRUNVALE_BINARY);
    return false;
  }
  std::this_thread::sleep_for(std::chrono::seconds(5));
  const size_t samplesBefore = ecu.ServedSamples().size();
  const auto before = bench::ReadTasks(pid);
  const auto start = Steady::now();
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const auto after = bench::ReadTasks(pid);
  const double wall = std::chrono::duration<double>(Steady::now() - start).count();
  const auto all = ecu.ServedSamples();
  served.assign(all.begin() + static_cast<ptrdiff_t>(samplesBefore), all.end());
  kill(pid, SIGINT);
  int status = 0;
  waitpid(pid, &status, 0);
  ecu.Stop();

  std::printf("\n== drunvale --console%s at 10400 bit/s, 110 km/h: %.1f s, %zu blocks (%.2f/s)\n",
              beep ? " --beep" : " (beeps off)", wall, served.size(), served.size() / wall);
  bench::PrintThreadTable(before, after, wall,
                          [&](int tid, const std::string& name) { return Label(pid, tid, name); });
  return true;
}

// Onsets against the grid of the requested interval: runs of beeps whose spacing stays near the
// interval are fitted with the grid's best offset (the median), and each onset's distance from
// its grid point is taken.
void AnalyseBeeps(const std::string& wav, const std::vector<sim::ServedSample>& served) {
  Rendered r;
  if (!testing::ReadRendering(wav, r) || r.rate == 0) {
    std::printf("no rendering in %s\n", wav.c_str());
    return;
  }
  std::map<int32_t, int> intervals;
  SignalRequest request;
  const Parameters params = Settings().Params;
  for (const auto& s : served) {
    if (!s.Accepted()) continue;
    request = ClassifyConsumption(params, s.fuel);
    ++intervals[request.intervalMs];
  }
  if (intervals.size() != 1 || request.intervalMs <= 0) {
    std::printf("the level was not steady (%zu intervals): no grid to compare with\n",
                intervals.size());
    return;
  }
  const int32_t intervalMs = request.intervalMs;
  const double msPerFrame = 1000.0 / r.rate;
  const double spacing = intervalMs * r.rate / 1000.0;
  std::vector<Beep> beeps = testing::FindBeeps(r.left, r.rate);
  if (!beeps.empty()) beeps.pop_back();  // may be cut by the end of the run
  std::printf("rendered %.1f s at %u Hz: %zu beeps; requested %d ms, %d ms beeps, %.1f Hz\n",
              r.left.size() * msPerFrame / 1000, r.rate, beeps.size(), intervalMs,
              ExpectedBeepMs(intervalMs), request.pitch);

  std::vector<double> deviation, length, pitch;
  int runs = 0;
  for (size_t from = 0; from < beeps.size();) {
    size_t to = from + 1;
    while (to < beeps.size() &&
           std::fabs(static_cast<double>(beeps[to].start - beeps[to - 1].start) - spacing) <
               spacing / 4) {
      ++to;
    }
    if (to - from >= 3) {
      ++runs;
      std::vector<double> offsets;
      for (size_t k = from; k < to; ++k)
        offsets.push_back(static_cast<double>(beeps[k].start) - (k - from) * spacing);
      std::vector<double> sorted = offsets;
      std::sort(sorted.begin(), sorted.end());
      const double origin = sorted[sorted.size() / 2];
      for (double o : offsets)
        deviation.push_back(std::fabs(o - origin) * msPerFrame);
    }
    from = to;
  }
  for (const Beep& b : beeps) {
    length.push_back((b.end - b.start + 1) * msPerFrame);
    const size_t margin = r.rate / 200;
    if (b.end > b.start + 3 * margin) {
      pitch.push_back(testing::ZeroCrossingHz(r.left, b.start + margin, b.end - margin, r.rate));
    }
  }
  std::printf("%d run(s) of beeps on one grid\n", runs);
  PrintStats("onset deviation from the grid", Summarise(deviation));
  const Stats len = Summarise(length);
  std::sort(length.begin(), length.end());
  std::printf("beep length: median %.2f ms, min %.2f, max %.2f (asked %d)\n", len.median,
              length.empty() ? 0.0 : length.front(), len.max, ExpectedBeepMs(intervalMs));
  std::printf("pitch: median %.2f Hz (asked %.2f)\n", Summarise(pitch).median, request.pitch);
}

// Part 2: the engine in this process. The file's frame 0 is the moment the device started
// mixing: its creation or the switching on, whichever the length of the file points to.
void MeasureDelays(const fs::path& home, int periodSize) {
  const std::string conf = WriteConfig(home, "delay", periodSize);
  setenv("ALSOFT_CONF", conf.c_str(), 1);
  constexpr int kTrials = 20;
  std::vector<Steady::time_point> requests, silences;
  Steady::time_point created, on, off;
  {
    SharedSettings settings;
    auto engine = std::make_unique<SoundEngine>(settings);
    if (engine->Device().Create() != SoundStatus::Ok) {
      std::printf("no OpenAL device could be opened\n");
      return;
    }
    created = Steady::now();  // the device (re)starts its mixing inside Create
    engine->ReloadSounds();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    engine->SetEnabled(true);
    on = Steady::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::mt19937 random(12);
    for (int i = 0; i < kTrials; ++i) {
      std::this_thread::sleep_for(std::chrono::microseconds(random() % 60'000));
      requests.push_back(Steady::now());
      engine->SetConsumption(5);  // 400 ms grid, 200 ms beeps: the first beep starts now
      std::this_thread::sleep_for(std::chrono::milliseconds(120));
      silences.push_back(Steady::now());
      engine->Silence();
      std::this_thread::sleep_for(std::chrono::milliseconds(400));
    }
    off = Steady::now();
    engine->SetEnabled(false);
  }
  Rendered r;
  if (!testing::ReadRendering((home / "delay.wav").string(), r) || r.rate == 0) {
    std::printf("no rendering of the delay run\n");
    return;
  }
  const auto seconds = [](Steady::duration d) { return std::chrono::duration<double>(d).count(); };
  const double fileSeconds = static_cast<double>(r.left.size()) / r.rate;
  // The back end mixes a period once its time has passed and writes it out; a sound card fed
  // those periods would play each frame one period after its place in the file.
  const double outputLatency = periodSize > 0 ? periodSize : 1024;
  const Steady::time_point start =
      std::fabs(seconds(off - created) - fileSeconds) < std::fabs(seconds(off - on) - fileSeconds)
          ? created
          : on;
  const std::vector<Beep> beeps = testing::FindBeeps(r.left, r.rate);
  std::vector<double> startDelay, stopDelay;
  for (int i = 0; i < kTrials; ++i) {
    const double at = seconds(requests[i] - start) * r.rate - outputLatency;
    const double silenceAt = seconds(silences[i] - start) * r.rate - outputLatency;
    // The trials are 500 ms apart: the beep nearest the request is its own.
    auto b = std::min_element(beeps.begin(), beeps.end(), [&](const Beep& x, const Beep& y) {
      return std::fabs(x.start - at) < std::fabs(y.start - at);
    });
    if (b == beeps.end() || std::fabs(b->start - at) > r.rate / 4.0) continue;
    startDelay.push_back((b->start - at) * 1000.0 / r.rate);
    stopDelay.push_back((b->end + 1 - silenceAt) * 1000.0 / r.rate);
  }
  std::printf("\n== request to sound, engine in this process, %d trials (file from the %s)\n",
              kTrials, start == created ? "device's creation" : "switching on");
  PrintStats("value after a silence -> sound", Summarise(startDelay));
  PrintStats("silence -> sound ends", Summarise(stopDelay));
}

}  // namespace
}  // namespace drunvale

int main(int argc, char** argv) {
  using namespace drunvale;
  const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
  const int periodSize = argc > 2 ? std::atoi(argv[2]) : 0;
  const fs::path home = fs::temp_directory_path() / ("drunvale-beeps-" + std::to_string(getpid()));
  fs::create_directories(home);
  setenv("ALSOFT_DRIVERS", "wave", 1);
  std::printf("OpenAL Soft wave back end, mixing period %s\n",
              periodSize > 0 ? (std::to_string(periodSize) + " frames").c_str() : "by default");

  std::vector<sim::ServedSample> served;
  if (RunProgram(true, seconds, home, WriteConfig(home, "on", periodSize), served)) {
    AnalyseBeeps((home / "on.wav").string(), served);
  }
  RunProgram(false, seconds, home, WriteConfig(home, "off", periodSize), served);
  MeasureDelays(home, periodSize);
  fs::remove_all(home);
  return 0;
}
