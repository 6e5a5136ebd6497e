// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/dialog_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QStyleOptionComplex>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

#include "qt/app_icon.h"
#include "qt/dialog_font.h"
#include "qt/static_text.h"
#include "qt/up_down_arrows.h"

namespace drunvale {
namespace {

// A closed drop-down list is as tall as Windows draws one in the dialog font; the template's
// height is that of the opened list.
constexpr int kClosedListHeight = 13;

// The icon of an icon static takes its own size, whatever the template says.
constexpr int kIconSize = 32;

// Where Qt's own style draws a control otherwise than a Windows dialog would, enough to cut
// its text: the lists of the settings dialog are 41 units wide, made for "COM1", and a narrower
// arrow leaves room for "ttyUSB0"; the text of a check box or radio button begins as close to
// its box as in Windows, where "WAV-файл" fits its 49 units.
class DialogControlStyle : public QProxyStyle {
 public:
  explicit DialogControlStyle(QObject* owner) : QProxyStyle() { setParent(owner); }

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

  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_CheckBoxLabelSpacing || metric == PM_RadioButtonLabelSpacing) {
      return kLabelSpacing;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
  }

 private:
  static constexpr int kLabelSpacing = 3;
};

Qt::Alignment AlignmentOf(ControlStyle style) {
  if (Has(style, ControlStyle::RightAligned)) return Qt::AlignRight;
  if (Has(style, ControlStyle::Centred)) return Qt::AlignHCenter;
  return Qt::AlignLeft;
}

StaticText* MakeText(QWidget* parent, const ControlTemplate& control) {
  auto* text = new StaticText(QString::fromUtf8(control.text), AlignmentOf(control.style), parent);
  if (Has(control.style, ControlStyle::Sunken)) {
    text->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    text->setLineWidth(1);
  }
  return text;
}

QWidget* MakeEdit(QWidget* parent, const ControlTemplate& control) {
  if (!Has(control.style, ControlStyle::MultiLine)) {
    auto* edit = new QLineEdit(parent);
    if (Has(control.style, ControlStyle::Digits)) {
      edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    }
    return edit;
  }
  auto* edit = new QPlainTextEdit(parent);
  edit->setPlainText(QString::fromUtf8(control.text));
  if (Has(control.style, ControlStyle::ReadOnly)) {
    edit->setReadOnly(true);
    // Read-only still lets the reader select and copy, by mouse and by keyboard.
    edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  }
  edit->setVerticalScrollBarPolicy(Has(control.style, ControlStyle::VerticalScroll)
                                       ? Qt::ScrollBarAlwaysOn
                                       : Qt::ScrollBarAlwaysOff);
  edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  if (Has(control.style, ControlStyle::Border)) {
    edit->setFrameStyle(QFrame::Box | QFrame::Plain);
    edit->setLineWidth(1);
  }
  return edit;
}

QPushButton* MakeButton(QWidget* parent, const ControlTemplate& control) {
  auto* button = new QPushButton(QString::fromUtf8(control.text), parent);
  // Enter presses the focused button only (see enter_key.h); the default button says so itself.
  button->setAutoDefault(false);
  button->setDefault(Has(control.style, ControlStyle::DefaultButton));
  return button;
}

// Windows puts an up-down at the right edge of its buddy and narrows the buddy to make room;
// the arrows keep their own width and take the buddy's height, overlapping its border.
void AttachToBuddy(QWidget* buddy, QWidget* arrows, int arrowsWidth) {
  QRect edit = buddy->geometry();
  edit.setWidth(edit.width() - arrowsWidth);
  buddy->setGeometry(edit);
  arrows->setGeometry(edit.right() - 1, edit.top(), arrowsWidth, edit.height());
}

}  // namespace

Qt::WindowFlags WindowFlagsOf(DialogFrame frame) {
  const Qt::WindowFlags common = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  switch (frame) {
    case DialogFrame::MainWindow:
      return Qt::Window | common | Qt::WindowMinimizeButtonHint;
    case DialogFrame::Popup:
      return Qt::Dialog | common;
  }
  return Qt::Dialog | common;
}

DialogWidgets::DialogWidgets(QDialog& dialog, const DialogTemplate& dialogTemplate,
                             const CustomControl& custom)
    : units_([&] {
        dialog.setFont(StandInFont(dialogTemplate.font, dialog.logicalDpiY()));
        return DialogUnits(MeasureDialogFont(dialog.font()));
      }()) {
  dialog.setWindowTitle(QString::fromUtf8(dialogTemplate.title));
  dialog.setFixedSize(units_.X(dialogTemplate.width), units_.Y(dialogTemplate.height));
  widgets_.reserve(dialogTemplate.controls.size());
  for (const ControlTemplate& control : dialogTemplate.controls) {
    QWidget* widget = Make(dialog, control, custom);
    QRect place = Place(control.rect);
    if (control.kind == ControlKind::DropDownList || control.kind == ControlKind::ComboBox) {
      place.setHeight(units_.Y(kClosedListHeight));
    }
    if (control.kind == ControlKind::Icon) place.setSize(QSize(kIconSize, kIconSize));
    widget->setGeometry(place);
    if (control.kind == ControlKind::UpDown && !widgets_.empty()) {
      AttachToBuddy(widgets_.back(), widget, place.width());
    }
    widgets_.push_back(widget);
  }
}

QRect DialogWidgets::Place(const DialogRect& rect) const {
  return ToQRect(units_.ToPixels(rect));
}

QWidget* DialogWidgets::Make(QDialog& dialog, const ControlTemplate& control,
                             const CustomControl& custom) {
  QWidget* parent = &dialog;
  switch (control.kind) {
    case ControlKind::Text:
      return MakeText(parent, control);
    case ControlKind::Frame: {
      auto* frame = new QFrame(parent);
      if (Has(control.style, ControlStyle::DialogFrame)) {
        frame->setFrameStyle(QFrame::WinPanel | QFrame::Raised);
      }
      return frame;
    }
    case ControlKind::EtchedLine: {
      auto* line = new QFrame(parent);
      line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
      line->setLineWidth(1);
      return line;
    }
    case ControlKind::Icon: {
      auto* icon = new QLabel(parent);
      icon->setPixmap(AppIcon().pixmap(kIconSize, kIconSize));
      return icon;
    }
    case ControlKind::Custom:
      if (custom) return custom(control);
      return new QWidget(parent);
    case ControlKind::PushButton:
      return MakeButton(parent, control);
    case ControlKind::CheckBox: {
      if (!Has(control.style, ControlStyle::PushLike)) {
        auto* box = new QCheckBox(QString::fromUtf8(control.text), parent);
        box->setStyle(new DialogControlStyle(box));
        return box;
      }
      QPushButton* button = MakeButton(parent, control);
      button->setCheckable(true);
      return button;
    }
    case ControlKind::RadioButton: {
      auto* radio = new QRadioButton(QString::fromUtf8(control.text), parent);
      radio->setStyle(new DialogControlStyle(radio));
      radio->setAutoExclusive(false);  // the dialog's logic checks one and unchecks the other
      return radio;
    }
    case ControlKind::Edit:
      return MakeEdit(parent, control);
    case ControlKind::DropDownList:
    case ControlKind::ComboBox: {
      auto* list = new QComboBox(parent);
      list->setStyle(new DialogControlStyle(list));
      if (control.kind == ControlKind::ComboBox) {
        list->setEditable(true);
        // What is typed stays as typed: no completion, no entry added on Enter.
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setCompleter(nullptr);
      }
      return list;
    }
    case ControlKind::UpDown:
      return new UpDownArrows(parent);
    case ControlKind::Tabs: {
      auto* tabs = new QTabWidget(parent);
      for (std::string_view item : control.items)
        tabs->addTab(new QWidget, QString::fromUtf8(item));
      // As a Windows tab control, a click on a tab takes the focus, so the edit being left is
      // finished before the tab changes.
      tabs->tabBar()->setFocusPolicy(Qt::StrongFocus);
      return tabs;
    }
    case ControlKind::ListView: {
      auto* list = new QTreeWidget(parent);
      list->setRootIsDecorated(false);
      list->setUniformRowHeights(true);
      list->setSelectionMode(QAbstractItemView::SingleSelection);
      list->setEditTriggers(QAbstractItemView::NoEditTriggers);
      list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
      QStringList headings;
      for (std::string_view item : control.items)
        headings << QString::fromUtf8(item);
      list->setHeaderLabels(headings);
      for (size_t column = 0; column < control.widths.size(); ++column)
        list->setColumnWidth(static_cast<int>(column), units_.X(control.widths[column]));
      if (Has(control.style, ControlStyle::Border))
        list->setFrameStyle(QFrame::Box | QFrame::Plain);
      return list;
    }
    case ControlKind::Trackbar: {
      auto* slider = new QSlider(
          Has(control.style, ControlStyle::Vertical) ? Qt::Vertical : Qt::Horizontal, parent);
      if (Has(control.style, ControlStyle::NoTicks)) slider->setTickPosition(QSlider::NoTicks);
      return slider;
    }
  }
  return new QWidget(parent);
}

}  // namespace drunvale
