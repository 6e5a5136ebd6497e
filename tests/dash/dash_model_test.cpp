// SPDX-License-Identifier: GPL-3.0-or-later
// The dash as both views draw it: its layout, chart plan, refresh rule and commands.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "dash/dash_model.h"
#include "dash/dash_texts.h"

namespace drunvale {
namespace {

// Every character 0.6 of the pixel size wide, whatever its face.
int FakeWidth(DashFont, int pixels, std::string_view text) {
  int characters = 0;
  for (const unsigned char c : text)
    characters += (c & 0xC0) != 0x80;
  return characters * pixels * 6 / 10;
}

bool Inside(const PixelBox& inner, const PixelBox& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// One second a point, oldest first: a value in l/h, a gap (negative) or a jam's (kJam + value).
constexpr float kJam = 1000;
void Record(ConsumptionHistory& history, const std::vector<float>& seconds) {
  TripSnapshot trip;
  uint32_t ms = 0;
  for (const float value : seconds) {
    trip.State = value >= kJam ? JamState::Jammed : JamState::Moving;
    if (value >= 0) trip.OutsideJam.TimeMs += 1000;  // a counted sample
    trip.Current = {1000, 50, 0, value >= kJam ? value - kJam : value};
    history.Record(ms, trip);
    ms += 1000;
  }
}

TEST(DashLayoutTest, PartsStackInsideTheWindowAndTheDigitsFitBesideTheUnit) {
  for (const auto& [width, height] : {std::pair{800, 480}, std::pair{1920, 1080}}) {
    const DashLayout l = LayOutDash(width, height, FakeWidth);
    EXPECT_TRUE(Inside(l.digits, l.window) && Inside(l.figures, l.window) &&
                Inside(l.chart, l.window) && Inside(l.plot, l.chart));
    EXPECT_LE(l.digits.bottom, l.figures.top);
    EXPECT_LE(l.figures.bottom, l.chart.top);
    EXPECT_GT(l.plot.Height(), height / 4);

    DashFrame frame;
    frame.litresPerHour = false;
    frame.digits = "88.8";
    const DashColours colours = DayColours({255, 255, 128});
    std::vector<PlacedText> digits = PlaceDigits(l, frame, colours, FakeWidth);
    ASSERT_EQ(digits.size(), 2u);
    EXPECT_EQ(digits[0].text, "л/100 км");
    EXPECT_EQ(digits[0].box.right, l.digits.right);
    EXPECT_EQ(digits[1].pixels, l.digitPixels);
    EXPECT_EQ(digits[1].colour, (Rgb{255, 255, 128}));
    const int unitLeft = l.digits.right - FakeWidth(DashFont::Unit, l.unitPixels, "л/100 км");
    EXPECT_LE(l.digits.left + FakeWidth(DashFont::Digits, l.digitPixels, "88.8"), unitLeft);
    // Wider digits are narrowed to the same room.
    frame.digits = "888.8";
    digits = PlaceDigits(l, frame, colours, FakeWidth);
    EXPECT_LT(digits[1].pixels, l.digitPixels);
    EXPECT_LE(FakeWidth(DashFont::Digits, digits[1].pixels, "888.8"), digits[1].box.Width());

    // One figure too wide for its quarter narrows all four alike.
    const DashFigures figures{"среднее 12.9 л/100 км и ещё много слов", "3.2 км", "0.42 л",
                              "12.48 руб"};
    const std::vector<PlacedText> placed = PlaceFigures(l, figures, colours, FakeWidth);
    ASSERT_EQ(placed.size(), 4u);
    EXPECT_LT(placed[0].pixels, l.figurePixels);
    EXPECT_EQ(placed[3].pixels, placed[0].pixels);
    EXPECT_LE(FakeWidth(DashFont::Figures, placed[0].pixels, figures.average),
              placed[0].box.Width());
    EXPECT_EQ(placed[3].box.right, l.figures.left + l.figures.Width() / 4 * 4);
  }
}

TEST(ChartPlanTest, ScaleBandsAndTimeMarksStayInsideTheChart) {
  const DashLayout l = LayOutDash(800, 480, FakeWidth);
  const PixelBox& plot = l.plot;
  const ChartScale scale{20, 25, 5};
  // Half-open: the plot's first and last rows and columns, never one beyond.
  EXPECT_EQ(RowOf(plot, scale, 0), plot.bottom - 1);
  EXPECT_EQ(RowOf(plot, scale, 25), plot.top);
  EXPECT_EQ(RowOf(plot, scale, 1e9f), plot.top);
  // As the plan rounds them: on a machine that fuses the multiply, the ends are off by far less
  // than a pixel.
  EXPECT_EQ(std::lround(ColumnOf(plot, 600, 0)), plot.right - 1);
  EXPECT_EQ(std::lround(ColumnOf(plot, 600, 599)), plot.left);

  ChartView view{600, true, scale, std::nullopt};
  const DashColours night = NightColours({255, 255, 255}, 50);
  const ChartBackdrop b = PlanBackdrop(l, view, night, FakeWidth);
  EXPECT_EQ(b.background, night.background);
  ASSERT_EQ(b.bands.size(), 2u);
  const int limit = RowOf(plot, scale, 20);
  EXPECT_EQ(b.bands[0].box, (PixelBox{plot.left, limit, plot.right, plot.bottom}));
  EXPECT_EQ(b.bands[0].bottom, night.minBand);
  EXPECT_EQ(b.bands[0].top, night.maxBand);
  EXPECT_EQ(b.bands[1].box, (PixelBox{plot.left, plot.top, plot.right, limit}));
  ASSERT_EQ(b.bandNames.size(), 3u);
  EXPECT_EQ(b.bandNames[0].text, dash_text::kMinBand);
  EXPECT_EQ(b.bandNames[2].text, dash_text::kOverBand);
  ASSERT_EQ(b.rows.size(), 6u);
  EXPECT_EQ(b.rows[0].figure.text, "0");
  EXPECT_EQ(b.rows[5].figure.text, "25");
  EXPECT_EQ(b.rows[5].row, plot.top);
  for (const ChartGridRow& row : b.rows)
    EXPECT_LE(row.figure.box.right, plot.left);
  ASSERT_EQ(b.marks.size(), 2u);
  EXPECT_EQ(b.marks[0].label.text, "сейчас");
  EXPECT_EQ(b.marks[0].label.box.right, plot.right);  // kept inside, though centred on the edge
  EXPECT_EQ(b.marks[1].label.text, "−5 мин");
  EXPECT_TRUE(Inside(b.marks[1].label.box, b.chart));

  // The long span marks every 10 minutes; no limit, no bands but the Over one.
  view.seconds = 1800;
  view.scale = {0, 10, 2};
  const ChartBackdrop longer = PlanBackdrop(l, view, night, FakeWidth);
  ASSERT_EQ(longer.marks.size(), 3u);
  EXPECT_EQ(longer.marks[2].label.text, "−20 мин");
  EXPECT_EQ(longer.bands.size(), 1u);
  EXPECT_NE(longer, b);
}

TEST(ChartPlanTest, LineRunsBreakAtGapsLoneSecondsShowAndJamsAndTheAverageAreMarked) {
  const DashLayout l = LayOutDash(1920, 1080, FakeWidth);
  ConsumptionHistory history;
  // Oldest first: a jam of 100 s, a gap, a lone second, a gap, then 5 s driving.
  std::vector<float> seconds(100, kJam + 2);
  seconds.insert(seconds.end(), {-1, 6, -1, 8, 8, 8, 8, 30});
  Record(history, seconds);
  const ChartView view{600, true, {20, 25, 5}, 7.44f};
  const ChartData d = PlanData(l, history, view, DayColours({255, 255, 255}), FakeWidth);

  ASSERT_EQ(d.runs.size(), 3u);
  EXPECT_EQ(d.runs[0].size(), 100u);
  ASSERT_EQ(d.runs[1].size(), 2u);
  EXPECT_EQ(d.runs[1][1].x, d.runs[1][0].x + 1);
  EXPECT_EQ(d.runs[1][1].y, d.runs[1][0].y);
  // The newest point on the plot's last column, one above the top on its first row.
  EXPECT_EQ(d.runs[2].back(), (ChartPoint{l.plot.right - 1, l.plot.top}));
  EXPECT_EQ(d.runs[2].front().y, RowOf(l.plot, view.scale, 8));

  ASSERT_EQ(d.jams.size(), 1u);
  EXPECT_TRUE(Inside(d.jams[0].strip, l.plot));
  EXPECT_EQ(d.jams[0].strip.left, d.runs[0].front().x - 1);
  ASSERT_TRUE(d.jams[0].label);
  EXPECT_EQ(d.jams[0].label->text, "пробка");

  ASSERT_TRUE(d.average);
  EXPECT_EQ(d.average->row, RowOf(l.plot, view.scale, 7.44f));
  EXPECT_EQ(d.average->label.text, "среднее 7.4");
  EXPECT_EQ(d.average->label.box.bottom, d.average->row);

  // Without points, neither runs nor jams.
  const ChartData empty = PlanData(l, ConsumptionHistory{}, view, DayColours({}), FakeWidth);
  EXPECT_TRUE(empty.runs.empty() && empty.jams.empty());
}

// The controller as the dash sees it.
struct FakeController {
  DashFrame frame;
  ConsumptionHistory history;
  DashLook look;
  Rgb digits{255, 255, 255};
  std::vector<DashLook> stored;

  DashSource Source() {
    DashSource s;
    s.frame = [this] { return frame; };
    s.history = &history;
    s.digitColour = [this] { return digits; };
    s.look = [this] { return look; };
    s.setLook = [this](const DashLook& l) { stored.push_back(look = l); };
    s.night = [this] { return look.mode == NightMode::Night; };
    return s;
  }
};

TEST(DashModelTest, ARefreshDrawsAgainOnlyThePartsWhoseContentChanged) {
  FakeController c;
  c.frame.digits = "7.5";
  c.frame.overLimit = 20;
  c.frame.average = 6.0f;
  c.look.mode = NightMode::Day;
  DashModel dash(c.Source());
  dash.Resize(800, 480, FakeWidth);
  const DashChanges all{true, true, true, true};
  const DashChanges none;
  EXPECT_EQ(dash.Refresh(), all);
  EXPECT_EQ(dash.Refresh(), none);

  c.frame.digits = "8.1";
  EXPECT_EQ(dash.Refresh(), (DashChanges{false, true, false, false}));
  c.digits = {64, 64, 64};  // stale
  EXPECT_EQ(dash.Refresh(), (DashChanges{false, true, false, false}));
  c.frame.figures.distance = "1.0 км";
  EXPECT_EQ(dash.Refresh(), (DashChanges{false, false, true, false}));
  Record(c.history, {5});
  EXPECT_EQ(dash.Refresh(), (DashChanges{false, false, false, true}));
  // The average moves the chart when its row or its label's figure does.
  c.frame.average = 6.01f;
  EXPECT_EQ(dash.Refresh(), none);
  c.frame.average = 6.3f;
  EXPECT_EQ(dash.Refresh(), (DashChanges{false, false, false, true}));

  // The brightness is the night's alone.
  c.look.brightness = 80;
  EXPECT_EQ(dash.Refresh(), none);
  c.look.mode = NightMode::Night;
  EXPECT_TRUE(dash.Refresh().palette);
  EXPECT_TRUE(dash.Night());
  EXPECT_EQ(dash.Colours().background, (Rgb{0, 0, 0}));
  c.look.brightness = 30;
  EXPECT_TRUE(dash.Refresh().palette);
  c.look.spanMinutes = 30;
  EXPECT_EQ(dash.Refresh(), (DashChanges{false, false, false, true}));

  dash.Resize(1920, 1080, FakeWidth);
  EXPECT_EQ(dash.Refresh(), all);
  EXPECT_EQ(dash.Layout().window.right, 1920);
}

TEST(DashCommandsTest, KeysAndTheMenuSetTheLookOrClose) {
  DashLook look;  // by the clock
  EXPECT_EQ(Command(DashCommand::Night, look, true).look.mode, NightMode::Day);
  EXPECT_EQ(Command(DashCommand::Night, look, false).look.mode, NightMode::Night);
  EXPECT_EQ(Command(DashCommand::Span, look, false).look.spanMinutes, 30);
  EXPECT_EQ(Command(DashCommand::Brighter, look, false).look.brightness, 60);
  look.brightness = DashLook::kDimmest;
  EXPECT_EQ(Command(DashCommand::Dimmer, look, false).look.brightness, DashLook::kDimmest);
  EXPECT_TRUE(Command(DashCommand::Close, look, false).close);
  look = {};

  // As it opens: night by the clock marked with its hours, and each submenu's choice in force.
  std::vector<ShownMenuEntry> menu = ShowDashMenu(look);
  ASSERT_EQ(menu.size(), DashContextMenu().size());
  const auto& byClock = menu[static_cast<int>(DashMenuItem::NightByClock)];
  EXPECT_EQ(byClock.text, "Ночь по часам, 21:00–7:00");
  EXPECT_TRUE(byClock.marked);
  EXPECT_FALSE(menu[static_cast<int>(DashMenuItem::Night)].marked);
  EXPECT_EQ(menu[static_cast<int>(DashMenuItem::Night)].key, "N");
  EXPECT_EQ(menu[static_cast<int>(DashMenuItem::Close)].key, "F11");
  EXPECT_FALSE(menu[static_cast<int>(DashMenuItem::LongSpan)].marked);

  // Every submenu entry, once chosen, is the one marked, and its text says what it set.
  for (const DashMenuItem item :
       {DashMenuItem::NightFrom, DashMenuItem::NightTo, DashMenuItem::Brightness}) {
    for (const ShownMenuEntry& entry : menu[static_cast<int>(item)].submenu) {
      const DashChoice choice = ChooseFromMenu(entry.id, look);
      ASSERT_FALSE(choice.close);
      const DashLook& set = choice.look;
      const std::string said = item == DashMenuItem::NightFrom ? MinuteText(set.nightFromMinute)
                               : item == DashMenuItem::NightTo
                                   ? MinuteText(set.nightToMinute)
                                   : std::to_string(set.brightness) + " %";
      EXPECT_EQ(entry.text, said);
      const std::vector<ShownMenuEntry> after = ShowDashMenu(set);
      for (const ShownMenuEntry& shown : after[static_cast<int>(item)].submenu)
        EXPECT_EQ(shown.marked, shown.id == entry.id) << entry.text << " " << shown.text;
    }
  }
  // An hour of the night starts the night by the clock again.
  look.mode = NightMode::Night;
  const int seven = DashMenuEntry(DashMenuItem::NightTo).submenu[3].id;
  EXPECT_EQ(ChooseFromMenu(seven, look).look.mode, NightMode::ByClock);
  EXPECT_EQ(ChooseFromMenu(DashMenuEntry(DashMenuItem::Day).id, look).look.mode, NightMode::Day);
  EXPECT_TRUE(ChooseFromMenu(DashMenuEntry(DashMenuItem::Close).id, look).close);

  // The model hands its choices to the controller, and closes nothing on its own.
  FakeController c;
  DashModel dash(c.Source());
  dash.Resize(800, 480, FakeWidth);
  (void)dash.Refresh();
  EXPECT_FALSE(dash.ChooseFromMenu(DashMenuEntry(DashMenuItem::Night).id));
  EXPECT_FALSE(dash.Do(DashCommand::Span));
  ASSERT_EQ(c.stored.size(), 2u);
  EXPECT_EQ(c.stored[0].mode, NightMode::Night);
  EXPECT_EQ(c.stored[1].spanMinutes, 30);
  EXPECT_TRUE(dash.Do(DashCommand::Close));
  EXPECT_EQ(c.stored.size(), 2u);
}

}  // namespace
}  // namespace drunvale
