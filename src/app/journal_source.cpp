// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/journal_source.h"

#include "app/trip_keeper.h"

namespace drunvale {

JournalWindowSource JournalSourceOf(TripKeeper& journal,
                                    std::function<bool(const std::string& path)> open) {
  JournalWindowSource source;
  source.read = [&journal](std::string& problem) { return journal.ReadJournal(problem); };
  source.journalOn = [&journal] { return journal.JournalOn(); };
  source.setJournalOn = [&journal](bool on) { return journal.SetJournalOn(on); };
  source.folder = journal.JournalFolder();
  source.file = journal.TripsFile();
  source.open = std::move(open);
  return source;
}

}  // namespace drunvale
