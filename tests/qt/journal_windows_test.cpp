// SPDX-License-Identifier: GPL-3.0-or-later
// The ways into the journal from the window: its context menu, the fill-up dialog and the
// journal window over their logic.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <string>
#include <vector>

#include "journal/journal_rows.h"
#include "qt/fill_up_window.h"
#include "qt/idle_commands.h"
#include "qt/journal_window.h"
#include "qt/main_window.h"
#include "qt/texts_fit.h"

namespace drunvale {
namespace {

TEST(JournalWindows, TheMainWindowsMenuOpensTheJournalTheFillUpDialogAndTheEngineCodes) {
  struct Opened final : IdleCommands {
    std::vector<std::string> windows;
    void OpenJournal() override { windows.push_back("journal"); }
    void OpenFillUp() override { windows.push_back("fill-up"); }
    void OpenEngineCodes() override { windows.push_back("engine codes"); }
  } opened;
  MainWindow window;
  window.Bind(opened, opened);
  const auto menu = window.MakeContextMenu();
  // The journal's items come first, then the dash's (a test of its own), a line apart from the
  // options.
  ASSERT_EQ(menu->actions().size(), 7);
  EXPECT_EQ(menu->actions()[0]->text(), "Журнал поездок…");
  EXPECT_EQ(menu->actions()[1]->text(), "Заправка…");
  EXPECT_EQ(menu->actions()[2]->text(), "Ошибки двигателя…");
  EXPECT_TRUE(menu->actions()[4]->isSeparator());
  for (QAction* action : menu->actions().mid(0, 3)) {
    EXPECT_FALSE(action->isCheckable());
    action->trigger();
  }
  EXPECT_EQ(opened.windows, (std::vector<std::string>{"journal", "fill-up", "engine codes"}));
}

TEST(JournalWindows, TheFillUpDialogRecordsOnlyWhatItProposesAndAPartialFillOnlyAsNotFull) {
  const TankState tank{40.0, 1714550000, {}};
  std::vector<FillProposal> recorded;
  FillUpWindow window(nullptr, tank, 10000, [&](const FillProposal& fill) {
    recorded.push_back(fill);
    return std::string();
  });
  ExpectTextsFit(window);
  auto* pumped = qobject_cast<QLineEdit*>(window.Control(FillUpControl::Pumped));
  auto* record = qobject_cast<QPushButton*>(window.Control(FillUpControl::Record));
  auto* notFull = qobject_cast<QCheckBox*>(window.Control(FillUpControl::NotFull));
  EXPECT_FALSE(record->isEnabled());

  pumped->setText("52");
  emit pumped->textEdited("52");  // 30 % more than counted: refused
  ExpectTextsFit(window);
  EXPECT_FALSE(record->isEnabled());
  notFull->click();
  ExpectTextsFit(window);
  ASSERT_TRUE(record->isEnabled());
  record->click();
  ASSERT_EQ(recorded.size(), 1u);
  EXPECT_EQ(recorded[0].verdict, FillVerdict::NotFull);
  EXPECT_EQ(window.result(), FillUpWindow::kRecorded);
}

TEST(JournalWindows, TheJournalWindowListsTripsNewestFirstAndKeepsItsSwitchAndFile) {
  TripRecord trip;
  trip.start = {1714540530, 180};
  trip.end = {1714544130, 180};
  trip.everywhere = {3600000, 50.0f, 60.0f, 4.0f};
  const std::string first = FormatTripRow(trip);
  trip.start.unixSeconds += 86400;
  trip.end.unixSeconds += 86400;
  const std::string csv = TripsHeader() + "\n" + first + "\n" + FormatTripRow(trip) + "\n";

  bool on = true;
  std::vector<std::string> opened;
  JournalWindowSource source;
  source.read = [&](std::string&) { return SummariseJournal(csv, trip.end, 0); };
  source.journalOn = [&] { return on; };
  source.setJournalOn = [&](bool value) {
    on = value;
    return true;
  };
  source.folder = "/data/Tembrook/Drunvale";
  source.file = "/data/Tembrook/Drunvale/trips.csv";
  source.open = [&](const std::string& path) {
    opened.push_back(path);
    return true;
  };
  JournalWindow window(nullptr, source);
  ExpectTextsFit(window);
  auto* list = window.Control<QTreeWidget>(JournalControl::List);
  ASSERT_EQ(list->topLevelItemCount(), 2);
  EXPECT_EQ(list->topLevelItem(0)->text(0), "2024-05-02 08:15");
  EXPECT_EQ(list->topLevelItem(0)->text(5), "8.00");

  window.Control<QPushButton>(JournalControl::OpenFile)->click();
  window.Control<QPushButton>(JournalControl::OpenFolder)->click();
  EXPECT_EQ(opened, (std::vector<std::string>{source.file, source.folder}));
  window.Control<QCheckBox>(JournalControl::KeepJournal)->click();
  EXPECT_FALSE(on);
  EXPECT_FALSE(window.Control<QCheckBox>(JournalControl::KeepJournal)->isChecked());
}

}  // namespace
}  // namespace drunvale
