#include "ui/settings_dialog/settings_window.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabBar>
#include <QTabWidget>
#include <string_view>

#include "settings/level_tabs.h"
#include "ui/enter_key.h"
#include "ui/settings_dialog/dialog_units.h"
#include "ui/settings_dialog/settings_template.h"
#include "ui/settings_dialog/up_down_arrows.h"

namespace drunvale {
namespace {

QString Text(const std::string& text) {
  return QString::fromStdString(text);
}

// The port list is as narrow as it was for "COM1": it shows a device by its name in /dev (a
// stable name by its last part, "usb-FTDI_..."), the whole path in its tooltip and in an open
// list as wide as it needs.
QString PortLabel(const std::string& path) {
  constexpr std::string_view kDev = "/dev/";
  constexpr std::string_view kStable = "/dev/serial/";
  if (path.rfind(kStable, 0) == 0) return Text(path.substr(path.rfind('/') + 1));
  return Text(path.rfind(kDev, 0) == 0 ? path.substr(kDev.size()) : path);
}

int IdOf(const QObject* object) {
  return object->objectName().toInt();
}

// Windows puts an up-down at the right edge of its buddy and narrows the buddy to make room;
// the arrows keep their own width and take the buddy's height, overlapping its border.
void AttachToBuddy(QWidget* buddy, QWidget* arrows, int arrowsWidth) {
  QRect edit = buddy->geometry();
  edit.setWidth(edit.width() - arrowsWidth);
  buddy->setGeometry(edit);
  arrows->setGeometry(edit.right() - 1, edit.top(), arrowsWidth, edit.height());
}

// The template's lists are 41 units wide, made for "COM1"; a narrower arrow leaves room for
// "ttyUSB0".
class CompactListStyle : public QProxyStyle {
 public:
  explicit CompactListStyle(QObject* owner) : QProxyStyle() { setParent(owner); }

  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                       const QWidget* widget) const override {
    QRect r = QProxyStyle::subControlRect(control, option, part, widget);
    if (control != CC_ComboBox) return r;
    const QRect frame = option->rect;
    const int arrowWidth = frame.height() * 2 / 3;
    if (part == SC_ComboBoxArrow)
      return QRect(frame.right() - arrowWidth, r.top(), arrowWidth, r.height());
    if (part == SC_ComboBoxEditField) {
      return QRect(frame.left() + 3, r.top(), frame.width() - arrowWidth - 4, r.height());
    }
    return r;
  }
};

}  // namespace

SettingsWindow::SettingsWindow(QWidget* parent, SharedSettings& settings, UserStore& store,
                               SettingsDialogOptions options)
    : QDialog(parent), logic_(settings, store, *this, std::move(options)) {
  Build();
  Connect();
  Apply([this] { logic_.Initialise(); });
}

SettingsWindow::~SettingsWindow() = default;

QWidget* SettingsWindow::Control(ControlId id) const {
  const auto it = controls_.find(static_cast<int>(id));
  return it == controls_.end() ? nullptr : it->second;
}

void SettingsWindow::Build() {
  setWindowTitle(QString::fromUtf8(kSettingsCaption));
  setFont(DialogFont());
  const DialogUnits units(font());
  setFixedSize(units.X(kSettingsWidth), units.Y(kSettingsHeight));
  const auto digitsOnly = new QRegularExpressionValidator(QRegularExpression("[0-9]*"), this);

  QWidget* previous = nullptr;
  for (const TemplateControl& t : kSettingsTemplate) {
    const QString caption = QString::fromUtf8(t.caption);
    QRect place = units.Rect(t.x, t.y, t.width, t.height);
    QWidget* widget = nullptr;
    switch (t.kind) {
      case TemplateKind::Label: {
        auto* label = new QLabel(caption, this);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        // The texts break where they say; a line that comes out a pixel wider in this font
        // than in the Windows one must not wrap onto a line below the label's height.
        label->setWordWrap(false);
        widget = label;
        break;
      }
      case TemplateKind::DropDown:
        widget = new QComboBox(this);
        widget->setStyle(new CompactListStyle(widget));
        // The template's height is that of the open list; closed, a list is an edit's height.
        place.setHeight(units.Y(13));
        break;
      case TemplateKind::CheckBox:
        widget = new QCheckBox(caption, this);
        break;
      case TemplateKind::EtchedLine: {
        auto* line = new QFrame(this);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        place.setHeight(2);
        widget = line;
        break;
      }
      case TemplateKind::Edit:
      case TemplateKind::NumberEdit: {
        auto* edit = new QLineEdit(this);
        if (t.kind == TemplateKind::NumberEdit) edit->setValidator(digitsOnly);
        edit->installEventFilter(this);
        widget = edit;
        break;
      }
      case TemplateKind::UpDown:
        widget = new UpDownArrows(this);
        upDownOfBuddy_[IdOf(previous)] = static_cast<ControlId>(t.id);
        break;
      case TemplateKind::Tabs: {
        auto* tabs = new QTabWidget(this);
        for (const LevelTab& tab : kLevelTabs)
          tabs->addTab(new QWidget, QString::fromUtf8(tab.text));
        // As a Windows tab control, a click on a tab takes the focus, so the edit being left
        // is finished before the tab changes.
        tabs->tabBar()->setFocusPolicy(Qt::StrongFocus);
        widget = tabs;
        break;
      }
      case TemplateKind::Radio: {
        auto* radio = new QRadioButton(caption, this);
        radio->setAutoExclusive(false);  // the logic checks one and unchecks the other
        widget = radio;
        break;
      }
      case TemplateKind::PushButton: {
        // No default button: Enter in a field saves nothing (the WAV path aside).
        auto* button = new QPushButton(caption, this);
        button->setAutoDefault(false);
        widget = button;
        break;
      }
      case TemplateKind::PushLikeCheckBox: {
        auto* button = new QPushButton(caption, this);
        button->setCheckable(true);
        button->setAutoDefault(false);
        widget = button;
        break;
      }
    }
    widget->setGeometry(place);
    if (t.kind == TemplateKind::UpDown) AttachToBuddy(previous, widget, place.width());
    if (t.id != 0) {
      widget->setObjectName(QString::number(t.id));
      controls_[t.id] = widget;
    }
    previous = widget;
  }
}

void SettingsWindow::Connect() {
  for (const TemplateControl& t : kSettingsTemplate) {
    QWidget* widget = controls_.count(t.id) ? controls_.at(t.id) : nullptr;
    const auto id = static_cast<ControlId>(t.id);
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
      connect(edit, &QLineEdit::textEdited, this, [this, id](const QString& text) {
        Apply([&] { logic_.TextChanged(id, text.toStdString()); });
      });
    } else if (auto* arrows = qobject_cast<UpDownArrows*>(widget)) {
      connect(arrows, &UpDownArrows::Stepped, this,
              [this, id](int direction) { Apply([&] { logic_.Step(id, direction); }); });
    } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
      connect(list, &QComboBox::currentIndexChanged, this, [this, id](int index) {
        if (!syncing_) Apply([&] { logic_.Select(id, index); });
      });
    } else if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
      connect(radio, &QRadioButton::clicked, this,
              [this, id] { Apply([&] { logic_.RadioClicked(id); }); });
    } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
      connect(tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (!syncing_) Apply([&] { logic_.SelectTab(index); });
      });
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      if (button->isCheckable() || qobject_cast<QCheckBox*>(button)) {
        connect(button, &QAbstractButton::clicked, this,
                [this, id](bool checked) { Apply([&] { logic_.Toggled(id, checked); }); });
      }
    }
  }
  connect(static_cast<QPushButton*>(Control(ControlId::Browse)), &QPushButton::clicked, this,
          &SettingsWindow::Browse);
  connect(static_cast<QPushButton*>(Control(ControlId::Reset)), &QPushButton::clicked, this,
          [this] { Apply([this] { logic_.Reset(); }); });
  connect(static_cast<QPushButton*>(Control(ControlId::Save)), &QPushButton::clicked, this,
          &SettingsWindow::SaveAndClose);
  connect(static_cast<QPushButton*>(Control(ControlId::Cancel)), &QPushButton::clicked, this,
          &SettingsWindow::reject);
}

bool SettingsWindow::eventFilter(QObject* watched, QEvent* event) {
  const int id = IdOf(watched);
  switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut: {
      // The window losing or regaining activation is no move between controls.
      const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
      if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) break;
      const auto edit = static_cast<ControlId>(id);
      if (event->type() == QEvent::FocusIn) {
        Apply([&] { logic_.FocusEntered(edit); });
      } else {
        Apply([&] { logic_.FocusLeft(edit); });
      }
      break;
    }
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
          static_cast<ControlId>(id) == ControlId::PathEdit) {
        // Enter confirms the path: it is tried first, and a file that cannot be used keeps
        // the dialog open with the warning shown.
        bool usable = true;
        Apply([&] { usable = logic_.ConfirmPath(); });
        if (usable) SaveAndClose();
        return true;
      }
      const auto upDown = upDownOfBuddy_.find(id);
      if ((key == Qt::Key_Up || key == Qt::Key_Down) && upDown != upDownOfBuddy_.end()) {
        const ControlId arrows = upDown->second;
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
  event();
  if (syncing_) {
    resync_ = true;
    return;
  }
  do {
    resync_ = false;
    syncing_ = true;
    Sync();
    syncing_ = false;
  } while (resync_);
}

void SettingsWindow::Sync() {
  const SettingsDialogControls& c = logic_.Controls();
  const auto list = [this](ControlId id, const ListControl& model) {
    auto* box = static_cast<QComboBox*>(Control(id));
    QStringList shown;
    for (int i = 0; i < box->count(); ++i)
      shown << box->itemData(i, Qt::ToolTipRole).toString();
    QStringList wanted;
    for (const std::string& item : model.items)
      wanted << Text(item);
    if (shown != wanted) {
      box->clear();
      for (const std::string& item : model.items) {
        box->addItem(id == ControlId::PortList ? PortLabel(item) : Text(item));
        box->setItemData(box->count() - 1, Text(item), Qt::ToolTipRole);
      }
      box->view()->setMinimumWidth(box->view()->sizeHintForColumn(0) + box->iconSize().width());
    }
    box->setCurrentIndex(model.selected);
  };
  const auto button = [this](ControlId id, const ButtonControl& model) {
    auto* widget = static_cast<QAbstractButton*>(Control(id));
    widget->setChecked(model.checked);
    widget->setEnabled(model.enabled);
  };
  const auto edit = [this](ControlId id, const std::string& text, bool enabled) {
    auto* widget = static_cast<QLineEdit*>(Control(id));
    // Only a real change is written, so typing keeps its cursor.
    if (widget->text() != Text(text)) widget->setText(Text(text));
    widget->setEnabled(enabled);
  };
  const auto upDown = [&](ControlId buddy, ControlId arrows, const UpDownControl& model) {
    edit(buddy, model.Text(), model.enabled);
    Control(arrows)->setEnabled(model.enabled);
  };

  list(ControlId::PortList, c.ports);
  list(ControlId::BaudList, c.bauds);
  button(ControlId::Rts, c.rts);
  button(ControlId::Dtr, c.dtr);
  edit(ControlId::Price, c.price.text, c.price.enabled);
  upDown(ControlId::JamMinutes, ControlId::JamMinutesUpDown, c.jamMinutes);
  upDown(ControlId::JamSpeed, ControlId::JamSpeedUpDown, c.jamSpeed);
  upDown(ControlId::OverLimitEdit, ControlId::OverLimitUpDown, c.overLimit);
  static_cast<QTabWidget*>(Control(ControlId::Tabs))->setCurrentIndex(c.tab);
  static_cast<QLabel*>(Control(ControlId::LevelCaption))->setText(Text(c.levelCaption));
  upDown(ControlId::IntervalEdit, ControlId::IntervalUpDown, c.interval);
  button(ControlId::ToneRadio, c.toneRadio);
  upDown(ControlId::ToneEdit, ControlId::ToneUpDown, c.tone);
  button(ControlId::WavRadio, c.wavRadio);
  edit(ControlId::PathEdit, c.path.text, c.path.enabled);
  Control(ControlId::Browse)->setEnabled(c.browse.enabled);
  upDown(ControlId::RateEdit, ControlId::RateUpDown, c.rate);
  button(ControlId::Loop, c.loop);
  button(ControlId::Test, c.test);
}

void SettingsWindow::Browse() {
  QFileDialog chooser(this);
  chooser.setAcceptMode(QFileDialog::AcceptOpen);
  chooser.setFileMode(QFileDialog::ExistingFile);
  chooser.setNameFilters(
      {QStringLiteral("Audio files (*.wav)"), QStringLiteral("All files (*.*)")});
  chooser.setDefaultSuffix(QStringLiteral("wav"));
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
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Drunvale"), Text(text), QMessageBox::Ok,
                  this);
  box.exec();
}

void SettingsWindow::FocusPathEdit() {
  Control(ControlId::PathEdit)->setFocus(Qt::OtherFocusReason);
}

}  // namespace drunvale
