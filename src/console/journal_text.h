// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "journal/journal_summary.h"

namespace drunvale {

// The journal in a terminal: the last `lastTrips` trips (all of them when 0), oldest at the
// top, then the totals of today, and with `everySpan` also of this tank and of all.
std::vector<std::string> JournalLines(const JournalContents& journal, size_t lastTrips,
                                      bool everySpan);

// drunvale --journal: the whole journal of this user on out, read only (a running copy goes on
// undisturbed). Returns the exit code.
int PrintJournal(std::FILE* out, std::FILE* errors);

}  // namespace drunvale
