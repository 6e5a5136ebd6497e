// SPDX-License-Identifier: GPL-3.0-or-later
#include "win32/dialog_builder.h"

#include <commctrl.h>

#include <string>

#include "platform/windows/wide_text.h"

namespace drunvale::win32 {
namespace {

using S = ControlStyle;

DWORD TextAlignment(ControlStyle style) {
  if (Has(style, S::Centred)) return SS_CENTER;
  if (Has(style, S::RightAligned)) return SS_RIGHT;
  if (Has(style, S::NoWordWrap)) return SS_LEFTNOWORDWRAP;
  return SS_LEFT;
}

DWORD ExtendedStyle(ControlStyle style) {
  DWORD exStyle = 0;
  if (Has(style, S::DialogFrame)) exStyle |= WS_EX_DLGMODALFRAME;
  if (Has(style, S::ClientEdge)) exStyle |= WS_EX_CLIENTEDGE;
  return exStyle;
}

class TemplateWriter {
 public:
  explicit TemplateWriter(std::vector<WORD>& words) : words_(words) {}

  void Word(WORD value) { words_.push_back(value); }
  void Dword(DWORD value) {
    Word(LOWORD(value));
    Word(HIWORD(value));
  }
  void Text(const std::wstring& text) {
    for (wchar_t c : text)
      Word(static_cast<WORD>(c));
    Word(0);
  }
  void Ordinal(WORD ordinal) {
    Word(0xFFFF);
    Word(ordinal);
  }
  // Items begin on a DWORD boundary.
  void AlignToDword() {
    if (words_.size() % 2 != 0) Word(0);
  }

 private:
  std::vector<WORD>& words_;
};

DWORD DialogStyle(const DialogTemplate& model) {
  DWORD style = WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
  if (model.frame == DialogFrame::MainWindow) {
    style |= WS_OVERLAPPED | WS_MINIMIZEBOX;
  } else {
    style |= WS_POPUP;
  }
  return style;
}

// The face the dialog manager is given for the model's. MS Shell Dlg is the system's own dialog
// face, and on Windows both it and MS Sans Serif come out as Microsoft Sans Serif; Wine,
// though, has MS Sans Serif as a bitmap font only, whose Cyrillic an edit cannot lay out.
std::string_view DialogFace(const DialogFont& font) {
  return font.face == "MS Sans Serif" ? "MS Shell Dlg" : font.face;
}

}  // namespace

NativeControl NativeControlOf(const ControlTemplate& control) {
  const ControlStyle s = control.style;
  const DWORD visible = WS_CHILD | WS_VISIBLE;
  const DWORD exStyle = ExtendedStyle(s);
  switch (control.kind) {
    case ControlKind::Text:
      return {L"STATIC",
              visible | TextAlignment(s) | (Has(s, S::Sunken) ? SS_SUNKEN : 0u) |
                  (Has(s, S::NoPrefix) ? SS_NOPREFIX : 0u),
              exStyle};
    case ControlKind::Frame:
      // Under the tables that lie on it, never painting over them.
      return {L"STATIC", visible | SS_LEFT | WS_CLIPSIBLINGS, exStyle};
    case ControlKind::EtchedLine:
      return {L"STATIC", visible | SS_ETCHEDHORZ, exStyle};
    case ControlKind::Icon:
      return {L"STATIC", visible | SS_ICON, exStyle};
    case ControlKind::Custom:
      return {L"STATIC", visible | TextAlignment(s) | SS_NOPREFIX,
              exStyle | (Has(s, S::RightAligned) ? WS_EX_RIGHT : 0u)};
    case ControlKind::PushButton:
      return {L"BUTTON",
              visible | WS_TABSTOP | (Has(s, S::DefaultButton) ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) |
                  (Has(s, S::MultiLine) ? BS_MULTILINE : 0u),
              exStyle};
    case ControlKind::CheckBox:
      return {L"BUTTON",
              visible | WS_TABSTOP | BS_AUTOCHECKBOX | (Has(s, S::PushLike) ? BS_PUSHLIKE : 0u) |
                  (Has(s, S::MultiLine) ? BS_MULTILINE : 0u),
              exStyle};
    case ControlKind::RadioButton:
      return {L"BUTTON", visible | WS_TABSTOP | BS_RADIOBUTTON, exStyle};
    case ControlKind::Edit: {
      DWORD style = visible | WS_TABSTOP | WS_BORDER;
      style |= Has(s, S::MultiLine) ? ES_MULTILINE | ES_AUTOVSCROLL : ES_AUTOHSCROLL;
      if (Has(s, S::Digits)) style |= ES_NUMBER;
      if (Has(s, S::ReadOnly)) style |= ES_READONLY;
      if (Has(s, S::VerticalScroll)) style |= WS_VSCROLL;
      return {L"EDIT", style, exStyle};
    }
    case ControlKind::DropDownList:
      return {L"COMBOBOX", visible | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, exStyle};
    case ControlKind::ComboBox:
      return {L"COMBOBOX", visible | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL,
              exStyle};
    case ControlKind::UpDown:
      // The dialog's logic moves the value (UDN_DELTAPOS) and writes the buddy's text itself.
      return {UPDOWN_CLASSW,
              visible | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS, exStyle};
    case ControlKind::Tabs:
      // Under the controls that lie on its pages.
      return {WC_TABCONTROLW, visible | WS_TABSTOP | WS_CLIPSIBLINGS, exStyle};
    case ControlKind::Trackbar:
      return {TRACKBAR_CLASSW,
              visible | WS_TABSTOP | (Has(s, S::Vertical) ? TBS_VERT : TBS_HORZ) |
                  (Has(s, S::BothSides) ? TBS_BOTH : 0u) | (Has(s, S::NoTicks) ? TBS_NOTICKS : 0u),
              exStyle};
    case ControlKind::ListView:
      return {WC_LISTVIEWW,
              visible | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                  LVS_NOSORTHEADER | (Has(s, S::Border) ? WS_BORDER : 0u),
              exStyle};
  }
  return {L"STATIC", visible, exStyle};
}

InMemoryDialog::InMemoryDialog(const DialogTemplate& model) {
  TemplateWriter out(bytes_);
  out.Word(1);       // dlgVer
  out.Word(0xFFFF);  // signature: DLGTEMPLATEEX
  out.Dword(0);      // helpID
  out.Dword(0);      // exStyle
  out.Dword(DialogStyle(model));
  out.Word(static_cast<WORD>(model.controls.size()));
  out.Word(0);  // x, y: the dialog centres itself when it opens
  out.Word(0);
  out.Word(static_cast<WORD>(model.width));
  out.Word(static_cast<WORD>(model.height));
  out.Word(0);  // no menu
  out.Word(0);  // the dialog class
  out.Text(WideFromUtf8(model.title));
  out.Word(static_cast<WORD>(model.font.points));
  out.Word(FW_NORMAL);
  out.Word(MAKEWORD(FALSE, DEFAULT_CHARSET));  // italic, charset
  out.Text(WideFromUtf8(DialogFace(model.font)));

  for (const ControlTemplate& control : model.controls) {
    out.AlignToDword();
    const NativeControl native = NativeControlOf(control);
    out.Dword(0);  // helpID
    out.Dword(native.exStyle);
    out.Dword(native.style);
    out.Word(static_cast<WORD>(control.rect.x));
    out.Word(static_cast<WORD>(control.rect.y));
    out.Word(static_cast<WORD>(control.rect.width));
    out.Word(static_cast<WORD>(control.rect.height));
    out.Dword(static_cast<DWORD>(NativeId(control)));
    out.Text(native.className);
    if (control.kind == ControlKind::Icon) {
      out.Ordinal(static_cast<WORD>(kProgramIconId));
    } else {
      out.Text(WideFromUtf8(control.text));
    }
    out.Word(0);  // no creation data
  }
}

void AddListColumns(HWND dialog, HWND view, const ControlTemplate& list,
                    bool (*rightAligned)(size_t column, size_t columns)) {
  SendMessageW(view, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  for (size_t column = 0; column < list.items.size(); ++column) {
    RECT width{0, 0, list.widths[column], 0};
    MapDialogRect(dialog, &width);
    std::wstring heading = WideFromUtf8(list.items[column]);
    LVCOLUMNW entry{};
    entry.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    const bool right = rightAligned && rightAligned(column, list.items.size());
    entry.fmt = right ? LVCFMT_RIGHT : LVCFMT_LEFT;
    entry.cx = width.right;
    entry.pszText = heading.data();
    SendMessageW(view, LVM_INSERTCOLUMNW, column, reinterpret_cast<LPARAM>(&entry));
  }
}

void SetListRows(HWND view, const std::vector<std::vector<std::string>>& rows) {
  SendMessageW(view, WM_SETREDRAW, FALSE, 0);
  SendMessageW(view, LVM_DELETEALLITEMS, 0, 0);
  for (size_t row = 0; row < rows.size(); ++row) {
    for (size_t column = 0; column < rows[row].size(); ++column) {
      std::wstring text = WideFromUtf8(rows[row][column]);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(row);
      item.iSubItem = static_cast<int>(column);
      item.pszText = text.data();
      SendMessageW(view, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, row,
                   reinterpret_cast<LPARAM>(&item));
    }
  }
  SendMessageW(view, WM_SETREDRAW, TRUE, 0);
}

}  // namespace drunvale::win32
