// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QMenu>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/app_core.h"
#include "app/command_line.h"
#include "app/main_controller.h"
#include "app/run_port.h"
#include "platform/testing/memory_autostart.h"
#include "platform/testing/memory_user_store.h"
#include "qt/consumption_indicator.h"
#include "qt/engine_codes_window.h"
#include "qt/main_window.h"
#include "qt/main_window_binding.h"
#include "qt/static_text.h"
#include "sound/testing/recording_audio.h"

namespace drunvale {
namespace {

// The real window, noting what the controller hands it.
class RecordingWindow : public MainWindow {
 public:
  void SetColumn(PanelColumn column, const std::string& text) override {
    ++writes[column];
    MainWindow::SetColumn(column, text);
  }
  void SetStatusLine(const std::string& text) override {
    statuses.push_back(text);
    MainWindow::SetStatusLine(text);
  }
  std::map<PanelColumn, int> writes;
  std::vector<std::string> statuses;
};

CommandLine DemoOptions() {
  CommandLine options;
  options.demo = true;
  return options;
}

// Silent, with --demo's simulated control unit behind every port.
AppPlatform QuietDemoPlatform(RecordingAudio& audio, const RunPort& demo,
                              MemoryAutostart& autostart) {
  AppPlatform platform;
  platform.audio = &audio;
  platform.autostart = &autostart;
  platform.opener = demo.opener;
  return platform;
}

class WindowControllerTest : public ::testing::Test {
 protected:
  WindowControllerTest() {
    controller.Initialise();
    window.show();
  }
  // As the program begins a run from its command line.
  void BeginRun(const CommandLine& options) {
    controller.BeginRun({demo.name, options.beep, options.demo || options.connect, false});
    window.show();
  }
  QString Text(MainControl control) { return window.Control<StaticText>(control)->text(); }
  void Click(MainControl control) { QTest::mouseClick(window.Control(control), Qt::LeftButton); }
  int PixelsOf(QColor colour) {
    QImage image = window.Indicator()->grab().toImage();
    QRect client = window.Indicator()->ClientRect();
    int count = 0;
    for (int y = client.top(); y <= client.bottom(); ++y) {
      for (int x = client.left(); x <= client.right(); ++x)
        count += image.pixelColor(x, y) == colour;
    }
    return count;
  }
  // Connects the window's link to a simulated control unit and waits for live data.
  void ConnectToSimulator() {
    app.UsePortForThisRun(demo.name);
    Click(MainControl::Start);
    // The test gives the ticks itself.
    window.StopRefreshTimer();
    QTRY_VERIFY_WITH_TIMEOUT(
        (window.RefreshTick(), !Text(MainControl::RatesCurrent).startsWith("- ")), 30000);
  }

  RecordingAudio audio;
  MemoryUserStore store;
  MemoryAutostart autostart;
  const RunPort demo = PortForThisRun(DemoOptions());
  AppCore app{QuietDemoPlatform(audio, demo, autostart)};
  RecordingWindow window;
  MainController controller{app, store, window};
  MainWindowBinding binding{window, controller, SettingsDialogRunner()};
};

TEST_F(WindowControllerTest, UnitButtonSwitchesCaptionDigitsAndColour) {
  const QColor white(255, 255, 255), yellow(255, 255, 128);
  EXPECT_EQ(Text(MainControl::UnitCaption),
            "<-- Текущая скорость\n<-- расставания бака\n<--  с топливом, (л/ч)");
  EXPECT_GT(PixelsOf(white), 500);
  EXPECT_EQ(controller.IndicatorText(), "0.0");
  Click(MainControl::Units);
  EXPECT_EQ(Text(MainControl::UnitCaption),
            "<-- Текущая скорость\n<-- расставания бака\n<--  с топливом, (л/100)");
  EXPECT_EQ(controller.IndicatorText(), "8^0");
  EXPECT_GT(PixelsOf(yellow), 500);
  EXPECT_EQ(PixelsOf(white), 0);
  Click(MainControl::Units);
  EXPECT_TRUE(Text(MainControl::UnitCaption).endsWith("(л/ч)"));
  EXPECT_GT(PixelsOf(white), 500);
}

TEST_F(WindowControllerTest, SliderTopIsFullVolumeBottomIsSilence) {
  EXPECT_EQ(app.sound.Device().Volume(), 100);
  window.VolumeSlider()->setValue(100);
  EXPECT_EQ(app.sound.Device().Volume(), 0);
  window.VolumeSlider()->setValue(25);
  EXPECT_EQ(app.sound.Device().Volume(), 75);
  window.VolumeSlider()->setValue(0);
  EXPECT_EQ(app.sound.Device().Volume(), 100);
}

TEST_F(WindowControllerTest, StopBeforeAnyStartShowsNoStatusAndRefreshesThePanel) {
  int totals = window.writes[PanelColumn::TotalsAll];
  Click(MainControl::Stop);
  EXPECT_TRUE(window.statuses.empty());
  EXPECT_EQ(Text(MainControl::Status), "");
  EXPECT_EQ(window.writes[PanelColumn::TotalsAll], totals + 1);
  EXPECT_FALSE(window.RefreshTimerActive());
}

TEST_F(WindowControllerTest, LiveDataFillsTheCurrentColumnEveryTickAndTheRestEveryFourth) {
  ConnectToSimulator();
  std::vector<int> fullAt;
  for (int tick = 1; tick <= 8; ++tick) {
    int current = window.writes[PanelColumn::RatesCurrent];
    int totals = window.writes[PanelColumn::TotalsAll];
    window.RefreshTick();
    EXPECT_EQ(window.writes[PanelColumn::RatesCurrent], current + 1);
    if (window.writes[PanelColumn::TotalsAll] != totals) fullAt.push_back(tick);
  }
  ASSERT_EQ(fullAt.size(), 2u);
  EXPECT_EQ(fullAt[1] - fullAt[0], 4);
  EXPECT_FALSE(Text(MainControl::RatesAll).startsWith("- "));
  EXPECT_NE(Text(MainControl::Summary), "");
  // Live figures: the normal colour, and no "Нет данных" on the status line.
  EXPECT_GT(PixelsOf(QColor(255, 255, 255)), 500);
  EXPECT_FALSE(Text(MainControl::Status).startsWith("Нет данных"));
  Click(MainControl::Stop);
}

TEST_F(WindowControllerTest, DemoStartsTheLinkWithoutAClick) {
  BeginRun(DemoOptions());
  EXPECT_TRUE(window.RefreshTimerActive());
  QTRY_VERIFY_WITH_TIMEOUT(!Text(MainControl::RatesCurrent).startsWith("- "), 30000);
  EXPECT_FALSE(app.sound.IsEnabled());  // "Пикать" stays as the command line left it
  Click(MainControl::Stop);
}

// The codes window over the real link: the demo's unit answers between two polls, and polling
// goes on.
TEST_F(WindowControllerTest, TheEngineCodesWindowReadsTheUnitsCodesWhilePolling) {
  ConnectToSimulator();
  EngineCodesWindow codes(&window, controller.EngineCodes());
  auto* list = codes.Control<QTreeWidget>(EngineCodesControl::List);
  QTRY_COMPARE_WITH_TIMEOUT(list->topLevelItemCount(), 2, 10000);
  EXPECT_EQ(list->topLevelItem(0)->text(0), "P0171");
  const QString before = Text(MainControl::RatesAll);
  QTRY_VERIFY_WITH_TIMEOUT((window.RefreshTick(), Text(MainControl::RatesAll) != before), 10000);
  Click(MainControl::Stop);
}

TEST_F(WindowControllerTest, TheContextMenuSwitchesBothOptionsAndEitherConnectsAtOpening) {
  CommandLine once;
  once.connect = true;
  BeginRun(once);
  EXPECT_TRUE(window.RefreshTimerActive());
  Click(MainControl::Stop);

  // The options follow the journal's and the dash's items in the one menu.
  std::unique_ptr<QMenu> menu = window.MakeContextMenu();
  QList<QAction*> items = menu->actions().mid(static_cast<int>(MainMenuItem::ConnectAtStart));
  ASSERT_EQ(items.size(), 2);
  EXPECT_EQ(items[0]->text(), "Соединяться при запуске");
  EXPECT_EQ(items[1]->text(), "Запускать при входе в систему");
  EXPECT_FALSE(items[0]->isChecked() || items[1]->isChecked());
  items[0]->trigger();
  items[1]->trigger();
  EXPECT_TRUE(autostart.on);
  menu = window.MakeContextMenu();
  items = menu->actions().mid(static_cast<int>(MainMenuItem::ConnectAtStart));
  EXPECT_TRUE(items[0]->isChecked() && items[1]->isChecked());

  // The stored option, without --connect.
  BeginRun(CommandLine());
  EXPECT_TRUE(window.RefreshTimerActive());
  Click(MainControl::Stop);
}

TEST_F(WindowControllerTest, ClosingWhileConnectedSaysSoAndEndsWithTwo) {
  ConnectToSimulator();
  window.statuses.clear();
  window.SetBeepTicked(true);
  Click(MainControl::Start);
  EXPECT_TRUE(app.sound.IsEnabled());
  EXPECT_TRUE(window.close());
  EXPECT_EQ(window.result(), 2);
  EXPECT_FALSE(app.sound.IsEnabled());
  EXPECT_FALSE(window.RefreshTimerActive());
  EXPECT_NE(std::find(window.statuses.begin(), window.statuses.end(), "Отсоединяемся..."),
            window.statuses.end());
}

}  // namespace
}  // namespace drunvale
