// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/engine_codes_window.h"

#include <optional>

#include "app/codes_texts.h"
#include "dialogs/engine_codes_window_template.h"
#include "platform/windows/wide_text.h"
#include "win32/dialog_builder.h"
#include "win32/window_text.h"

namespace drunvale::win32 {
namespace {

constexpr UINT_PTR kTimer = 1;

class EngineCodesWindow {
 public:
  explicit EngineCodesWindow(EngineCodesSource source) : source_(std::move(source)) {}

  void Open(HWND dialog) {
    dialog_ = dialog;
    CentreOverOwner(dialog_, GetWindow(dialog_, GW_OWNER));
    AddListColumns(dialog_, Control(EngineCodesControl::List),
                   EngineCodesWindowTemplate()[EngineCodesControl::List]);
    // The request goes out with the window, not before it can show the answer.
    logic_.emplace(std::move(source_));
    SetTimer(dialog_, kTimer, 1000 / EngineCodesDialog::kTicksPerSecond, nullptr);
    Show();
  }

  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_TIMER && wParam == kTimer) {
      if (logic_->Tick()) Show();
      return TRUE;
    }
    if (message == WM_DESTROY) {
      KillTimer(dialog_, kTimer);
      logic_.reset();
      return FALSE;
    }
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
    const int id = LOWORD(wParam);
    if (id == Id(EngineCodesControl::Read)) {
      logic_->Read();
    } else if (id == Id(EngineCodesControl::Clear)) {
      const std::wstring title = WideFromUtf8(EngineCodesWindowTemplate().title);
      if (MessageBoxW(dialog_, WideFromUtf8(kClearCodesWarning).c_str(), title.c_str(),
                      MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) {
        return TRUE;
      }
      logic_->Clear();
    } else if (id == IDCANCEL) {
      EndDialog(dialog_, IDCANCEL);
      return TRUE;
    } else {
      return FALSE;
    }
    Show();
    return TRUE;
  }

 private:
  static int Id(EngineCodesControl control) { return EngineCodesWindowTemplate().IdOf(control); }
  HWND Control(EngineCodesControl control) const { return GetDlgItem(dialog_, Id(control)); }

  void Show() {
    const EngineCodesTexts& texts = logic_->Texts();
    SetText(Control(EngineCodesControl::Lamp), texts.lamp);
    SetListRows(Control(EngineCodesControl::List), texts.rows);
    SetText(Control(EngineCodesControl::Status), texts.status);
    EnableWindow(Control(EngineCodesControl::Read), texts.readEnabled);
    EnableWindow(Control(EngineCodesControl::Clear), texts.clearEnabled);
  }

  EngineCodesSource source_;
  std::optional<EngineCodesDialog> logic_;
  HWND dialog_ = nullptr;
};

}  // namespace

void RunEngineCodesWindow(HWND owner, EngineCodesSource source) {
  static const InMemoryDialog dialog(EngineCodesWindowTemplate());
  EngineCodesWindow window(std::move(source));
  RunModal(dialog, owner, window);
}

}  // namespace drunvale::win32
