// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <vector>

#include "dialogs/dialog_template.h"

namespace drunvale::win32 {

// A dialog template in memory (DLGTEMPLATEEX), built from the dialog model at run time, so
// that every control, text and rectangle comes from the one model. The dialog manager converts
// the dialog units itself, in the model's font, as it does for a resource.
class InMemoryDialog {
 public:
  explicit InMemoryDialog(const DialogTemplate& model);

  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

 private:
  std::vector<WORD> bytes_;
};

// The Windows control class and styles that stand for a control of the model.
struct NativeControl {
  const wchar_t* className;
  DWORD style;
  DWORD exStyle;
};
NativeControl NativeControlOf(const ControlTemplate& control);

// The identifier a control has in the Windows dialog (a static without one gets IDC_STATIC).
inline int NativeId(const ControlTemplate& control) {
  return control.id == kNoControlId ? -1 : control.id;
}

}  // namespace drunvale::win32
