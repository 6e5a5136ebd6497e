#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QSlider>
#include <QStyleOptionSlider>
#include <QTest>
#include <QTimer>
#include <vector>

#include "ui/about_dialog.h"
#include "ui/main_window.h"
#include "ui/static_text.h"

namespace drunvale {
namespace {

struct Recorder {
  std::vector<std::string> calls;
  MainWindowActions Actions() {
    MainWindowActions a;
    a.start = [this](bool beep) { calls.push_back(beep ? "start beep" : "start quiet"); };
    a.stop = [this] { calls.push_back("stop"); };
    a.reset = [this] { calls.push_back("reset"); };
    a.setBeep = [this](bool on) { calls.push_back(on ? "beep on" : "beep off"); };
    a.toggleUnits = [this] { calls.push_back("toggle"); };
    a.openSettings = [this](QWidget* parent) {
      calls.push_back(parent ? "settings" : "settings without a parent");
    };
    a.close = [this] {
      calls.push_back("close");
      return 2;
    };
    return a;
  }
};

template <typename T = QWidget>
T* Control(const MainWindow& window, const char* name) {
  return window.findChild<T*>(QString::fromLatin1(name));
}

TEST(MainWindowTest, ControlsCarryTheirIdentifiersCaptionsAndPlaces) {
  MainWindow window;
  EXPECT_EQ(window.windowTitle(), "Drunvale 1.1");
  const std::vector<std::pair<const char*, const char*>> buttons = {
      {"1004", "Старт"},         {"1005", "Стоп"},      {"1000", "Обнулить"},
      {"1045", "л/ч или л/100"}, {"1006", "Настройка"}, {"1007", "О Проге"}};
  for (const auto& [id, caption] : buttons) {
    auto* button = Control<QPushButton>(window, id);
    ASSERT_NE(button, nullptr) << id;
    EXPECT_EQ(button->text(), QString::fromUtf8(caption));
  }
  auto* beep = Control<QCheckBox>(window, "1008");
  ASSERT_NE(beep, nullptr);
  EXPECT_EQ(beep->text(), "Пикать");
  EXPECT_FALSE(beep->isChecked());
  for (const char* id : {"1039", "1040", "1041", "1035", "1036", "1037", "1038", "1042"}) {
    auto* column = Control<StaticText>(window, id);
    ASSERT_NE(column, nullptr) << id;
    EXPECT_TRUE(column->alignment() & Qt::AlignRight) << id;
    EXPECT_EQ(column->frameShadow(), QFrame::Sunken);
  }
  EXPECT_EQ(Control<StaticText>(window, "1046")->text(),
            "<-- Текущая скорость\n<-- расставания бака\n<--  с топливом, (л/ч)");
  EXPECT_EQ(Control<StaticText>(window, "ratesMaximumHeader")->text(), "максимум");
  EXPECT_NE(Control<QSlider>(window, "1009"), nullptr);
  EXPECT_NE(Control(window, "1034"), nullptr);

  // Places follow the dialog units of the window's own font.
  const DialogBaseUnits& du = window.BaseUnits();
  EXPECT_EQ(window.size(), QSize(du.ToPixelsX(319), du.ToPixelsY(231)));
  EXPECT_EQ(Control(window, "1045")->geometry(), du.ToPixels(248, 161, 54, 16));
  EXPECT_EQ(Control(window, "1034")->geometry(), du.ToPixels(48, 135, 185, 74));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
}

TEST(MainWindowTest, CaptionsFitAndValueLinesLineUpWithThem) {
  MainWindow window;
  for (const char* name : {"totalsCaptions", "ratesCaptions", "1046", "totalsHeader"}) {
    auto* label = Control<StaticText>(window, name);
    QFontMetrics metrics(label->font());
    QStringList lines = label->text().split('\n');
    EXPECT_LE(lines.size() * label->LinePitch(), label->contentsRect().height()) << name;
    for (const QString& line : lines) {
      EXPECT_LE(metrics.horizontalAdvance(line), label->contentsRect().width()) << name;
    }
  }
  auto* captions = Control<StaticText>(window, "ratesCaptions");
  for (const char* id : {"1035", "1038", "1042"}) {
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
  window.SetActions(recorder.Actions());
  window.show();
  QTest::mouseClick(Control(window, "1004"), Qt::LeftButton);
  QTest::mouseClick(Control(window, "1008"), Qt::LeftButton);
  QTest::mouseClick(Control(window, "1004"), Qt::LeftButton);
  QTest::mouseClick(Control(window, "1005"), Qt::LeftButton);
  QTest::mouseClick(Control(window, "1000"), Qt::LeftButton);
  QTest::mouseClick(Control(window, "1045"), Qt::LeftButton);
  QTest::mouseClick(Control(window, "1006"), Qt::LeftButton);
  EXPECT_EQ(recorder.calls, (std::vector<std::string>{"start quiet", "beep on", "start beep",
                                                      "stop", "reset", "toggle", "settings"}));
}

TEST(MainWindowTest, EnterPressesNoButtonButTheFocusedOne) {
  MainWindow window;
  Recorder recorder;
  window.SetActions(recorder.Actions());
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  for (QPushButton* button : window.findChildren<QPushButton*>()) {
    EXPECT_FALSE(button->isDefault() || button->autoDefault()) << button->text().toStdString();
  }
  for (const char* name : {"1008", "1009"}) {  // "Пикать", the volume slider
    Control(window, name)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
  }
  EXPECT_TRUE(recorder.calls.empty());
  Control(window, "1000")->setFocus(Qt::TabFocusReason);
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
  window.SetActions(recorder.Actions());
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
  auto* status = Control<StaticText>(window, "1033");
  auto* summary = Control<StaticText>(window, "1032");
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
  auto* summary = Control<StaticText>(window, "1032");
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
  auto* status = Control<StaticText>(window, "1033");
  PaintCounter counter;
  status->installEventFilter(&counter);
  window.SetStatusLine("Отсоединяемся...");
  EXPECT_EQ(status->text(), "Отсоединяемся...");
  EXPECT_GE(counter.paints, 1);
}

// Not a check: leaves pictures in the build folder for a person to look at.
TEST(MainWindowTest, RendersPicturesIntoTheBuildFolder) {
  MainWindow window;
  MainWindowActions actions;
  actions.indicatorText = [] { return "12.3"; };
  window.SetActions(actions);
  const std::string totals = "1:02:03 \n12.34 \n56.78 \n1.23 \n36.90 ";
  const std::string rates = "48.20 \n61.50 \n6.40 \n192.00 \n13.28 \n398.34 ";
  for (PanelColumn c :
       {PanelColumn::TotalsAll, PanelColumn::TotalsInJam, PanelColumn::TotalsOutsideJam}) {
    window.SetColumn(c, totals);
  }
  for (PanelColumn c : {PanelColumn::RatesAll, PanelColumn::RatesOutsideJam,
                        PanelColumn::RatesMaximum, PanelColumn::RatesCurrent}) {
    window.SetColumn(c, rates);
  }
  window.SetColumn(PanelColumn::RatesInJam, "- \n- \n- \n- \n- \n- ");
  window.SetStatusLine("Опрос");
  window.SetSummaryLine("/dev/pts/3 : 10400 : Ошибок: 0");
  window.show();
  EXPECT_TRUE(window.grab().save(DRUNVALE_BUILD_DIR "/main-window.png"));
  AboutDialog about(&window);
  about.show();
  EXPECT_TRUE(about.grab().save(DRUNVALE_BUILD_DIR "/about-box.png"));
}

}  // namespace
}  // namespace drunvale
