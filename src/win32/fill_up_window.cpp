// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/fill_up_window.h"

#include "dialogs/fill_up_dialog_template.h"
#include "journal_dialogs/fill_up_dialog.h"
#include "platform/windows/wide_text.h"
#include "win32/dialog_builder.h"
#include "win32/window_text.h"

namespace drunvale::win32 {
namespace {

class FillUpWindow {
 public:
  static constexpr int kRecorded = 1;
  static constexpr int kCancelled = 2;

  FillUpWindow(const TankState& tank, uint32_t factor, FillRecorder record)
      : logic_(tank, factor), record_(std::move(record)) {}

  void Open(HWND dialog) {
    dialog_ = dialog;
    CentreOverOwner(dialog_, GetWindow(dialog_, GW_OWNER));
    Show();
  }

  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND) return FALSE;
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == Id(FillUpControl::Pumped) && code == EN_CHANGE) {
      logic_.TextChanged(TextOf(Control(FillUpControl::Pumped)));
    } else if (id == Id(FillUpControl::NotFull) && code == BN_CLICKED) {
      logic_.Toggled(IsDlgButtonChecked(dialog_, id) == BST_CHECKED);
    } else if (id == Id(FillUpControl::Record)) {
      // Enter elsewhere comes as this command too: only the button itself records.
      if (GetFocus() == Control(FillUpControl::Record)) Record();
      return TRUE;
    } else if (id == Id(FillUpControl::Cancel)) {
      EndDialog(dialog_, kCancelled);
      return TRUE;
    } else {
      return FALSE;
    }
    Show();
    return TRUE;
  }

 private:
  static int Id(FillUpControl control) { return FillUpDialogTemplate().IdOf(control); }
  HWND Control(FillUpControl control) const { return GetDlgItem(dialog_, Id(control)); }

  void Show() {
    const FillUpDialogControls& shown = logic_.Controls();
    SetText(Control(FillUpControl::Counted), shown.counted);
    SetText(Control(FillUpControl::Factor), shown.factor);
    SetText(Control(FillUpControl::Message), shown.message);
    EnableWindow(Control(FillUpControl::NotFull), shown.notFullEnabled);
    CheckDlgButton(dialog_, Id(FillUpControl::NotFull),
                   shown.notFull ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(Control(FillUpControl::Record), shown.recordEnabled);
  }

  void Record() {
    if (!logic_.Proposal().Recordable()) return;
    const std::string problem = record_ ? record_(logic_.Proposal()) : std::string();
    if (!problem.empty()) {
      MessageBoxW(dialog_, WideFromUtf8(problem).c_str(), L"Drunvale", MB_OK | MB_ICONWARNING);
    }
    EndDialog(dialog_, kRecorded);
  }

  FillUpDialog logic_;
  FillRecorder record_;
  HWND dialog_ = nullptr;
};

}  // namespace

bool RunFillUpDialog(HWND owner, const TankState& tank, uint32_t factor, FillRecorder record) {
  static const InMemoryDialog dialog(FillUpDialogTemplate());
  FillUpWindow window(tank, factor, std::move(record));
  return RunModal(dialog, owner, window) == FillUpWindow::kRecorded;
}

}  // namespace drunvale::win32
