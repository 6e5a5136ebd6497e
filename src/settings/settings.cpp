// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings.h"

#include "platform/serial_port.h"

namespace drunvale {

void ResetParameters(Parameters& p) {
  p.BaudRate = 10400;
  p.RtsPulse = true;
  p.DtrOn = true;
  p.FuelPrice = 30.0f;
  p.JamMinutes = 5;
  p.JamSpeed = 30;
  p.OverLimit = 20;
  p.LevelZero = {0, 370, true, 44100, false};
  p.LevelMin = {5000, 440, true, 44100, false};
  p.LevelMax = {100, 660, true, 44100, false};
  p.LevelOver = {0, 740, true, 44100, false};
}

Settings::Settings() : Port(DefaultSerialPort()) {
  ResetParameters(Params);
}

Settings SharedSettings::Get() const {
  std::lock_guard lock(core_->mutex);
  return core_->settings;
}

Parameters SharedSettings::GetParameters() const {
  std::lock_guard lock(core_->mutex);
  return core_->settings.Params;
}

void SharedSettings::Set(const Settings& settings) {
  std::lock_guard lock(core_->mutex);
  core_->settings = settings;
}

}  // namespace drunvale
