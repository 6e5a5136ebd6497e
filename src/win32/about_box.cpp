// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/about_box.h"

#include <cwchar>

#include "dialogs/about_box_template.h"
#include "win32/dialog_builder.h"
#include "win32/window_text.h"

namespace drunvale::win32 {
namespace {

// Wine 8's Uniscribe crashes laying out the disclaimer in an edit with most faces (seen with
// Tahoma, Arial and Liberation Sans, not with DejaVu Sans); under Wine the edit takes that face
// at the dialog font's height. Windows keeps the dialog's font.
HFONT WineSafeFont(HWND dialog) {
  if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) return nullptr;
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
  wcscpy(font.lfFaceName, L"DejaVu Sans");
  return CreateFontIndirectW(&font);
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  const auto& model = AboutBoxTemplate();
  switch (message) {
    case WM_INITDIALOG:
      CentreOverOwner(dialog, GetWindow(dialog, GW_OWNER));
      if (HFONT font = WineSafeFont(dialog)) {
        SetPropW(dialog, L"DrunvaleFont", font);
        SendDlgItemMessageW(dialog, model.IdOf(AboutControl::Disclaimer), WM_SETFONT,
                            reinterpret_cast<WPARAM>(font), FALSE);
      }
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
    case WM_DESTROY:
      if (HANDLE font = RemovePropW(dialog, L"DrunvaleFont")) DeleteObject(font);
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
