// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <set>

#include "dialogs/about_box_template.h"
#include "dialogs/dialog_units.h"
#include "dialogs/fill_up_dialog_template.h"
#include "dialogs/journal_window_template.h"
#include "dialogs/main_dialog_template.h"
#include "dialogs/main_menu.h"
#include "dialogs/settings_dialog_template.h"
#include "dialogs/status_line.h"

namespace drunvale {
namespace {

TEST(DialogUnitsTest, ConvertAsWindowsDoesForItsDialogFont) {
  // "MS Sans Serif" 8 at 96 dpi: 11-pixel characters, base units 6 by 13.
  EXPECT_EQ(DialogFontPixels(8, 96), 11);
  EXPECT_EQ(DialogFontPixels(8, 120), 13);
  const DialogUnits units({.alphabetWidth = 295, .lineHeight = 13});
  EXPECT_EQ(units.BaseX(), 6);
  EXPECT_EQ(units.BaseY(), 13);
  // Halves round away from zero; place and size are converted each on its own.
  EXPECT_EQ(units.ToPixels({202, 193, 50, 14}), (PixelRect{303, 314, 75, 23}));
  EXPECT_EQ(units.ToPixels({1, 3, 319, 231}), (PixelRect{2, 5, 479, 375}));
  EXPECT_EQ(DialogUnits({.alphabetWidth = 311, .lineHeight = 16}).BaseX(), 6);
  EXPECT_EQ(DialogUnits({.alphabetWidth = 312, .lineHeight = 16}).BaseX(), 6);
  EXPECT_EQ(DialogUnits({.alphabetWidth = 338, .lineHeight = 16}).BaseX(), 7);
}

// What a view relies on when it builds a dialog from its template.
void ExpectWellFormed(const DialogTemplate& dialog) {
  SCOPED_TRACE(std::string(dialog.title));
  for (const ControlTemplate& c : dialog.controls) {
    SCOPED_TRACE(c.control);
    EXPECT_GE(c.rect.x, 0);
    EXPECT_GE(c.rect.y, 0);
    EXPECT_LE(c.rect.x + c.rect.width, dialog.width);
    EXPECT_LE(c.rect.y + c.rect.height, dialog.height);
    if (c.kind == ControlKind::UpDown) {
      ASSERT_GT(c.control, 0);
      const ControlTemplate& buddy = dialog.controls[c.control - 1];
      EXPECT_EQ(buddy.kind, ControlKind::Edit);
      EXPECT_TRUE(Has(buddy.style, ControlStyle::Digits));
    }
    EXPECT_EQ(c.kind == ControlKind::Tabs || c.kind == ControlKind::ListView, !c.items.empty());
    EXPECT_EQ(c.kind == ControlKind::ListView, !c.widths.empty());
    if (c.kind == ControlKind::ListView) {
      EXPECT_EQ(c.items.size(), c.widths.size());
      int width = 0;
      for (int column : c.widths)
        width += column;
      EXPECT_LE(width, c.rect.width - 12) << "room for the scroll bar";
    }
  }
}

TEST(DialogTemplateTest, EveryControlLiesInItsDialogAndEveryUpDownFollowsItsBuddy) {
  ExpectWellFormed(MainDialogTemplate());
  ExpectWellFormed(SettingsDialogTemplate());
  ExpectWellFormed(AboutBoxTemplate());
  ExpectWellFormed(JournalWindowTemplate());
  ExpectWellFormed(FillUpDialogTemplate());
  // The buttons that end a dialog carry the identifiers Windows gives Enter, Esc and the close
  // box.
  EXPECT_EQ(SettingsDialogTemplate().IdOf(SettingsControl::Save), 1);
  EXPECT_EQ(SettingsDialogTemplate().IdOf(SettingsControl::Cancel), 2);
  EXPECT_EQ(AboutBoxTemplate().IdOf(AboutControl::Ok), 2);
  EXPECT_EQ(FillUpDialogTemplate().IdOf(FillUpControl::Record), 1);
  EXPECT_EQ(FillUpDialogTemplate().IdOf(FillUpControl::Cancel), 2);
  EXPECT_EQ(JournalWindowTemplate().IdOf(JournalControl::Close), 2);
  // The context menu's identifiers are its own: none twice, none a control's in the main window.
  std::set<int> menuIds;
  for (const MenuItemTemplate& entry : MainContextMenu()) {
    if (entry.kind == MenuItemKind::Separator) continue;
    EXPECT_TRUE(menuIds.insert(entry.id).second) << entry.text;
    for (const ControlTemplate& c : MainDialogTemplate().controls)
      EXPECT_NE(entry.id, c.id) << entry.text;
  }
}

TEST(DialogTemplateTest, EachPanelColumnHasAValueStaticOfItsOwn) {
  const auto& dialog = MainDialogTemplate();
  std::set<MainControl> seen;
  for (PanelColumn column :
       {PanelColumn::TotalsAll, PanelColumn::TotalsInJam, PanelColumn::TotalsOutsideJam,
        PanelColumn::RatesAll, PanelColumn::RatesInJam, PanelColumn::RatesOutsideJam,
        PanelColumn::RatesMaximum, PanelColumn::RatesCurrent}) {
    const ControlTemplate& value = dialog[ControlOf(column)];
    EXPECT_TRUE(seen.insert(ControlOf(column)).second);
    EXPECT_EQ(value.kind, ControlKind::Text);
    EXPECT_NE(value.id, kNoControlId);
    EXPECT_TRUE(Has(value.style, ControlStyle::RightAligned));
    EXPECT_TRUE(Has(value.style, ControlStyle::Sunken));
  }
  // Totals line up with the totals' row captions, rates with the rates'.
  EXPECT_EQ(dialog[ControlOf(PanelColumn::TotalsInJam)].rect.y,
            dialog[MainControl::TotalsCaptions].rect.y);
  EXPECT_EQ(dialog[ControlOf(PanelColumn::RatesCurrent)].rect.height,
            dialog[MainControl::RatesCaptions].rect.height);
}

TEST(StatusRowTest, TheSummaryGrowsLeftIntoWhatTheStatusLeavesAndTheCauseMayCoverTheWaiting) {
  // The status at [10, 200), the summary at [210, 300): a gap of 10.
  const PixelRect status{10, 5, 190, 12};
  const PixelRect summary{210, 5, 90, 12};
  // A short summary keeps its box; a long one grows left up to the gap after the status text.
  EXPECT_EQ(FitStatusRow(status, summary, "Опрос", 30, false, 50),
            (StatusRow{10, 200, 210, 300, false}));
  EXPECT_EQ(FitStatusRow(status, summary, "Опрос", 30, false, 200),
            (StatusRow{10, 90, 100, 300, false}));
  EXPECT_EQ(FitStatusRow(status, summary, "Опрос", 30, false, 400),
            (StatusRow{10, 40, 50, 300, false}));
  // A status longer than its box keeps the box; the summary goes back to its own.
  EXPECT_EQ(FitStatusRow(status, summary, "x", 500, false, 200),
            (StatusRow{10, 200, 210, 300, false}));
  // The cause stands in for an empty summary, and only it may cover the waiting indicator.
  EXPECT_EQ(FitStatusRow(status, summary, "›››", 30, true, 400),
            (StatusRow{10, 10, 20, 300, true}));
  EXPECT_EQ(FitStatusRow(status, summary, "›››", 30, false, 400),
            (StatusRow{10, 40, 50, 300, false}));
  EXPECT_TRUE(IsWaitingIndicator("›"));
  EXPECT_FALSE(IsWaitingIndicator("›a"));
  EXPECT_FALSE(IsWaitingIndicator(""));
}

}  // namespace
}  // namespace drunvale
