// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <Qt>
#include <functional>
#include <vector>

#include "dialogs/dialog_template.h"
#include "dialogs/dialog_units.h"

class QDialog;
class QWidget;

namespace drunvale {

// The window flags of a dialog's frame.
Qt::WindowFlags WindowFlagsOf(DialogFrame frame);

// A dialog's widgets made from its template: the window's title, font and fixed size, and one
// widget per control in template order, placed in dialog units of the window's font. The
// dialog owns the widgets; what they do is up to the window that asked for them.
class DialogWidgets {
 public:
  // Makes the widget of a control the view paints itself (kind Custom).
  using CustomControl = std::function<QWidget*(const ControlTemplate&)>;

  DialogWidgets(QDialog& dialog, const DialogTemplate& dialogTemplate,
                const CustomControl& custom = {});

  QWidget* At(int control) const { return widgets_.at(static_cast<size_t>(control)); }
  const DialogUnits& Units() const { return units_; }
  QRect Place(const DialogRect& rect) const;

 private:
  QWidget* Make(QDialog& dialog, const ControlTemplate& control, const CustomControl& custom);

  DialogUnits units_;
  std::vector<QWidget*> widgets_;
};

// The same, with the controls named by the dialog's enumeration.
template <class Control>
class DialogWidgetsOf : public DialogWidgets {
 public:
  DialogWidgetsOf(QDialog& dialog, const DialogTemplateOf<Control>& dialogTemplate,
                  const CustomControl& custom = {})
      : DialogWidgets(dialog, dialogTemplate, custom) {}

  QWidget* operator[](Control control) const { return At(static_cast<int>(control)); }
  // Null when the control is not a T.
  template <class T>
  T* Get(Control control) const {
    return qobject_cast<T*>((*this)[control]);
  }
};

}  // namespace drunvale
