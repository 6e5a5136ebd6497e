// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "dash/chart_plan.h"
#include "dash/dash_commands.h"

namespace drunvale {

// Where the dash reads what it shows; filled from the controller (fakes in tests and
// pictures). The history must outlive the dash.
struct DashSource {
  std::function<DashFrame()> frame;
  const ConsumptionHistory* history = nullptr;
  // The indicator's digit colour now, by its own rules (unit, stale data).
  std::function<Rgb()> digitColour;
  std::function<DashLook()> look;
  std::function<void(const DashLook&)> setLook;
  // Whether the night palette is in force now.
  std::function<bool()> night;
};

// What the dash showed at a refresh, as far as it decides what to draw again.
struct DashShown {
  DashFrame frame;
  Rgb dayDigits;
  DashLook look;
  bool night = false;
  uint64_t revision = 0;  // the history's
  ChartView chart;
  int averageRow = -1;      // the chart's average moves it only by a pixel row
  long averageTenths = -1;  // as its label shows it
};

// The parts to draw again; a new palette means all of them.
struct DashChanges {
  bool palette = false;
  bool digits = false;
  bool figures = false;
  bool chart = false;

  bool Any() const { return palette || digits || figures || chart; }
  bool operator==(const DashChanges&) const = default;
};

DashChanges ChangesBetween(const DashShown& before, const DashShown& now);

// The dash without a window: each view gives it its size and a way to measure text, asks it at
// each refresh what changed, paints the parts it plans, and hands it the commands its keys
// and menu give.
class DashModel {
 public:
  explicit DashModel(DashSource source);

  // Everything is to be drawn again at the next refresh.
  void Resize(int width, int height, TextWidth widthOf);
  // Reads the source; what changed since the last refresh.
  DashChanges Refresh();

  const DashLayout& Layout() const { return layout_; }
  bool Night() const { return shown_.night; }
  DashColours Colours() const;
  std::vector<PlacedText> Digits() const;
  std::vector<PlacedText> Figures() const;
  ChartBackdrop Backdrop() const;
  // Nothing to draw but the backdrop without a history.
  ChartData Data() const;

  // The look goes to the source; true when the dash is to close.
  bool Do(DashCommand command);
  bool ChooseFromMenu(int id);
  std::vector<ShownMenuEntry> Menu() const { return ShowDashMenu(shown_.look); }

 private:
  DashShown ReadSource() const;
  bool Apply(const DashChoice& choice);

  DashSource source_;
  TextWidth widthOf_;
  DashLayout layout_;
  DashShown shown_;
  bool drawn_ = false;  // since the last resize
};

}  // namespace drunvale
