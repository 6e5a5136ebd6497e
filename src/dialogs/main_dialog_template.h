// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/dialog_template.h"
#include "dialogs/panel_column.h"

namespace drunvale {

// The main dialog's controls, in template order.
enum class MainControl : int {
  TotalsFrame,
  TotalsTitle,
  TotalsEverywhereHeader,
  TotalsInJamHeader,
  TotalsOutsideJamHeader,
  TotalsCaptions,
  TotalsAll,
  TotalsInJam,
  TotalsOutsideJam,
  RatesFrame,
  RatesTitle,
  RatesEverywhereHeader,
  RatesInJamHeader,
  RatesOutsideJamHeader,
  RatesMaximumHeader,
  RatesCurrentHeader,
  RatesCaptions,
  RatesAll,
  RatesInJam,
  RatesOutsideJam,
  RatesMaximum,
  RatesCurrent,
  Start,
  Stop,
  Reset,
  Volume,
  Beep,  // "Пикать"
  Indicator,
  UnitCaption,
  Units,  // "л/ч или л/100"
  Settings,
  About,
  Status,
  Summary,
  StatusSeparator,
};

// The main window "Drunvale <version>". Its template carries no title; the window is given it when
// it opens, and a second copy of the program finds the first by it.
const DialogTemplateOf<MainControl>& MainDialogTemplate();

// The static that shows a value column of the statistics panel.
MainControl ControlOf(PanelColumn column);

}  // namespace drunvale
