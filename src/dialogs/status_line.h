// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "dialogs/dialog_units.h"

namespace drunvale {

// "Нет данных N с": how long no valid sample has come.
std::string NoDataText(uint32_t seconds);

// What a window's status line shows: the link's own text, after "Нет данных N с — " while the
// figures are stale, so the line says both since when nothing came and what the link is doing
// about it.
std::string StatusLineText(const std::string& linkText, std::optional<uint32_t> staleSeconds);

// True for the waiting indicator alone (a run of "›"), which only counts the seconds to the
// next attempt.
bool IsWaitingIndicator(const std::string& status);

// The status row in pixels, half-open [left, right): the status text from the left of its box,
// the summary from the right of its own. Device paths are longer than the "COM1" the row was
// drawn for, so the summary may grow to the left into what the status text leaves free; with
// no summary (no port open) the cause line takes its place and may also cover the waiting
// indicator, and is cut short where it meets the status.
struct StatusRow {
  int statusLeft = 0;
  int statusRight = 0;
  int summaryLeft = 0;
  int summaryRight = 0;
  bool showsCause = false;  // the right-hand text is the cause line, cut with "…" if too long

  constexpr bool operator==(const StatusRow&) const = default;
};
// `statusBox` and `summaryBox` as the dialog model places them; the widths measured by the
// view in the window's font.
StatusRow FitStatusRow(PixelRect statusBox, PixelRect summaryBox, const std::string& status,
                       int statusWidth, bool summaryEmpty, int rightTextWidth);

}  // namespace drunvale
