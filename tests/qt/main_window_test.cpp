// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <vector>

#include "program_version.h"
#include "qt/about_box.h"
#include "qt/consumption_indicator.h"
#include "qt/dialog_font.h"
#include "qt/idle_commands.h"
#include "qt/main_window.h"
#include "qt/static_text.h"
#include "qt/texts_fit.h"

namespace drunvale {
namespace {

// Notes every command and every window asked for.
struct Recorder final : IdleCommands {
  std::vector<std::string> calls;
  void Note(const std::string& call) { calls.push_back(call); }
  void Start(bool beep) override { Note(beep ? "start beep" : "start quiet"); }
  void Stop() override { Note("stop"); }
  void Reset() override { Note("reset"); }
  void SetBeep(bool on) override { Note(on ? "beep on" : "beep off"); }
  void ToggleUnits() override { Note("toggle"); }
  void ApplySavedSettings() override { Note("saved"); }
  int Close() override {
    Note("close");
    return 2;
  }
  bool RunSettingsDialog() override {
    Note("settings");
    return true;
  }
  void OpenAbout() override { Note("about"); }
  void OpenJournal() override { Note("journal"); }
  void OpenFillUp() override { Note("fill-up"); }
  void OpenEngineCodes() override { Note("engine codes"); }
  void ToggleDash() override { Note("dash"); }
};

template <typename T = QWidget>
T* Control(const MainWindow& window, MainControl control) {
  return window.Control<T>(control);
}

TEST(MainWindowTest, EveryControlOfTheTemplateIsAtItsPlaceWithItsCaption) {
  MainWindow window;
  EXPECT_EQ(window.windowTitle(), DRUNVALE_TITLE);
  const auto& dialog = MainDialogTemplate();
  const DialogUnits& du = window.Units();
  EXPECT_EQ(window.size(), QSize(du.X(319), du.Y(231)));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
  for (const ControlTemplate& t : dialog.controls) {
    QWidget* widget = window.Control(static_cast<MainControl>(t.control));
    ASSERT_NE(widget, nullptr) << t.control;
    EXPECT_EQ(widget->geometry(), ToQRect(du.ToPixels(t.rect))) << t.control;
  }
  const std::vector<std::pair<MainControl, const char*>> buttons = {
      {MainControl::Start, "Старт"},        {MainControl::Stop, "Стоп"},
      {MainControl::Reset, "Обнулить"},     {MainControl::Units, "л/ч или л/100"},
      {MainControl::Settings, "Настройка"}, {MainControl::About, "О Проге"}};
  for (const auto& [control, caption] : buttons) {
    auto* button = Control<QPushButton>(window, control);
    ASSERT_NE(button, nullptr) << caption;
    EXPECT_EQ(button->text(), QString::fromUtf8(caption));
  }
  auto* beep = Control<QCheckBox>(window, MainControl::Beep);
  ASSERT_NE(beep, nullptr);
  EXPECT_EQ(beep->text(), "Пикать");
  EXPECT_FALSE(beep->isChecked());
  for (PanelColumn column :
       {PanelColumn::TotalsAll, PanelColumn::TotalsInJam, PanelColumn::TotalsOutsideJam,
        PanelColumn::RatesAll, PanelColumn::RatesInJam, PanelColumn::RatesOutsideJam,
        PanelColumn::RatesMaximum, PanelColumn::RatesCurrent}) {
    auto* text = Control<StaticText>(window, ControlOf(column));
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->alignment() & Qt::AlignRight);
    EXPECT_EQ(text->frameShadow(), QFrame::Sunken);
    window.SetColumn(column, "1.00 ");
    EXPECT_EQ(text->text(), "1.00 ");
  }
  EXPECT_EQ(Control<StaticText>(window, MainControl::UnitCaption)->text(),
            "<-- Текущая скорость\n<-- расставания бака\n<--  с топливом, (л/ч)");
  EXPECT_EQ(Control<StaticText>(window, MainControl::RatesMaximumHeader)->text(), "максимум");
  EXPECT_NE(Control<QSlider>(window, MainControl::Volume), nullptr);
  EXPECT_EQ(Control<ConsumptionIndicator>(window, MainControl::Indicator), window.Indicator());
}

TEST(MainWindowTest, TextsFitAndValueLinesLineUpWithTheirCaptions) {
  MainWindow window;
  ExpectTextsFit(window);
  AboutBox about(&window);
  ExpectTextsFit(about);
  auto* captions = Control<StaticText>(window, MainControl::RatesCaptions);
  for (MainControl id :
       {MainControl::RatesAll, MainControl::RatesMaximum, MainControl::RatesCurrent}) {
    auto* column = Control<StaticText>(window, id);
    EXPECT_EQ(column->geometry().top(), captions->geometry().top());
    EXPECT_EQ(column->contentsRect().top(), captions->contentsRect().top());
    EXPECT_EQ(column->font(), captions->font());
    EXPECT_EQ(column->LinePitch(), captions->LinePitch());
  }
}

TEST(MainWindowTest, CommandsGoToTheActions) {
  MainWindow window;
  Recorder recorder;
  window.Bind(recorder, recorder);
  window.show();
  QTest::mouseClick(Control(window, MainControl::Start), Qt::LeftButton);
  QTest::mouseClick(Control(window, MainControl::Beep), Qt::LeftButton);
  QTest::mouseClick(Control(window, MainControl::Start), Qt::LeftButton);
  QTest::mouseClick(Control(window, MainControl::Stop), Qt::LeftButton);
  QTest::mouseClick(Control(window, MainControl::Reset), Qt::LeftButton);
  QTest::mouseClick(Control(window, MainControl::Units), Qt::LeftButton);
  QTest::mouseClick(Control(window, MainControl::Settings), Qt::LeftButton);
  QTest::mouseClick(Control(window, MainControl::About), Qt::LeftButton);
  QTest::keyClick(&window, Qt::Key_F11);
  EXPECT_EQ(recorder.calls,
            (std::vector<std::string>{"start quiet", "beep on", "start beep", "stop", "reset",
                                      "toggle", "settings", "saved", "about", "dash"}));
}

TEST(MainWindowTest, EnterPressesNoButtonButTheFocusedOne) {
  MainWindow window;
  Recorder recorder;
  window.Bind(recorder, recorder);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  for (QPushButton* button : window.findChildren<QPushButton*>()) {
    EXPECT_FALSE(button->isDefault() || button->autoDefault()) << button->text().toStdString();
  }
  for (MainControl control :
       {MainControl::Beep, MainControl::Volume}) {  // "Пикать", the volume slider
    Control(window, control)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
  }
  EXPECT_TRUE(recorder.calls.empty());
  Control(window, MainControl::Reset)->setFocus(Qt::TabFocusReason);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  EXPECT_EQ(recorder.calls, std::vector<std::string>{"reset"});
}

TEST(MainWindowTest, SliderStartsAtTheTopAndItsKeysMoveTheWayTheyPoint) {
  MainWindow window;
  window.show();
  QSlider* slider = window.VolumeSlider();
  EXPECT_EQ(slider->minimum(), 0);
  EXPECT_EQ(slider->maximum(), 100);
  EXPECT_EQ(slider->value(), 0);

  auto handleCentreY = [slider] {
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = option.sliderValue = slider->value();
    option.upsideDown = !slider->invertedAppearance();  // vertical sliders draw min at bottom
    return slider->style()
        ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
        .center()
        .y();
  };
  int top = handleCentreY();
  slider->setValue(100);
  EXPECT_GT(handleCentreY(), top + slider->height() / 2);

  slider->setValue(50);
  slider->setFocus();
  QTest::keyClick(slider, Qt::Key_Up);
  EXPECT_EQ(slider->value(), 49);
  QTest::keyClick(slider, Qt::Key_Down);
  EXPECT_EQ(slider->value(), 50);
}

TEST(MainWindowTest, EscapeIsIgnoredAndTheCloseBoxEndsWithTwo) {
  MainWindow window;
  Recorder recorder;
  window.Bind(recorder, recorder);
  window.show();
  QTest::keyClick(&window, Qt::Key_Escape);
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(recorder.calls.empty());

  window.StartRefreshTimer();
  EXPECT_TRUE(window.RefreshTimerActive());
  EXPECT_EQ(window.findChild<QTimer*>("refreshTimer")->interval(), 333);
  EXPECT_TRUE(window.close());
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.result(), 2);
  EXPECT_EQ(recorder.calls, (std::vector<std::string>{"close"}));
}

TEST(MainWindowTest, LongPortNamesTakeRoomTheStatusLineLeaves) {
  MainWindow window;
  auto* status = Control<StaticText>(window, MainControl::Status);
  auto* summary = Control<StaticText>(window, MainControl::Summary);
  const QRect box = summary->geometry();
  const std::string line = "/dev/serial/by-id/usb-FTDI : 10400 : Ошибок: 0";
  window.SetStatusLine("Опрос");
  window.SetSummaryLine(line);
  QFontMetrics metrics(summary->font());
  EXPECT_GE(summary->width(), metrics.horizontalAdvance(QString::fromStdString(line)));
  EXPECT_EQ(summary->geometry().right(), box.right());
  EXPECT_LT(status->geometry().right(), summary->geometry().left());
  // A long status text keeps its room; the summary goes back to its own box.
  window.SetStatusLine(std::string(60, 'x'));
  EXPECT_EQ(summary->geometry(), box);
  EXPECT_LT(status->geometry().right(), box.left());
}

TEST(MainWindowTest, TheCauseStandsWhereTheSummaryIsWhileThatIsEmpty) {
  MainWindow window;
  auto* summary = Control<StaticText>(window, MainControl::Summary);
  const QString cause =
      "Нет прав на порт: добавьте себя в группу dialout и войдите в систему заново.";
  window.SetStatusLine("Не удаётся открыть /dev/serial/by-id/usb-FTDI_FT232R_USB_UART-if00.");
  window.SetCauseLine(cause.toStdString());
  // Cut short after the status text, whole in its tooltip.
  EXPECT_TRUE(summary->text().endsWith(QChar(0x2026))) << summary->text().toStdString();
  EXPECT_EQ(summary->toolTip(), cause);
  // The waiting indicator gives way to it.
  window.SetStatusLine("›››››››››››››››››››››››››");
  EXPECT_EQ(summary->text(), cause);
  window.SetSummaryLine("/dev/ttyUSB0 : 10400 : Ошибок: 0");
  EXPECT_EQ(summary->text(), "/dev/ttyUSB0 : 10400 : Ошибок: 0");
  window.SetSummaryLine("");
  EXPECT_EQ(summary->text(), cause);
  window.SetCauseLine("");
  EXPECT_EQ(summary->text(), "");
}

class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

TEST(MainWindowTest, StatusLineIsDrawnBeforeTheCallReturns) {
  MainWindow window;
  window.show();
  QCoreApplication::processEvents();
  auto* status = Control<StaticText>(window, MainControl::Status);
  PaintCounter counter;
  status->installEventFilter(&counter);
  window.SetStatusLine("Отсоединяемся...");
  EXPECT_EQ(status->text(), "Отсоединяемся...");
  EXPECT_GE(counter.paints, 1);
}

}  // namespace
}  // namespace drunvale
