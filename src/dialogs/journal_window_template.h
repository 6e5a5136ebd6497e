// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

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

// The totals' values, a column each, in the order of the totals' headings.
inline constexpr JournalControl kJournalTotals[] = {
    JournalControl::TotalTrips,  JournalControl::TotalTime,    JournalControl::TotalKilometres,
    JournalControl::TotalLitres, JournalControl::TotalRoubles, JournalControl::TotalPer100};

// The journal's figures stand right in its list, its words left.
constexpr bool JournalColumnRightAligned(size_t column, size_t columns) {
  return column != 0 && column + 1 != columns;
}

// "Журнал поездок", a dialog over the main window.
const DialogTemplateOf<JournalControl>& JournalWindowTemplate();

}  // namespace drunvale
