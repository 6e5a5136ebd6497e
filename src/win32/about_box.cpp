// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/about_box.h"

#include "dialogs/about_box_template.h"
#include "win32/dialog_builder.h"
#include "win32/window_text.h"

namespace drunvale::win32 {
namespace {

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  const auto& model = AboutBoxTemplate();
  switch (message) {
    case WM_INITDIALOG:
      CentreOverOwner(dialog, GetWindow(dialog, GW_OWNER));
      SetDlgItemTextW(dialog, model.IdOf(AboutControl::Disclaimer),
                      WithCrLf(kAboutDisclaimer).c_str());
      return TRUE;
    case WM_COMMAND:
      // OK carries IDCANCEL, so Esc and the close box come here as well.
      if (LOWORD(wParam) == model.IdOf(AboutControl::Ok)) {
        EndDialog(dialog, 1);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

void RunAboutBox(HWND owner) {
  static const InMemoryDialog about(AboutBoxTemplate());
  DialogBoxIndirectParamW(GetModuleHandleW(nullptr), about.Get(), owner, AboutProc, 0);
}

}  // namespace drunvale::win32
