// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/fill_up.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "journal/fuel_factor.h"
#include "platform/c_locale_number.h"

namespace drunvale {

std::optional<double> ParseLitres(std::string_view text) {
  std::string number;
  for (char c : text) {
    if (c == ' ') continue;
    if (c == ',') c = '.';
    if ((c < '0' || c > '9') && c != '.') return std::nullopt;
    number += c;
  }
  if (number.empty() || number == "." || std::count(number.begin(), number.end(), '.') > 1) {
    return std::nullopt;
  }
  const double litres = StrtodInCLocale(number.c_str());
  if (!(litres > 0) || litres > kMostPumpedLitres) return std::nullopt;
  return litres;
}

FillProposal ProposeFill(const TankState& tank, uint32_t factor, std::optional<double> pumped,
                         bool notFull) {
  FillProposal fill;
  fill.counted = tank.Started() ? tank.litres : 0;
  fill.pumpedEarlier = tank.Started() ? tank.pumpedNotFull : 0;
  fill.before = fill.after = factor;
  fill.counting = tank.Started();
  if (!pumped) return fill;
  fill.pumped = *pumped;
  // All the fuel that went in since the last full tank, to be compared with the count.
  const double total = fill.pumped + fill.pumpedEarlier;
  if (notFull) {
    fill.verdict = FillVerdict::NotFull;
  } else if (!tank.Started()) {
    fill.verdict = FillVerdict::First;
  } else if (fill.counted < kLeastCountedLitres ||
             std::abs(total - fill.counted) > kPartialShare * fill.counted) {
    fill.verdict = FillVerdict::Partial;
  } else {
    fill.verdict = FillVerdict::Full;
    const double old = factor / 10000.0;
    fill.measured = static_cast<float>(old * total / fill.counted);
    double weighted = total * fill.measured;
    double litres = total;
    for (const PastFill& past : tank.fills) {
      if (past.litres <= 0) continue;
      weighted += double{past.litres} * past.factor;
      litres += past.litres;
    }
    const double average = weighted / litres;
    const double held = std::clamp(average, old * (1 - kStepShare), old * (1 + kStepShare));
    fill.limited = held != average;
    const double parts = std::round(held * 10000.0);
    fill.after =
        static_cast<uint32_t>(std::clamp(parts, double{kFactorLowest}, double{kFactorHighest}));
  }
  return fill;
}

TankState TankAfterFill(const TankState& tank, const FillProposal& fill, int64_t now) {
  TankState after = tank;
  if (fill.verdict == FillVerdict::NotFull) {
    // Before the first full tank there is nothing to count from yet.
    if (after.Started()) after.pumpedNotFull += fill.pumped;
    return after;
  }
  after.litres = 0;
  after.pumpedNotFull = 0;
  after.since = now != 0 ? now : 1;  // 0 would mean no start
  if (fill.verdict == FillVerdict::Full) {
    after.fills[1] = after.fills[0];
    after.fills[0] = {static_cast<float>(fill.pumped + fill.pumpedEarlier), fill.measured};
  }
  return after;
}

}  // namespace drunvale
