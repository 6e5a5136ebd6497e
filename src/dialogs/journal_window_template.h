// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs/dialog_template.h"

namespace drunvale {

// The journal window's controls, in template order.
enum class JournalControl : int {
  List,  // the trips, newest first
  TotalsTitle,
  TripsHeader,
  TimeHeader,
  KilometresHeader,
  LitresHeader,
  RoublesHeader,
  Per100Header,
  TotalsCaptions,  // today, this tank, all: a line each
  TotalTrips,      // the totals, a column each, a line per span
  TotalTime,
  TotalKilometres,
  TotalLitres,
  TotalRoubles,
  TotalPer100,
  Status,       // where the file is, or what is wrong with it
  KeepJournal,  // "Вести журнал"
  OpenFolder,
  OpenFile,
  Close,  // identifier 2: Esc and the close box act as it does
};

// "Журнал поездок", a dialog over the main window.
const DialogTemplateOf<JournalControl>& JournalWindowTemplate();

}  // namespace drunvale
