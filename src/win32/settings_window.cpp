// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/settings_window.h"

#include <commctrl.h>
#include <commdlg.h>

#include <array>

#include "platform/windows/wide_text.h"
#include "win32/dialog_builder.h"
#include "win32/window_text.h"

namespace drunvale::win32 {
namespace {

using C = SettingsControl;

const auto& Model() {
  return SettingsDialogTemplate();
}

int Id(C control) {
  return Model().IdOf(control);
}

// The filters as GetOpenFileNameW wants them: label, pattern, ..., each ended by a NUL and the
// list by one more.
std::wstring FilterList() {
  std::wstring list;
  for (const FileFilter& filter : kWavFileFilters) {
    list += WideFromUtf8(filter.label) + L'\0';
    list += WideFromUtf8(filter.pattern) + L'\0';
  }
  return list + L'\0';
}

}  // namespace

SettingsWindow::SettingsWindow(SharedSettings& settings, UserStore& store,
                               SettingsDialogOptions options)
    : logic_(settings, store, *this, std::move(options)) {
  for (const ControlTemplate& t : Model().controls) {
    if (t.id != kNoControlId) controlOfId_[t.id] = static_cast<C>(t.control);
  }
}

int SettingsWindow::Run(HWND owner) {
  static const InMemoryDialog dialog(Model());
  const INT_PTR result =
      DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.Get(), owner,
                              &SettingsWindow::DialogProc, reinterpret_cast<LPARAM>(this));
  return result == kSaved ? kSaved : kCancelled;
}

INT_PTR CALLBACK SettingsWindow::DialogProc(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<SettingsWindow*>(lParam);
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    self->dialog_ = dialog;
    self->Open();
    return TRUE;
  }
  auto* self = reinterpret_cast<SettingsWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
  return self ? self->Handle(message, wParam, lParam) : FALSE;
}

HWND SettingsWindow::Control(C control) const {
  return GetDlgItem(dialog_, Id(control));
}

void SettingsWindow::Open() {
  CentreOverOwner(dialog_, GetWindow(dialog_, GW_OWNER));
  HWND tabs = Control(C::Tabs);
  const auto& tabTexts = Model()[C::Tabs].items;
  for (size_t i = 0; i < tabTexts.size(); ++i) {
    std::wstring text = WideFromUtf8(tabTexts[i]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  Apply([this] { logic_.Initialise(); });
}

INT_PTR SettingsWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      return Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (!Notify(*reinterpret_cast<const NMHDR*>(lParam), result)) return FALSE;
      SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, result);
      return TRUE;
    }
    case WM_CLOSE:
      EndDialog(dialog_, kCancelled);
      return TRUE;
    default:
      return FALSE;
  }
}

bool SettingsWindow::Command(int id, int code, HWND from) {
  // Enter, from the dialog manager rather than a button: the focused push button is pressed
  // by the dialog manager itself; in the WAV path it confirms the path and then saves, and
  // elsewhere it does nothing.
  if (id == IDOK && from == nullptr) {
    if (GetFocus() == Control(C::PathEdit)) {
      bool usable = true;
      Apply([&] { usable = logic_.ConfirmPath(); });
      if (usable) SaveAndClose();
    }
    return true;
  }
  if (id == IDCANCEL) {
    EndDialog(dialog_, kCancelled);
    return true;
  }
  const auto found = controlOfId_.find(id);
  if (found == controlOfId_.end()) return false;
  const C control = found->second;
  const ControlKind kind = Model()[control].kind;
  switch (kind) {
    case ControlKind::Edit:
      if (code == EN_CHANGE && !sync_.Syncing()) {
        const std::string text = TextOf(from);
        Apply([&] { logic_.TextChanged(control, text); });
      } else if (code == EN_SETFOCUS) {
        Apply([&] { logic_.FocusEntered(control); });
      } else if (code == EN_KILLFOCUS) {
        Apply([&] { logic_.FocusLeft(control); });
      }
      return true;
    case ControlKind::DropDownList:
    case ControlKind::ComboBox:
      if (code == CBN_SELCHANGE && !sync_.Syncing()) {
        const int index = static_cast<int>(SendMessageW(from, CB_GETCURSEL, 0, 0));
        Apply([&] { logic_.Select(control, index); });
      } else if (code == CBN_EDITCHANGE && !sync_.Syncing()) {
        const std::string text = TextOf(from);
        Apply([&] { logic_.TextChanged(control, text); });
      }
      return true;
    case ControlKind::CheckBox:
      if (code == BN_CLICKED) {
        const bool checked = SendMessageW(from, BM_GETCHECK, 0, 0) == BST_CHECKED;
        Apply([&] { logic_.Toggled(control, checked); });
      }
      return true;
    case ControlKind::RadioButton:
      if (code == BN_CLICKED) Apply([&] { logic_.RadioClicked(control); });
      return true;
    case ControlKind::PushButton:
      if (code != BN_CLICKED) return true;
      if (control == C::Browse) Browse();
      if (control == C::Reset) Apply([this] { logic_.Reset(); });
      if (control == C::Save) SaveAndClose();
      return true;
    default:
      return false;
  }
}

bool SettingsWindow::Notify(const NMHDR& header, LRESULT& result) {
  const auto found = controlOfId_.find(static_cast<int>(header.idFrom));
  if (found == controlOfId_.end()) return false;
  const C control = found->second;
  if (header.code == UDN_DELTAPOS) {
    // The logic moves the value and writes the edit; the control itself changes nothing.
    const auto& change = reinterpret_cast<const NMUPDOWN&>(header);
    if (change.iDelta != 0) {
      Apply([&] { logic_.Step(control, change.iDelta > 0 ? +1 : -1); });
    }
    result = TRUE;
    return true;
  }
  if (header.code == TCN_SELCHANGE && control == C::Tabs && !sync_.Syncing()) {
    const int tab = static_cast<int>(SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0));
    Apply([&] { logic_.SelectTab(tab); });
    return true;
  }
  return false;
}

void SettingsWindow::Apply(const std::function<void()>& event) {
  sync_.Apply(event, [this] { Sync(); });
}

void SettingsWindow::Sync() {
  const SettingsDialogControls& c = logic_.Controls();
  const auto fill = [this](C id, const ListControl& model) {
    HWND box = Control(id);
    const auto count = static_cast<size_t>(SendMessageW(box, CB_GETCOUNT, 0, 0));
    bool same = count == model.items.size();
    for (size_t i = 0; same && i < count; ++i) {
      std::wstring item(static_cast<size_t>(SendMessageW(box, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
      SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()));
      same = Utf8FromWide(item.c_str()) == model.items[i];
    }
    if (same) return false;
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : model.items)
      SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromUtf8(item).c_str()));
    return true;
  };
  const auto list = [&](C id, const ListControl& model) {
    fill(id, model);
    SendMessageW(Control(id), CB_SETCURSEL, static_cast<WPARAM>(model.selected), 0);
  };
  const auto combo = [&](C id, const ComboControl& model) {
    HWND box = Control(id);
    const bool refilled = fill(id, model);
    // While the text is the one typed the choice is left alone, so typing keeps its caret.
    if (refilled || TextOf(box) != model.text) {
      SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(model.selected), 0);
      SetText(box, model.text);
    }
  };
  const auto button = [this](C id, const ButtonControl& model) {
    CheckDlgButton(dialog_, Id(id), model.checked ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(Control(id), model.enabled);
  };
  const auto edit = [this](C id, const std::string& text, bool enabled) {
    HWND widget = Control(id);
    // Only a real change is written, so typing keeps its caret.
    if (TextOf(widget) != text) SetText(widget, text);
    EnableWindow(widget, enabled);
  };
  const auto upDown = [&](C buddy, C arrows, const UpDownControl& model) {
    edit(buddy, model.Text(), model.enabled);
    HWND control = Control(arrows);
    SendMessageW(control, UDM_SETRANGE32, static_cast<WPARAM>(model.Lower()), model.Upper());
    SendMessageW(control, UDM_SETPOS32, 0, model.Value());
    EnableWindow(control, model.enabled);
  };

  combo(C::PortList, c.ports);
  list(C::BaudList, c.bauds);
  list(C::AdapterList, c.adapters);
  list(C::SourceList, c.sources);
  edit(C::Displacement, c.displacement.text, c.displacement.enabled);
  edit(C::Afr, c.afr.text, c.afr.enabled);
  edit(C::Density, c.density.text, c.density.enabled);
  button(C::Rts, c.rts);
  button(C::Dtr, c.dtr);
  edit(C::Price, c.price.text, c.price.enabled);
  upDown(C::JamMinutes, C::JamMinutesUpDown, c.jamMinutes);
  upDown(C::JamSpeed, C::JamSpeedUpDown, c.jamSpeed);
  upDown(C::OverLimitEdit, C::OverLimitUpDown, c.overLimit);
  SendMessageW(Control(C::Tabs), TCM_SETCURSEL, static_cast<WPARAM>(c.tab), 0);
  SetText(Control(C::LevelCaption), c.levelCaption);
  upDown(C::IntervalEdit, C::IntervalUpDown, c.interval);
  button(C::ToneRadio, c.toneRadio);
  upDown(C::ToneEdit, C::ToneUpDown, c.tone);
  button(C::WavRadio, c.wavRadio);
  edit(C::PathEdit, c.path.text, c.path.enabled);
  EnableWindow(Control(C::Browse), c.browse.enabled);
  upDown(C::RateEdit, C::RateUpDown, c.rate);
  button(C::Loop, c.loop);
  button(C::Test, c.test);
}

void SettingsWindow::Browse() {
  const std::wstring filters = FilterList();
  const std::wstring extension = WideFromUtf8(kWavDefaultExtension);
  std::array<wchar_t, MAX_PATH> file{};
  std::array<wchar_t, 256> title{};
  OPENFILENAMEW chooser{};
  chooser.lStructSize = sizeof chooser;
  chooser.hwndOwner = dialog_;
  chooser.lpstrFilter = filters.c_str();
  chooser.nFilterIndex = 1;
  chooser.lpstrFile = file.data();
  chooser.nMaxFile = static_cast<DWORD>(file.size());
  chooser.lpstrFileTitle = title.data();
  chooser.nMaxFileTitle = static_cast<DWORD>(title.size());
  chooser.lpstrDefExt = extension.c_str();
  chooser.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING | OFN_FILEMUSTEXIST;
  if (!GetOpenFileNameW(&chooser)) return;
  const std::string path = Utf8FromWide(file.data());
  Apply([&] { logic_.TakeBrowsedFile(path); });
}

void SettingsWindow::SaveAndClose() {
  Apply([this] { logic_.Save(); });
  EndDialog(dialog_, kSaved);
}

void SettingsWindow::ShowWarning(const std::string& text) {
  MessageBoxW(dialog_, WideFromUtf8(text).c_str(), WideFromUtf8(kSettingsWarningCaption).c_str(),
              MB_OK | MB_ICONEXCLAMATION);
}

void SettingsWindow::FocusPathEdit() {
  PostMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(C::PathEdit)), TRUE);
}

int RunSettingsDialog(HWND owner, SharedSettings& settings, UserStore& store) {
  SettingsWindow window(settings, store);
  return window.Run(owner);
}

}  // namespace drunvale::win32
