// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPaintEvent>
#include <QTest>
#include <vector>

#include "qt/consumption_indicator.h"
#include "qt/idle_commands.h"
#include "qt/main_window.h"

namespace drunvale {
namespace {

// Collects the rectangles the dash is asked to paint.
class PaintSpy : public QObject {
 public:
  std::vector<QRect> rects;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) rects.push_back(static_cast<QPaintEvent*>(event)->rect());
    return false;
  }
};

struct FakeTrip {
  DashFrame frame;
  ConsumptionHistory history;
  DashLook look;
  std::vector<DashLook> stored;
  bool litresPerHour = true;
  bool stale = false;

  MainWindowSource Source() {
    MainWindowSource a;
    a.indicatorText = [this] { return frame.digits; };
    a.indicatorColour = [this] { return IndicatorTextColour(litresPerHour, stale); };
    a.dash.frame = [this] { return frame; };
    a.dash.history = &history;
    a.dash.look = [this] { return look; };
    a.dash.setLook = [this](const DashLook& l) {
      look = l;
      stored.push_back(l);
    };
    a.dash.night = [this] { return look.mode == NightMode::Night; };
    return a;
  }
};

int PixelsOf(const QImage& image, const QRect& rect, QColor colour) {
  int n = 0;
  for (int y = rect.top(); y <= rect.bottom(); y += 2)
    for (int x = rect.left(); x <= rect.right(); x += 2)
      n += image.pixelColor(x, y) == colour;
  return n;
}

TEST(DashWindowTest, OpensFromF11AndTheMenuRepaintsOnlyWhatChangedAndSwitchesToNight) {
  FakeTrip trip;
  trip.frame.digits = "7.5";
  trip.frame.figures = {"среднее 6.1 л/ч", "12.0 км", "1.20 л", "60.00 руб"};
  trip.frame.overLimit = 20;
  MainWindow window;
  window.SetSource(trip.Source());
  struct DashKey final : IdleCommands {
    explicit DashKey(MainWindow& w) : window(w) {}
    void ToggleDash() override { window.ToggleDash(); }
    MainWindow& window;
  } keys(window);
  window.Bind(keys, keys);
  window.show();

  QTest::keyClick(&window, Qt::Key_F11);
  DashWindow* dash = window.Dash();
  ASSERT_NE(dash, nullptr);
  EXPECT_TRUE(dash->isVisible());
  EXPECT_TRUE(dash->isFullScreen());
  EXPECT_EQ(dash->geometry(), window.screen()->geometry());
  QTest::keyClick(dash, Qt::Key_Escape);
  EXPECT_FALSE(dash->isVisible());

  // The main window's menu opens it again.
  auto menu = window.MakeContextMenu();
  QAction* item = nullptr;
  for (QAction* action : menu->actions())
    if (action->text() == QStringLiteral("Приборная панель\tF11")) item = action;
  ASSERT_NE(item, nullptr);
  item->trigger();
  ASSERT_TRUE(dash->isVisible());
  QApplication::processEvents();

  // The digits in the indicator's colour: grey while stale, then light yellow in l/100 km.
  const QColor yellow = ConsumptionIndicator::ToQColor(IndicatorTextColour(false, false));
  const QColor grey = ConsumptionIndicator::ToQColor(IndicatorTextColour(false, true));
  trip.litresPerHour = false;
  trip.frame.litresPerHour = false;
  trip.stale = true;
  window.RepaintIndicator();
  QApplication::processEvents();
  EXPECT_GT(PixelsOf(dash->grab().toImage(), dash->DigitsRect(), grey), 100);
  trip.stale = false;
  window.RepaintIndicator();
  QApplication::processEvents();
  EXPECT_GT(PixelsOf(dash->grab().toImage(), dash->DigitsRect(), yellow), 100);

  // At a refresh where only the digits changed, only they are drawn again; nothing changed,
  // nothing drawn; a new point draws the chart.
  PaintSpy spy;
  dash->installEventFilter(&spy);
  trip.frame.digits = "8.1";
  window.RepaintIndicator();
  QApplication::processEvents();
  ASSERT_EQ(spy.rects.size(), 1u);
  EXPECT_EQ(spy.rects[0], dash->DigitsRect());
  spy.rects.clear();
  window.RepaintIndicator();
  QApplication::processEvents();
  EXPECT_TRUE(spy.rects.empty());
  TripSnapshot snapshot;
  snapshot.State = JamState::Moving;
  snapshot.OutsideJam.TimeMs = 1000;
  snapshot.Current = {1, 50, 0, 5};
  trip.history.Record(0, snapshot);
  window.RepaintIndicator();
  QApplication::processEvents();
  ASSERT_EQ(spy.rects.size(), 1u);
  EXPECT_EQ(spy.rects[0], dash->ChartRect());

  // N: night by hand, stored, and the whole dash black with amber digits.
  QTest::keyClick(dash, Qt::Key_N);
  ASSERT_EQ(trip.stored.size(), 1u);
  EXPECT_EQ(trip.stored[0].mode, NightMode::Night);
  EXPECT_TRUE(dash->Night());
  QApplication::processEvents();
  const QImage night = dash->grab().toImage();
  EXPECT_EQ(night.pixelColor(1, 1), QColor(0, 0, 0));
  EXPECT_EQ(PixelsOf(night, dash->DigitsRect(), yellow), 0);
  // Its menu marks the night by hand and takes the night by the clock back.
  auto dashMenu = dash->MakeContextMenu();
  const QList<QAction*> entries = dashMenu->actions();
  ASSERT_GE(entries.size(), 3);
  EXPECT_EQ(entries[1]->text(), QStringLiteral("Ночь\tN"));
  EXPECT_TRUE(entries[1]->isChecked());
  EXPECT_EQ(entries[2]->text(), QStringLiteral("Ночь по часам, 21:00–7:00"));
  entries[2]->trigger();
  EXPECT_EQ(trip.stored.back().mode, NightMode::ByClock);
  EXPECT_FALSE(dash->Night());
  QTest::keyClick(dash, Qt::Key_N);
  QTest::keyClick(dash, Qt::Key_Minus);
  EXPECT_EQ(trip.look.brightness, DashLook{}.brightness - DashLook::kBrightnessStep);
  QTest::keyClick(dash, Qt::Key_T);
  EXPECT_EQ(trip.look.spanMinutes, 30);
  QTest::keyClick(dash, Qt::Key_F11);
  EXPECT_FALSE(dash->isVisible());
}

}  // namespace
}  // namespace drunvale
