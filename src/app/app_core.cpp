// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/app_core.h"

#include <utility>

namespace drunvale {

AppCore::AppCore(AppPlatform platform)
    : tickClock(*platform.tickClock),
      wallClock(*platform.wallClock),
      dataFolder(platform.dataFolder),
      regionalNumbers(platform.regionalNumbers),
      keepsRecords(platform.keepsRecords),
      autostart(*platform.autostart),
      sound(settings, *platform.highResClock, *platform.audio),
      trip(settings, *platform.tickClock, [this](float value) { sound.SetConsumption(value); }),
      link(
          settings,
          [this](float speed, float air, float fuel, bool running) {
            OnSample(speed, air, fuel, running);
          },
          [this] {
            // Nothing is measured until polling resumes: no beeps at the last figure, and no
            // pause charged to the trip.
            trip.PollingPaused();
            sound.Silence();
          },
          *platform.tickClock, platform.opener, LinkTimings{}, *platform.sleepClock) {
  link.SetCodesOut([this](const CodesReport& report) {
    std::lock_guard lock(codesMutex_);
    codesReport_ = report;
  });
}

std::optional<CodesReport> AppCore::TakeCodesReport() {
  std::lock_guard lock(codesMutex_);
  return std::exchange(codesReport_, std::nullopt);
}

void AppCore::OnSample(float speed, float air, float fuel, bool running) {
  // The fuel flow as the pump would measure it: litres, money and the beeps all follow the
  // factor; the air is measured on its own and stays as it is.
  dataAge.Sampled(tickClock.NowMs());
  trip.AddSample(speed, air, calibration.Apply(fuel), running);
}

void AppCore::UseAdapterForThisRun(AdapterKind kind) {
  Settings current = settings.Get();
  current.Adapter = kind;
  settings.Set(current);
}

void AppCore::UsePortForThisRun(const std::string& port) {
  Settings current = settings.Get();
  current.Port = port;
  settings.Set(current);
}

}  // namespace drunvale
