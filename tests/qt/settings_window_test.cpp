// SPDX-License-Identifier: GPL-3.0-or-later
// The settings window on the offscreen platform: the template, focus and keys, the modal loop.
#include "qt/settings_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "platform/testing/manual_clock.h"
#include "platform/testing/memory_user_store.h"
#include "qt/dialog_font.h"
#include "qt/run_settings_dialog.h"
#include "qt/static_text.h"
#include "qt/texts_fit.h"
#include "sound/testing/recording_audio.h"
#include "sound/wav_bytes.h"

namespace drunvale {
namespace {

// One application for the whole run, gone before static destruction takes Qt's globals.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { app_ = std::make_unique<QApplication>(argc_, argv_); }
  void TearDown() override { app_.reset(); }
  static QApplication& App() { return *static_cast<QApplication*>(QCoreApplication::instance()); }

 private:
  int argc_ = 1;
  char name_[22] = "settings_window_tests";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};
const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

QApplication& App() {
  return QtEnvironment::App();
}

// Acts on the next modal window of type T once it is up: exec() gives no other hook.
template <class T>
void OnModal(std::function<void(T*)> action) {
  auto* timer = new QTimer(&App());
  QObject::connect(timer, &QTimer::timeout, [timer, action] {
    if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      action(modal);
    }
  });
  timer->start(5);
}

// Closes every message box that comes up while it lives, noting what it showed.
class MessageBoxCloser {
 public:
  MessageBoxCloser() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        texts.push_back(box->text());
        caption = box->windowTitle();
        icon = box->icon();
        box->done(QMessageBox::Ok);
      }
    });
    timer_.start(5);
  }
  std::vector<QString> texts;
  QString caption;
  QMessageBox::Icon icon = QMessageBox::NoIcon;

 private:
  QTimer timer_;
};

constexpr const char* kStableName =
    "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";

class SettingsWindowTest : public ::testing::Test {
 protected:
  SettingsDialogOptions Options() {
    SettingsDialogOptions options;
    options.listPorts = [] {
      return std::vector<SerialPortName>{{"/dev/ttyS0"}, {kStableName, "/dev/ttyUSB0"}};
    };
    options.clock = &clock;
    options.audio = &audio;
    return options;
  }
  std::unique_ptr<SettingsWindow> Open() {
    auto window = std::make_unique<SettingsWindow>(nullptr, settings, store, Options());
    return window;
  }
  // Shown and active, so focus moves between controls as a user moves it. A window shown this
  // way is not modal: exec() tests start from Open().
  std::unique_ptr<SettingsWindow> Show() {
    auto window = Open();
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    return window;
  }
  template <class T>
  static T* Get(SettingsWindow& window, SettingsControl id) {
    return qobject_cast<T*>(window.Control(id));
  }
  static void TypeAndTab(SettingsWindow& window, SettingsControl id, const QString& text) {
    auto* edit = Get<QLineEdit>(window, id);
    edit->setFocus(Qt::TabFocusReason);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
  }

  SharedSettings settings;
  MemoryUserStore store;
  ManualHighResClock clock;
  RecordingAudio audio{&clock};
};

TEST_F(SettingsWindowTest, BuildsItsTemplateInDialogUnitsWithEveryTextWhole) {
  auto window = Open();
  EXPECT_EQ(window->windowTitle(), QString::fromUtf8("Настройки Drunvale"));
  const DialogUnits& units = window->Units();
  EXPECT_EQ(window->size(), QSize(units.X(316), units.Y(262)));

  const auto& dialog = SettingsDialogTemplate();
  for (const ControlTemplate& t : dialog.controls) {
    QWidget* control = window->Control(static_cast<SettingsControl>(t.control));
    ASSERT_NE(control, nullptr) << t.control;
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
      EXPECT_EQ(button->text().toStdString(), t.text) << t.control;
    }
  }
  EXPECT_EQ(window->Control(SettingsControl::Save)->geometry(),
            ToQRect(units.ToPixels({202, 241, 50, 14})));
  EXPECT_TRUE(Get<QPushButton>(*window, SettingsControl::Test)->isCheckable());
  auto* tabs = Get<QTabWidget>(*window, SettingsControl::Tabs);
  ASSERT_EQ(tabs->count(), 4);
  EXPECT_EQ(tabs->tabText(3), QString::fromUtf8("Запредельный"));
  // An up-down sits at its buddy's right edge.
  const QRect buddy = window->Control(SettingsControl::ToneEdit)->geometry();
  const QRect arrows = window->Control(SettingsControl::ToneUpDown)->geometry();
  EXPECT_EQ(buddy.right(), arrows.left() + 1);
  EXPECT_EQ(buddy.left(), units.X(115));
  ExpectTextsFit(*window);

  // The default port, in the list by its name in /dev though its adapter has a stable name too,
  // and whole in the field, where another may be typed.
  auto* ports = Get<QComboBox>(*window, SettingsControl::PortList);
  EXPECT_EQ(ports->itemText(ports->currentIndex()), "ttyUSB0");
  EXPECT_EQ(ports->currentText(), "/dev/ttyUSB0");
  EXPECT_EQ(ports->count(), 3);
  QTest::keyClicks(ports->lineEdit(), "X");
  EXPECT_EQ(window->Logic().Controls().ports.text, "/dev/ttyUSB0X");
}

TEST_F(SettingsWindowTest, EditsClampWhenLeftAndArrowsStepWithoutTakingTheFocus) {
  auto window = Show();
  TypeAndTab(*window, SettingsControl::ToneEdit, "25000");
  EXPECT_EQ(Get<QLineEdit>(*window, SettingsControl::ToneEdit)->text(), "20000");
  EXPECT_EQ(window->Logic().WorkingCopy().Params.LevelZero.ToneHz, 20000);

  // The playback rate, in WAV mode: typed digits stay, arrows move in tens.
  QTest::mouseClick(Get<QRadioButton>(*window, SettingsControl::WavRadio), Qt::LeftButton);
  auto* rate = Get<QLineEdit>(*window, SettingsControl::RateEdit);
  TypeAndTab(*window, SettingsControl::RateEdit, "44101");
  EXPECT_EQ(rate->text(), "44101");
  rate->setFocus(Qt::TabFocusReason);
  auto* up = window->Control(SettingsControl::RateUpDown)->findChild<QToolButton*>("up");
  QTest::mouseClick(up, Qt::LeftButton);
  EXPECT_EQ(rate->text(), "44110");
  EXPECT_TRUE(rate->hasFocus());
  QTest::keyClick(rate, Qt::Key_Down);
  QTest::keyClick(rate, Qt::Key_Down);
  EXPECT_EQ(rate->text(), "44090");
  EXPECT_EQ(window->Logic().WorkingCopy().Params.LevelZero.SampleRate, 44090u);

  // The Max tab: the mode not chosen on the Min tab cannot be picked there.
  Get<QTabWidget>(*window, SettingsControl::Tabs)->setCurrentIndex(2);
  EXPECT_FALSE(Get<QRadioButton>(*window, SettingsControl::WavRadio)->isEnabled());
  EXPECT_FALSE(window->Control(SettingsControl::PathEdit)->isEnabled());
  EXPECT_EQ(Get<StaticText>(*window, SettingsControl::LevelCaption)->text(),
            QString::fromUtf8("Максимальный расход бензина\nизображать сигналом каждые"));
}

TEST_F(SettingsWindowTest, EnterSavesOnlyFromTheWavPathAndTriesThePathFirst) {
  testing::TempFile wav("enter.wav", testing::SimpleWav(1, 22050, 16, 64));
  testing::TempFile text("enter.txt", {'n', 'o', 'p', 'e'});
  auto window = Open();
  MessageBoxCloser boxes;
  bool openAfterField = false;
  bool openAfterBadPath = false;
  OnModal<SettingsWindow>([&](SettingsWindow* w) {
    for (QPushButton* button : w->findChildren<QPushButton*>()) {
      EXPECT_FALSE(button->isDefault() || button->autoDefault()) << button->text().toStdString();
    }
    auto* price = Get<QLineEdit>(*w, SettingsControl::Price);
    price->setFocus(Qt::TabFocusReason);
    price->selectAll();
    QTest::keyClicks(price, "1234");
    QTest::keyClick(price, Qt::Key_Return);
    openAfterField = w->isVisible();

    QTest::mouseClick(Get<QRadioButton>(*w, SettingsControl::WavRadio), Qt::LeftButton);
    auto* path = Get<QLineEdit>(*w, SettingsControl::PathEdit);
    path->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(path, QString::fromStdString(text.path()));
    QTest::keyClick(path, Qt::Key_Return);
    openAfterBadPath = w->isVisible();

    path->selectAll();
    QTest::keyClicks(path, QString::fromStdString(wav.path()));
    QTest::keyClick(path, Qt::Key_Enter);
  });
  EXPECT_EQ(window->exec(), SettingsWindow::kSaved);
  EXPECT_TRUE(openAfterField);
  EXPECT_TRUE(openAfterBadPath);
  EXPECT_EQ(boxes.texts.size(), 1u);
  Settings stored;
  EXPECT_EQ(stored.Load(store), StoreResult::Ok);
  EXPECT_EQ(stored.Params.FuelPrice, 1000.0f);
  EXPECT_EQ(stored.WavZero, wav.path());
  EXPECT_EQ(stored.Params.LevelZero.SampleRate, 22050u);
}

TEST_F(SettingsWindowTest, UnusableFileLeftByTabWarnsOnceAndCancelTakesOneClick) {
  testing::TempFile text("window.txt", {'n', 'o', 'p', 'e'});
  auto window = Show();
  QTest::mouseClick(Get<QRadioButton>(*window, SettingsControl::WavRadio), Qt::LeftButton);
  MessageBoxCloser boxes;
  TypeAndTab(*window, SettingsControl::PathEdit, QString::fromStdString(text.path()));
  ASSERT_EQ(boxes.texts.size(), 1u);
  EXPECT_EQ(boxes.texts[0], QString::fromUtf8("Не обнаружен подходящий аудио-формат у файла\n") +
                                QString::fromStdString(text.path()));
  EXPECT_EQ(boxes.caption, "Drunvale");
  EXPECT_EQ(boxes.icon, QMessageBox::Warning);
  // The focus comes back once the window is active again (offscreen has no window manager to
  // reactivate it when the box closes).
  window->activateWindow();
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return window->Control(SettingsControl::PathEdit)->hasFocus(); }));
  EXPECT_EQ(window->Logic().WorkingCopy().WavZero, text.path());
  EXPECT_EQ(Get<QLineEdit>(*window, SettingsControl::RateEdit)->text(), "0");

  // Leaving the unchanged path for "Отмена" warns no more: one click closes the dialog.
  QTest::mouseClick(Get<QPushButton>(*window, SettingsControl::Cancel), Qt::LeftButton);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->result(), SettingsWindow::kCancelled);
  EXPECT_EQ(boxes.texts.size(), 1u);
}

TEST_F(SettingsWindowTest, BrowseOffersWavFilesAndTakesTheChosenOne) {
  testing::TempFile wav("window.wav", testing::SimpleWav(2, 11025, 8, 64));
  auto window = Show();
  Get<QTabWidget>(*window, SettingsControl::Tabs)->setCurrentIndex(3);
  QTest::mouseClick(Get<QRadioButton>(*window, SettingsControl::WavRadio), Qt::LeftButton);
  QStringList filters;
  QString suffix;
  OnModal<QFileDialog>([&](QFileDialog* chooser) {
    filters = chooser->nameFilters();
    suffix = chooser->defaultSuffix();
    chooser->selectFile(QString::fromStdString(wav.path()));
    QTest::keyClick(chooser->focusWidget(), Qt::Key_Return);
  });
  QTest::mouseClick(Get<QPushButton>(*window, SettingsControl::Browse), Qt::LeftButton);
  EXPECT_EQ(filters, QStringList({"Audio files (*.wav)", "All files (*.*)"}));
  EXPECT_EQ(suffix, "wav");
  EXPECT_EQ(Get<QLineEdit>(*window, SettingsControl::PathEdit)->text(),
            QString::fromStdString(wav.path()));
  EXPECT_EQ(window->Logic().WorkingCopy().WavOver, wav.path());
  EXPECT_EQ(Get<QLineEdit>(*window, SettingsControl::RateEdit)->text(), "11025");
}

TEST_F(SettingsWindowTest, EntryReturnsOneAfterSaveAndTwoAfterCancel) {
  OnModal<SettingsWindow>([](SettingsWindow* w) {
    QTest::mouseClick(Get<QPushButton>(*w, SettingsControl::Reset), Qt::LeftButton);
    QTest::keyClick(w, Qt::Key_Escape);
  });
  EXPECT_EQ(RunSettingsDialog(nullptr, settings, store), 2);
  OnModal<SettingsWindow>([](SettingsWindow* w) { w->close(); });  // the close box
  EXPECT_EQ(RunSettingsDialog(nullptr, settings, store), 2);
  EXPECT_TRUE(store.Log().empty());

  OnModal<SettingsWindow>([](SettingsWindow* w) {
    QTest::mouseClick(qobject_cast<QPushButton*>(w->Control(SettingsControl::Save)),
                      Qt::LeftButton);
  });
  EXPECT_EQ(RunSettingsDialog(nullptr, settings, store), 1);
  Settings stored;
  EXPECT_EQ(stored.Load(store), StoreResult::Ok);
  EXPECT_EQ(stored.Params, Settings().Params);
}

}  // namespace
}  // namespace drunvale
