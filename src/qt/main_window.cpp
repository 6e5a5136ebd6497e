// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/main_window.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <algorithm>

#include "dialogs/status_line.h"
#include "qt/app_icon.h"
#include "qt/consumption_indicator.h"
#include "qt/enter_key.h"
#include "qt/screen_saver_inhibitor.h"
#include "qt/static_text.h"
#include "qt/window_placement.h"

namespace drunvale {

MainWindow::MainWindow(QWidget* parent)
    : QDialog(parent, WindowFlagsOf(MainDialogTemplate().frame)),
      controls_(*this, MainDialogTemplate(), [this](const ControlTemplate&) {
        indicator_ = new ConsumptionIndicator(this);
        return indicator_;
      }) {
  setWindowIcon(AppIcon());
  status_ = Control<StaticText>(MainControl::Status);
  summary_ = Control<StaticText>(MainControl::Summary);
  unitCaption_ = Control<StaticText>(MainControl::UnitCaption);
  beep_ = Control<QCheckBox>(MainControl::Beep);
  beep_->setChecked(false);
  slider_ = Control<QSlider>(MainControl::Volume);
  slider_->setRange(0, 100);
  // Position 0 is at the top, and the arrow keys and the wheel move the thumb the way they
  // point.
  slider_->setInvertedAppearance(true);
  slider_->setInvertedControls(true);
  slider_->setSingleStep(1);
  slider_->setPageStep(20);
  slider_->setValue(0);
  statusBox_ = status_->geometry();
  summaryBox_ = summary_->geometry();
  refreshTimer_.setParent(this);
  refreshTimer_.setObjectName(QStringLiteral("refreshTimer"));
  refreshTimer_.setInterval(kRefreshPeriodMs);
  displayKeeper_ = std::make_unique<ScreenSaverInhibitor>();
  ConnectControls();
}

MainWindow::~MainWindow() = default;

void MainWindow::ConnectControls() {
  for (const ControlTemplate& t : MainDialogTemplate().controls) {
    const auto control = static_cast<MainControl>(t.control);
    if (auto* button = Control<QAbstractButton>(control)) {
      connect(button, &QAbstractButton::clicked, this, [this, control] { Press(control); });
    }
  }
  connect(slider_, &QSlider::valueChanged, this, [this](int position) {
    if (commands_) commands_->SetVolumeSliderPosition(position);
  });
  connect(&refreshTimer_, &QTimer::timeout, this, &MainWindow::RefreshTick);
}

void MainWindow::Press(MainControl control) {
  if (commands_ && windows_) PressMainButton(control, beep_->isChecked(), *commands_, *windows_);
}

void MainWindow::Bind(MainCommands& commands, MainWindowOpener& windows) {
  commands_ = &commands;
  windows_ = &windows;
}

void MainWindow::SetSource(MainWindowSource source) {
  // A dash opened before keeps what it was made with.
  source_ = std::move(source);
  indicator_->SetSource(source_.indicatorText, source_.indicatorColour);
}

void MainWindow::SetDisplayKeeper(std::unique_ptr<DisplayKeeper> keeper) {
  displayKeeper_ = std::move(keeper);
}

void MainWindow::SetBeepTicked(bool on) {
  beep_->setChecked(on);
}

void MainWindow::RefreshTick() {
  if (commands_) commands_->OnRefreshTimer();
}

void MainWindow::RunBegins(const std::string&, bool beep, bool dash) {
  SetBeepTicked(beep);
  // Once the window shows, on its screen.
  if (dash)
    QMetaObject::invokeMethod(
        this, [this] { ToggleDash(); }, Qt::QueuedConnection);
}

void MainWindow::SetColumn(PanelColumn column, const std::string& text) {
  Control<StaticText>(ControlOf(column))->setText(QString::fromStdString(text));
}

void MainWindow::SetStatusLine(const std::string& text) {
  linkStatus_ = text;
  ShowStatus();
  // Stop may block right after this text ("Отсоединяемся..."), so draw it now rather than
  // at the next turn of the event loop.
  status_->repaint();
}

void MainWindow::SetDataAge(std::optional<uint32_t> staleSeconds) {
  dataAge_ = staleSeconds;
  ShowStatus();
}

void MainWindow::ShowStatus() {
  linkStatusShown_ = StatusLineText(linkStatus_, dataAge_);
  status_->setText(QString::fromStdString(linkStatusShown_));
  FitStatusRow();
}

void MainWindow::KeepScreenOn(bool on) {
  if (!displayKeeper_) return;
  if (on) {
    displayKeeper_->Hold();
  } else {
    displayKeeper_->Release();
  }
}

void MainWindow::SetSummaryLine(const std::string& text) {
  summaryText_ = QString::fromStdString(text);
  FitStatusRow();
}

void MainWindow::SetCauseLine(const std::string& text) {
  cause_ = QString::fromStdString(text);
  FitStatusRow();
}

void MainWindow::FitStatusRow() {
  const QString& text = summaryText_.isEmpty() ? cause_ : summaryText_;
  const QFontMetrics metrics(font());
  const auto pixels = [](const QRect& r) { return PixelRect{r.x(), r.y(), r.width(), r.height()}; };
  const StatusRow row =
      drunvale::FitStatusRow(pixels(statusBox_), pixels(summaryBox_), linkStatusShown_,
                             metrics.horizontalAdvance(status_->text()), summaryText_.isEmpty(),
                             metrics.horizontalAdvance(text));
  summary_->setGeometry(row.summaryLeft, summaryBox_.top(), row.summaryRight - row.summaryLeft,
                        summaryBox_.height());
  status_->setGeometry(row.statusLeft, statusBox_.top(), row.statusRight - row.statusLeft,
                       statusBox_.height());
  // A cause longer than the room left ends in "…", and its tooltip holds it whole.
  const int room = summary_->contentsRect().width();
  const bool cut = row.showsCause && metrics.horizontalAdvance(text) > room;
  summary_->setText(cut ? metrics.elidedText(text, Qt::ElideRight, room) : text);
  summary_->setToolTip(cut ? text : QString());
}

void MainWindow::SetUnitCaption(const std::string& caption) {
  unitCaption_->setText(QString::fromStdString(caption));
}

void MainWindow::RepaintIndicator() {
  indicator_->update();
  if (dash_ != nullptr && dash_->isVisible()) dash_->Refresh();
}

void MainWindow::ToggleDash() {
  if (dash_ == nullptr) {
    DashSource source = source_.dash;
    if (!source.digitColour) source.digitColour = [this] { return indicator_->DigitColour(); };
    dash_ = new DashWindow(std::move(source), this);
  }
  if (dash_->isVisible()) {
    dash_->close();
  } else {
    dash_->OpenOn(screen());
  }
}

void MainWindow::StartRefreshTimer() {
  refreshTimer_.start();
}

void MainWindow::StopRefreshTimer() {
  refreshTimer_.stop();
}

void MainWindow::PostToUiThread(std::function<void()> task) {
  QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

void MainWindow::ShowNotice(const std::string& text) {
  auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Drunvale"),
                              QString::fromStdString(text), QMessageBox::Ok, this);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->show();
}

void MainWindow::ShowClosingNotice(const std::string& text) {
  // Modal: the window is about to go, and a box without an owner would go with it unread.
  QMessageBox::warning(this, QStringLiteral("Drunvale"), QString::fromStdString(text));
}

std::unique_ptr<QMenu> MainWindow::MakeContextMenu() {
  auto menu = std::make_unique<QMenu>(this);
  for (const MenuItemTemplate& entry : MainContextMenu()) {
    if (entry.kind == MenuItemKind::Separator) {
      menu->addSeparator();
      continue;
    }
    const auto item = static_cast<MainMenuItem>(entry.item);
    QString text = QString::fromUtf8(entry.text.data(), entry.text.size());
    if (!entry.key.empty()) text += '\t' + QString::fromUtf8(entry.key.data(), entry.key.size());
    QAction* action = menu->addAction(text);
    if (entry.kind == MenuItemKind::Check) {
      action->setCheckable(true);
      action->setChecked(commands_ && commands_->MenuOptionOn(item));
    }
    connect(action, &QAction::triggered, this, [this, item] {
      if (commands_ && windows_) ChooseMainMenuItem(item, *commands_, *windows_);
    });
  }
  return menu;
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
  MakeContextMenu()->exec(event->globalPos());
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  const QByteArray key = QKeySequence(event->keyCombination()).toString().toUtf8();
  if (const auto item = MainMenuItemOfKey(std::string_view(key.data(), key.size()))) {
    if (commands_ && windows_) ChooseMainMenuItem(*item, *commands_, *windows_);
    return;
  }
  if (!PressFocusedButtonOnEnter(*this, *event)) QDialog::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Closing stops the link and the sound once; a second close request while the first is
  // finishing only ends the window.
  if (!closeResult_) closeResult_ = commands_ ? commands_->Close() : kClosedResult;
  event->accept();
  done(*closeResult_);
}

void MainWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!placed_) {
    placed_ = true;
    CentreOverOwner(this, parentWidget());
  }
}

}  // namespace drunvale
