// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/settings_window.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <string_view>

#include "qt/enter_key.h"
#include "qt/static_text.h"
#include "qt/up_down_arrows.h"

namespace drunvale {
namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text);
}

// The open port list shows a device by its name in /dev (a stable name by its last part,
// "usb-FTDI_..."), the whole path in its tooltip and in the field above, where it may be typed.
QString PortLabel(const std::string& path) {
  constexpr std::string_view kDev = "/dev/";
  constexpr std::string_view kStable = "/dev/serial/";
  if (path.rfind(kStable, 0) == 0) return Text(path.substr(path.rfind('/') + 1));
  return Text(path.rfind(kDev, 0) == 0 ? path.substr(kDev.size()) : path);
}

}  // namespace

SettingsWindow::SettingsWindow(QWidget* parent, SharedSettings& settings, UserStore& store,
                               SettingsDialogOptions options)
    : QDialog(parent, WindowFlagsOf(SettingsDialogTemplate().frame)),
      logic_(settings, store, *this, std::move(options)),
      controls_(*this, SettingsDialogTemplate()) {
  Prepare();
  Connect();
  Apply([this] { logic_.Initialise(); });
}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::Prepare() {
  const auto& dialogTemplate = SettingsDialogTemplate();
  for (const ControlTemplate& t : dialogTemplate.controls) {
    const auto control = static_cast<SettingsControl>(t.control);
    QWidget* widget = controls_[control];
    controlOf_[widget] = control;
    if (t.kind == ControlKind::Edit) widget->installEventFilter(this);
    // An up-down's buddy is the control before it.
    if (t.kind == ControlKind::UpDown) {
      upDownOfBuddy_[static_cast<SettingsControl>(t.control - 1)] = control;
    }
  }
}

void SettingsWindow::Connect() {
  for (const ControlTemplate& t : SettingsDialogTemplate().controls) {
    const auto id = static_cast<SettingsControl>(t.control);
    QWidget* widget = controls_[id];
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
      connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) {
        Apply([&] { logic_.TextChanged(id, text.toStdString()); });
      });
    } else if (auto* arrows = qobject_cast<UpDownArrows*>(widget)) {
      connect(arrows, &UpDownArrows::Stepped, this,
              [this, id](int direction) { Apply([&] { logic_.Step(id, direction); }); });
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
      connect(list, &QComboBox::currentIndexChanged, this, [this, id](int index) {
        if (!sync_.Syncing()) Apply([&] { logic_.Select(id, index); });
      });
      if (QLineEdit* typed = list->lineEdit()) {
        connect(typed, &QLineEdit::textEdited, this, [this, id](const QString& text) {
          Apply([&] { logic_.TextChanged(id, text.toStdString()); });
        });
        // After typing the shown choice may be stale: choosing it again changes no index.
        connect(list, &QComboBox::activated, this,
                [this, id](int index) { Apply([&] { logic_.Select(id, index); }); });
      }
    } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
      connect(radio, &QRadioButton::clicked, this,
              [this, id] { Apply([&] { logic_.RadioClicked(id); }); });
    } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
      connect(tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (!sync_.Syncing()) Apply([&] { logic_.SelectTab(index); });
      });
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      if (button->isCheckable() || qobject_cast<QCheckBox*>(button)) {
        connect(button, &QAbstractButton::clicked, this,
                [this, id](bool checked) { Apply([&] { logic_.Toggled(id, checked); }); });
      }
    }
  }
  connect(static_cast<QPushButton*>(Control(SettingsControl::Browse)), &QPushButton::clicked, this,
          &SettingsWindow::Browse);
  connect(static_cast<QPushButton*>(Control(SettingsControl::Reset)), &QPushButton::clicked, this,
          [this] { Apply([this] { logic_.Reset(); }); });
  connect(static_cast<QPushButton*>(Control(SettingsControl::Save)), &QPushButton::clicked, this,
          &SettingsWindow::SaveAndClose);
  connect(static_cast<QPushButton*>(Control(SettingsControl::Cancel)), &QPushButton::clicked, this,
          &SettingsWindow::reject);
}

bool SettingsWindow::eventFilter(QObject* watched, QEvent* event) {
  const auto found = controlOf_.find(watched);
  if (found == controlOf_.end()) return QDialog::eventFilter(watched, event);
  const SettingsControl id = found->second;
  switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
      // The window losing or regaining activation is no move between controls.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) break;
      if (event->type() == QEvent::FocusIn) {
        Apply([&] { logic_.FocusEntered(id); });
      } else {
        Apply([&] { logic_.FocusLeft(id); });
      }
      break;
    }
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if ((key == Qt::Key_Return || key == Qt::Key_Enter) && id == SettingsControl::PathEdit) {
        // Enter confirms the path: it is tried first, and a file that cannot be used keeps
        // the dialog open with the warning shown.
        bool usable = true;
        Apply([&] { usable = logic_.ConfirmPath(); });
        if (usable) SaveAndClose();
        return true;
      }
      const auto upDown = upDownOfBuddy_.find(id);
      if ((key == Qt::Key_Up || key == Qt::Key_Down) && upDown != upDownOfBuddy_.end()) {
        const SettingsControl arrows = upDown->second;
        Apply([&] { logic_.Step(arrows, key == Qt::Key_Up ? +1 : -1); });
        return true;
      }
      break;
    }
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

void SettingsWindow::keyPressEvent(QKeyEvent* event) {
  if (!PressFocusedButtonOnEnter(*this, *event)) QDialog::keyPressEvent(event);
}

void SettingsWindow::Apply(const std::function<void()>& event) {
  sync_.Apply(event, [this] { Sync(); });
}

void SettingsWindow::Sync() {
  const SettingsDialogControls& c = logic_.Controls();
  const auto fill = [this](SettingsControl id, const ListControl& model) {
    auto* box = static_cast<QComboBox*>(Control(id));
    QStringList shown;
    for (int i = 0; i < box->count(); ++i)
      shown << box->itemData(i, Qt::ToolTipRole).toString();
    QStringList wanted;
    for (const std::string& item : model.items)
      wanted << Text(item);
    if (shown == wanted) return false;
    box->clear();
    for (const std::string& item : model.items) {
      box->addItem(id == SettingsControl::PortList ? PortLabel(item) : Text(item));
      box->setItemData(box->count() - 1, Text(item), Qt::ToolTipRole);
    }
    box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + box->iconSize().width());
    return true;
  };
  const auto list = [&](SettingsControl id, const ListControl& model) {
    fill(id, model);
    static_cast<QComboBox*>(Control(id))->setCurrentIndex(model.selected);
  };
  const auto combo = [&](SettingsControl id, const ComboControl& model) {
    auto* box = static_cast<QComboBox*>(Control(id));
    const bool refilled = fill(id, model);
    // While the text is the one typed the choice is left alone, so typing keeps its cursor.
    if (refilled || box->lineEdit()->text() != Text(model.text)) {
      box->setCurrentIndex(model.selected);
      box->lineEdit()->setText(Text(model.text));
    }
  };
  const auto button = [this](SettingsControl id, const ButtonControl& model) {
    auto* widget = static_cast<QAbstractButton*>(Control(id));
    widget->setChecked(model.checked);
    widget->setEnabled(model.enabled);
  };
  const auto edit = [this](SettingsControl id, const std::string& text, bool enabled) {
    auto* widget = static_cast<QLineEdit*>(Control(id));
    // Only a real change is written, so typing keeps its cursor.
    if (widget->text() != Text(text)) widget->setText(Text(text));
    widget->setEnabled(enabled);
  };
  const auto upDown = [&](SettingsControl buddy, SettingsControl arrows,
                          const UpDownControl& model) {
    edit(buddy, model.Text(), model.enabled);
    Control(arrows)->setEnabled(model.enabled);
  };

  combo(SettingsControl::PortList, c.ports);
  list(SettingsControl::BaudList, c.bauds);
  list(SettingsControl::AdapterList, c.adapters);
  list(SettingsControl::SourceList, c.sources);
  edit(SettingsControl::Displacement, c.displacement.text, c.displacement.enabled);
  edit(SettingsControl::Afr, c.afr.text, c.afr.enabled);
  edit(SettingsControl::Density, c.density.text, c.density.enabled);
  button(SettingsControl::Rts, c.rts);
  button(SettingsControl::Dtr, c.dtr);
  edit(SettingsControl::Price, c.price.text, c.price.enabled);
  upDown(SettingsControl::JamMinutes, SettingsControl::JamMinutesUpDown, c.jamMinutes);
  upDown(SettingsControl::JamSpeed, SettingsControl::JamSpeedUpDown, c.jamSpeed);
  upDown(SettingsControl::OverLimitEdit, SettingsControl::OverLimitUpDown, c.overLimit);
  static_cast<QTabWidget*>(Control(SettingsControl::Tabs))->setCurrentIndex(c.tab);
  static_cast<StaticText*>(Control(SettingsControl::LevelCaption))->setText(Text(c.levelCaption));
  upDown(SettingsControl::IntervalEdit, SettingsControl::IntervalUpDown, c.interval);
  button(SettingsControl::ToneRadio, c.toneRadio);
  upDown(SettingsControl::ToneEdit, SettingsControl::ToneUpDown, c.tone);
  button(SettingsControl::WavRadio, c.wavRadio);
  edit(SettingsControl::PathEdit, c.path.text, c.path.enabled);
  Control(SettingsControl::Browse)->setEnabled(c.browse.enabled);
  upDown(SettingsControl::RateEdit, SettingsControl::RateUpDown, c.rate);
  button(SettingsControl::Loop, c.loop);
  button(SettingsControl::Test, c.test);
}

void SettingsWindow::Browse() {
  QFileDialog chooser(this);
  chooser.setAcceptMode(QFileDialog::AcceptOpen);
  chooser.setFileMode(QFileDialog::ExistingFile);
  QStringList filters;
  for (const FileFilter& filter : kWavFileFilters)
    filters << Text(filter.label);
  chooser.setNameFilters(filters);
  chooser.setDefaultSuffix(Text(kWavDefaultExtension));
  if (chooser.exec() != QDialog::Accepted) return;
  const QStringList files = chooser.selectedFiles();
  if (files.isEmpty()) return;
  const std::string path = files.first().toStdString();
  Apply([&] { logic_.TakeBrowsedFile(path); });
}

void SettingsWindow::SaveAndClose() {
  Apply([this] { logic_.Save(); });
  done(kSaved);
}

void SettingsWindow::reject() {
  done(kCancelled);
}

void SettingsWindow::ShowWarning(const std::string& text) {
  QMessageBox box(QMessageBox::Warning, Text(kSettingsWarningCaption), Text(text), QMessageBox::Ok,
                  this);
  box.exec();
}

void SettingsWindow::FocusPathEdit() {
  Control(SettingsControl::PathEdit)->setFocus(Qt::OtherFocusReason);
}

}  // namespace drunvale
