// SPDX-License-Identifier: GPL-3.0-or-later
#include "dash/dash_look.h"

#include <algorithm>

#include "settings/side_values.h"

namespace drunvale {
namespace {

constexpr int kMinutesPerDay = 24 * 60;

int LocalMinuteOfDay(const LocalTime& now) {
  const int64_t local = now.unixSeconds + int64_t{now.utcOffsetMinutes} * 60;
  const int64_t seconds = ((local % 86400) + 86400) % 86400;
  return static_cast<int>(seconds / 60);
}

}  // namespace

bool IsNight(const DashLook& look, const LocalTime& now) {
  if (look.mode != NightMode::ByClock) return look.mode == NightMode::Night;
  const int minute = LocalMinuteOfDay(now);
  const int from = look.nightFromMinute;
  const int to = look.nightToMinute;
  if (from <= to) return minute >= from && minute < to;
  return minute >= from || minute < to;
}

DashLook StepBrightness(DashLook look, int direction) {
  const int stepped = look.brightness + direction * DashLook::kBrightnessStep;
  look.brightness =
      static_cast<uint8_t>(std::clamp<int>(stepped, DashLook::kDimmest, DashLook::kBrightest));
  return look;
}

DashLook ToggleSpan(DashLook look) {
  look.spanMinutes = look.spanMinutes == 30 ? 10 : 30;
  return look;
}

DashLookImage EncodeDashLook(const DashLook& look) {
  return {static_cast<uint8_t>(look.mode),
          look.brightness,
          static_cast<uint8_t>(look.nightFromMinute),
          static_cast<uint8_t>(look.nightFromMinute >> 8),
          static_cast<uint8_t>(look.nightToMinute),
          static_cast<uint8_t>(look.nightToMinute >> 8),
          look.spanMinutes};
}

std::optional<DashLook> DecodeDashLook(const DashLookImage& image) {
  DashLook look;
  if (image[0] > static_cast<uint8_t>(NightMode::ByClock)) return std::nullopt;
  look.mode = static_cast<NightMode>(image[0]);
  look.brightness = image[1];
  look.nightFromMinute = static_cast<uint16_t>(image[2] | image[3] << 8);
  look.nightToMinute = static_cast<uint16_t>(image[4] | image[5] << 8);
  look.spanMinutes = image[6];
  const bool valid = look.brightness >= DashLook::kDimmest &&
                     look.brightness <= DashLook::kBrightest &&
                     look.nightFromMinute < kMinutesPerDay && look.nightToMinute < kMinutesPerDay &&
                     (look.spanMinutes == 10 || look.spanMinutes == 30);
  if (!valid) return std::nullopt;
  return look;
}

DashLook LoadDashLook(UserStore& store) {
  DashLookImage image{};
  if (!LoadSideValue(store, kDashLookName, kRegBinary, image)) return {};
  return DecodeDashLook(image).value_or(DashLook{});
}

bool SaveDashLook(UserStore& store, const DashLook& look) {
  return SaveSideValue(store, kDashLookName, kRegBinary, EncodeDashLook(look));
}

}  // namespace drunvale
