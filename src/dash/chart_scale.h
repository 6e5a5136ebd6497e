// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>

#include "dash/consumption_history.h"
#include "trip/trip_computer.h"

namespace drunvale {

// A point's consumption in the unit shown: l/h, or l/100 km. nullopt for a gap. A car slower
// than 1 km/h has no finite l/100 km: it comes back as infinity, above every level, as the
// sound engine hears it then.
std::optional<float> PointValue(const HistoryPoint& point, bool litresPerHour);

// The trip's average consumption in the unit shown, as the panel works it out; nullopt while
// there is none (no engine time, or no distance for l/100 km).
std::optional<float> TripAverage(const TripSnapshot& trip, bool litresPerHour);

// The chart's vertical scale and the sound levels drawn on it, all in the unit shown. The
// sound engine takes OverLimit in whichever unit the indicator shows, so the same number is
// the limit in both units: 0 < value < overLimit beeps on the Min-to-Max band (its interval and
// pitch going from the Min record's to the Max record's), overLimit and above is Over, 0 and
// below is Zero.
struct ChartScale {
  float overLimit = 0;
  float top = 1;       // the value at the chart's top edge; higher points are drawn there
  float gridStep = 1;  // the distance between horizontal grid lines

  bool operator==(const ChartScale&) const = default;
};

// The scale for the newest `seconds` points: room for the Over band above its limit, the
// average and the highest finite point, rounded up to a round number. Points far above the
// limit (a standing car, a crawl in l/100 km) do not squeeze the bands: the top stays within a
// few limits.
ChartScale ScaleFor(const ConsumptionHistory& history, size_t seconds, bool litresPerHour,
                    float overLimit, std::optional<float> average);

}  // namespace drunvale
