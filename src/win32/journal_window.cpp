// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/journal_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include "dialogs/journal_window_template.h"
#include "platform/windows/wide_text.h"
#include "win32/dialog_builder.h"
#include "win32/window_text.h"

namespace drunvale::win32 {
namespace {

class JournalWindow {
 public:
  explicit JournalWindow(JournalWindowSource source) : source_(std::move(source)) {}

  void Open(HWND dialog) {
    dialog_ = dialog;
    CentreOverOwner(dialog_, GetWindow(dialog_, GW_OWNER));
    // A long path keeps its end, where the file's name is.
    HWND status = Control(JournalControl::Status);
    SetWindowLongPtrW(status, GWL_STYLE, GetWindowLongPtrW(status, GWL_STYLE) | SS_PATHELLIPSIS);
    AddListColumns(dialog_, Control(JournalControl::List),
                   JournalWindowTemplate()[JournalControl::List], JournalColumnRightAligned);
    Refresh();
  }

  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
    const auto& model = JournalWindowTemplate();
    const int id = LOWORD(wParam);
    if (id == model.IdOf(JournalControl::KeepJournal)) {
      const bool on = IsDlgButtonChecked(dialog_, id) == BST_CHECKED;
      if (source_.setJournalOn && !source_.setJournalOn(on)) {
        SetText(Control(JournalControl::Status), kJournalSwitchNotStored);
      } else {
        Refresh();
      }
    } else if (id == model.IdOf(JournalControl::OpenFolder)) {
      OpenPath(source_.folder);
    } else if (id == model.IdOf(JournalControl::OpenFile)) {
      OpenPath(source_.file);
    } else if (id == IDCANCEL) {
      EndDialog(dialog_, IDCANCEL);
    } else {
      return FALSE;
    }
    return TRUE;
  }

 private:
  HWND Control(JournalControl control) const {
    return GetDlgItem(dialog_, JournalWindowTemplate().IdOf(control));
  }

  void Refresh() {
    std::string problem;
    const JournalContents journal = source_.read ? source_.read(problem) : JournalContents{};
    const bool on = source_.journalOn && source_.journalOn();
    const JournalWindowTexts texts = MakeJournalWindowTexts(journal, on, problem, source_.file);

    SetListRows(Control(JournalControl::List), texts.rows);
    for (size_t column = 0; column < texts.totals.size(); ++column)
      SetText(Control(kJournalTotals[column]), texts.totals[column]);
    SetText(Control(JournalControl::Status), texts.status);
    CheckDlgButton(dialog_, JournalWindowTemplate().IdOf(JournalControl::KeepJournal),
                   on ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(Control(JournalControl::OpenFile), texts.fileOpenable);
  }

  void OpenPath(const std::string& path) {
    if (path.empty() || !source_.open || !source_.open(path)) {
      SetText(Control(JournalControl::Status), OpenFailedText(path));
    }
  }

  JournalWindowSource source_;
  HWND dialog_ = nullptr;
};

}  // namespace

void RunJournalWindow(HWND owner, JournalWindowSource source) {
  static const InMemoryDialog dialog(JournalWindowTemplate());
  JournalWindow window(std::move(source));
  RunModal(dialog, owner, window);
}

bool OpenWithShell(const std::string& path) {
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", WideFromUtf8(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

}  // namespace drunvale::win32
