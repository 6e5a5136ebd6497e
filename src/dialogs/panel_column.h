// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace drunvale {

// The value columns of the statistics panel: totals in the upper table, rates in the lower.
enum class PanelColumn {
  TotalsAll,
  TotalsInJam,
  TotalsOutsideJam,
  RatesAll,
  RatesInJam,
  RatesOutsideJam,
  RatesMaximum,
  RatesCurrent,
};

}  // namespace drunvale
