// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <string>
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

// The window procedure of a dialog kept by an object: Open at WM_INITDIALOG, then Handle.
template <class Window>
INT_PTR CALLBACK DialogProcOf(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    reinterpret_cast<Window*>(lParam)->Open(dialog);
    return TRUE;
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(dialog, DWLP_USER));
  return self ? self->Handle(message, wParam, lParam) : FALSE;
}

// A list view's columns from its model: the headings, their widths in dialog units, and which
// stand right-aligned.
void AddListColumns(HWND dialog, HWND view, const ControlTemplate& list,
                    bool (*rightAligned)(size_t column, size_t columns) = nullptr);
// Its rows, replacing those it had.
void SetListRows(HWND view, const std::vector<std::vector<std::string>>& rows);

template <class Window>
INT_PTR RunModal(const InMemoryDialog& dialog, HWND owner, Window& window) {
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.Get(), owner,
                                 &DialogProcOf<Window>, reinterpret_cast<LPARAM>(&window));
}

}  // namespace drunvale::win32
