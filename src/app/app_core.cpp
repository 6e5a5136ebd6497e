#include "app/app_core.h"

namespace drunvale {

AppCore::AppCore(AppPlatform platform)
    : tickClock(*platform.tickClock),
      autostart(*platform.autostart),
      sound(settings, *platform.highResClock, *platform.audio),
      trip(settings, *platform.tickClock, [this](float value) { sound.SetConsumption(value); }),
      link(
          settings,
          [this](float speed, float air, float fuel, bool running) {
            dataAge.Sampled(tickClock.NowMs());
            trip.AddSample(speed, air, fuel, running);
          },
          [this] {
            // Nothing is measured until polling resumes: no beeps at the last figure, and no
            // pause charged to the trip.
            trip.PollingPaused();
            sound.Silence();
          },
          *platform.tickClock, platform.opener, LinkTimings{}, *platform.sleepClock) {}

void AppCore::UsePortForThisRun(const std::string& port) {
  Settings current = settings.Get();
  current.Port = port;
  settings.Set(current);
}

}  // namespace drunvale
