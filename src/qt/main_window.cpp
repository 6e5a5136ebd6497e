// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <algorithm>

#include "dialogs/status_line.h"
#include "qt/about_box.h"
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
  auto button = [this](MainControl control) { return Control<QPushButton>(control); };
  connect(button(MainControl::Start), &QPushButton::clicked, this, [this] {
    if (actions_.start) actions_.start(beep_->isChecked());
  });
  connect(button(MainControl::Stop), &QPushButton::clicked, this, [this] {
    if (actions_.stop) actions_.stop();
  });
  connect(button(MainControl::Reset), &QPushButton::clicked, this, [this] {
    if (actions_.reset) actions_.reset();
  });
  connect(button(MainControl::Settings), &QPushButton::clicked, this, [this] {
    if (actions_.openSettings) actions_.openSettings(this);
  });
  connect(button(MainControl::About), &QPushButton::clicked, this, &MainWindow::OpenAbout);
  connect(button(MainControl::Units), &QPushButton::clicked, this, [this] {
    if (actions_.toggleUnits) actions_.toggleUnits();
  });
  connect(beep_, &QCheckBox::clicked, this, [this](bool on) {
    if (actions_.setBeep) actions_.setBeep(on);
  });
  connect(slider_, &QSlider::valueChanged, this, [this](int position) {
    if (actions_.setVolumeSliderPosition) actions_.setVolumeSliderPosition(position);
  });
  connect(&refreshTimer_, &QTimer::timeout, this, &MainWindow::RefreshTick);
}

void MainWindow::SetActions(MainWindowActions actions) {
  // A dash opened before keeps what it was made with.
  actions_ = std::move(actions);
  indicator_->SetSource(actions_.indicatorText, actions_.indicatorColour);
}

void MainWindow::SetDisplayKeeper(std::unique_ptr<DisplayKeeper> keeper) {
  displayKeeper_ = std::move(keeper);
}

void MainWindow::SetBeepTicked(bool on) {
  beep_->setChecked(on);
}

void MainWindow::RefreshTick() {
  if (actions_.refreshTimer) actions_.refreshTimer();
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
  status_->setText(QString::fromStdString(StatusLineText(linkStatus_, dataAge_)));
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
  // The summary is empty while no port is open; the cause line takes its place then.
  const bool cause = summaryText_.isEmpty();
  const QString& text = cause ? cause_ : summaryText_;
  // Device paths are longer than the "COM1" the row was drawn for: the summary may grow to
  // the left into what the status text leaves free, rather than lose the port's name.
  const int gap = summaryBox_.left() - statusBox_.right() - 1;
  QFontMetrics metrics(font());
  // The waiting indicator only counts the seconds to the next attempt: a cause may cover it.
  const QString& status = status_->text();
  const bool waiting = !status.isEmpty() && status.count(QChar(0x203A)) == status.size();
  int statusEnd = statusBox_.left() + (cause && waiting ? 0 : metrics.horizontalAdvance(status));
  int wanted = summaryBox_.right() + 1 - metrics.horizontalAdvance(text);
  int left = std::min(std::max(wanted, statusEnd + gap), summaryBox_.left());
  summary_->setGeometry(left, summaryBox_.top(), summaryBox_.right() + 1 - left,
                        summaryBox_.height());
  status_->setGeometry(statusBox_.left(), statusBox_.top(),
                       std::min(statusBox_.width(), left - gap - statusBox_.left()),
                       statusBox_.height());
  // A cause longer than the room left ends in "…", and its tooltip holds it whole.
  const int room = summary_->contentsRect().width();
  const bool cut = cause && metrics.horizontalAdvance(text) > room;
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
    DashSource source = actions_.dash;
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

void MainWindow::OpenAbout() {
  AboutBox about(this);
  about.exec();
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
    QAction* action = menu->addAction(QString::fromUtf8(entry.text.data(), entry.text.size()));
    if (entry.kind == MenuItemKind::Command) {
      connect(action, &QAction::triggered, this, [this, item] { RunMenuCommand(item); });
      continue;
    }
    action->setCheckable(true);
    action->setChecked(actions_.optionOn && actions_.optionOn(item));
    connect(action, &QAction::triggered, this, [this, item](bool on) {
      if (actions_.switchOption) actions_.switchOption(item, on);
    });
  }
  return menu;
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
  MakeContextMenu()->exec(event->globalPos());
}

void MainWindow::RunMenuCommand(MainMenuItem item) {
  if (item == MainMenuItem::Journal && actions_.openJournal) actions_.openJournal(this);
  if (item == MainMenuItem::FillUp && actions_.openFillUp) actions_.openFillUp(this);
  if (item == MainMenuItem::Dash) ToggleDash();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_F11) {
    ToggleDash();
    return;
  }
  if (!PressFocusedButtonOnEnter(*this, *event)) QDialog::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Closing stops the link and the sound once; a second close request while the first is
  // finishing only ends the window.
  if (!closeResult_) closeResult_ = actions_.close ? actions_.close() : kClosedResult;
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
