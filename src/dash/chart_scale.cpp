// SPDX-License-Identifier: GPL-3.0-or-later
#include "dash/chart_scale.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace drunvale {
namespace {

// Below this the sound engine is handed "standing" rather than a figure per 100 km.
constexpr float kSlowestForPer100 = 1.0f;
// The top is at most this many limits, so the bands keep their room.
constexpr float kTopInLimits = 3.0f;
// Above the limit, room for a quarter of it to show the Over band.
constexpr float kOverRoom = 1.25f;

// 1, 2 or 5 times a power of ten: the grid step for about five lines up to `span`.
float GridStepFor(float span) {
  const float rough = span / 5.0f;
  const float power = std::pow(10.0f, std::floor(std::log10(rough)));
  for (float mantissa : {1.0f, 2.0f, 5.0f}) {
    if (mantissa * power >= rough) return mantissa * power;
  }
  return 10.0f * power;
}

}  // namespace

std::optional<float> PointValue(const HistoryPoint& point, bool litresPerHour) {
  if (point.kind == PointKind::Gap) return std::nullopt;
  if (litresPerHour) return point.fuel;
  if (point.speed < kSlowestForPer100) return std::numeric_limits<float>::infinity();
  return point.fuel / point.speed * 100.0f;
}

std::optional<float> TripAverage(const TripSnapshot& trip, bool litresPerHour) {
  const TripFigures all = trip.Everywhere();
  if (all.TimeMs == 0) return std::nullopt;
  if (litresPerHour) return all.PerHour().Fuel;
  if (all.Distance < 0.00001f) return std::nullopt;
  return all.Fuel * 100.0f / all.Distance;
}

ChartScale ScaleFor(const ConsumptionHistory& history, size_t seconds, bool litresPerHour,
                    float overLimit, std::optional<float> average) {
  float highest = std::max(overLimit * kOverRoom, average.value_or(0.0f));
  const size_t count = std::min(seconds, history.Size());
  for (size_t age = 0; age < count; ++age) {
    const std::optional<float> value = PointValue(history.At(age), litresPerHour);
    if (value && std::isfinite(*value)) highest = std::max(highest, *value);
  }
  if (overLimit > 0) highest = std::min(highest, overLimit * kTopInLimits);
  highest = std::max(highest, 1.0f);
  ChartScale scale;
  scale.overLimit = overLimit;
  scale.gridStep = GridStepFor(highest);
  scale.top = std::ceil(highest / scale.gridStep) * scale.gridStep;
  return scale;
}

}  // namespace drunvale
