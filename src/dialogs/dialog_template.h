// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace drunvale {

// A control's place in a dialog: left, top, width and height in dialog units.
struct DialogRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  constexpr bool operator==(const DialogRect&) const = default;
};

// What a control is. Views make their own widget for each kind; the kinds are those of the
// Windows dialog controls the windows were designed with.
enum class ControlKind : uint8_t {
  Text,        // static text; one caption a line, lines never wrap
  Frame,       // an empty static drawn as an edge only
  EtchedLine,  // a horizontal etched line
  Icon,        // the program's icon, at the icon's own size
  Custom,      // a static the view paints itself (the consumption indicator)
  PushButton,
  CheckBox,      // ticks itself when clicked
  RadioButton,   // checked by the dialog's logic, never by a click alone
  Edit,          // one line unless MultiLine
  DropDownList,  // the height is that of the opened list
  ComboBox,      // a drop-down list whose text may also be typed; the same height rule
  UpDown,        // arrows at the right edge of the control before it, its buddy edit
  Tabs,          // the tab texts are the control's items
  Trackbar,
  ListView,  // a list of rows in columns under headings (report view); the items are the
             // headings, the widths their columns' widths
};

// Style flags beyond what the kind implies (every interactive kind takes the focus in
// template order; an up-down also answers the arrow keys and shows no thousands separator).
enum class ControlStyle : uint32_t {
  None = 0,
  Centred = 1u << 0,        // text centred in the control
  RightAligned = 1u << 1,   // text right-aligned in the control
  Sunken = 1u << 2,         // a thin sunken border (SS_SUNKEN)
  DialogFrame = 1u << 3,    // a raised double edge (WS_EX_DLGMODALFRAME)
  ClientEdge = 1u << 4,     // a sunken edge inside (WS_EX_CLIENTEDGE)
  NoWordWrap = 1u << 5,     // SS_LEFTNOWORDWRAP
  NoPrefix = 1u << 6,       // an ampersand is shown, not taken as a mnemonic
  DefaultButton = 1u << 7,  // the dialog's default push button
  PushLike = 1u << 8,       // a check box drawn as a push button
  MultiLine = 1u << 9,      // a button's caption or an edit's text on several lines
  Digits = 1u << 10,        // an edit that takes digits only
  ReadOnly = 1u << 11,
  Border = 1u << 12,  // a one-pixel border (WS_BORDER)
  VerticalScroll = 1u << 13,
  Vertical = 1u << 14,     // a trackbar standing upright
  BothSides = 1u << 15,    // a trackbar's thumb pointing neither way (flat)
  NoTicks = 1u << 16,      // a trackbar without tick marks
  WritesBuddy = 1u << 17,  // an up-down that writes its position into its buddy
};

constexpr ControlStyle operator|(ControlStyle a, ControlStyle b) {
  return static_cast<ControlStyle>(static_cast<uint32_t>(a) | static_cast<uint32_t>(b));
}

constexpr bool Has(ControlStyle set, ControlStyle flag) {
  return (static_cast<uint32_t>(set) & static_cast<uint32_t>(flag)) != 0;
}

// The numeric identifier of a control that has none (a static no one addresses).
inline constexpr int kNoControlId = -1;

// The program's icon, as the dialogs' icon statics and the main window name it.
inline constexpr int kProgramIconId = 128;

// One control of a dialog template.
struct ControlTemplate {
  int control;  // the dialog's enumerator for it, as a number: its place in the template
  int id;       // the numeric identifier the Windows dialog knows it by, or kNoControlId
  ControlKind kind;
  std::string_view text;  // UTF-8; '\n' breaks a line
  DialogRect rect;
  ControlStyle style = ControlStyle::None;
  std::span<const std::string_view> items = {};  // the tabs of a tab control, a list's headings
  std::span<const int> widths = {};              // a list's column widths, in dialog units
};

// What an entry of a menu is.
enum class MenuItemKind : uint8_t {
  Command,    // does something when chosen
  Check,      // switches an option; ticked while it is on (the logic says so when the menu opens)
  Separator,  // a line between groups
  Radio,      // one of the neighbouring radio entries, marked while its choice is in force
  Submenu,    // opens the entries it holds
};

// One entry of a menu.
struct MenuItemTemplate {
  int item;  // the menu's enumerator for it, as a number: its place in the menu
  int id;    // the command identifier a Windows menu knows it by, or kNoControlId
  MenuItemKind kind;
  std::string_view text;      // UTF-8
  std::string_view key = {};  // the key that does the same, shown beside the text ("F11")
  std::span<const MenuItemTemplate> submenu = {};  // a Submenu's entries
};

// True when every entry sits at the place its enumerator names.
constexpr bool EnumeratedInOrder(std::span<const MenuItemTemplate> items) {
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].item != static_cast<int>(i)) return false;
  }
  return true;
}

// The face and size a dialog asks for; each view finds its nearest stand-in.
struct DialogFont {
  std::string_view face;
  int points = 8;
};

enum class DialogFrame : uint8_t {
  // A top-level window with caption, system menu, minimise box and a fixed (modal) frame.
  MainWindow,
  // A pop-up with caption, system menu and a fixed (modal) frame, owned by another window.
  Popup,
};

// A whole dialog: its window and its controls in template order, which is the order of
// creation, of stacking (the frames lie under the tables) and of the focus chain.
struct DialogTemplate {
  int resourceId;
  std::string_view title;
  DialogFont font;
  int width;
  int height;
  DialogFrame frame;
  std::span<const ControlTemplate> controls;
};

// A template whose controls are named by the dialog's own enumeration.
template <class Control>
struct DialogTemplateOf : DialogTemplate {
  constexpr const ControlTemplate& operator[](Control control) const {
    return controls[static_cast<size_t>(control)];
  }
  constexpr int IdOf(Control control) const { return (*this)[control].id; }
  // The control a numeric identifier names, if any.
  constexpr std::optional<Control> ControlOfId(int id) const {
    for (const ControlTemplate& c : controls) {
      if (c.id == id && id != kNoControlId) return static_cast<Control>(c.control);
    }
    return std::nullopt;
  }
};

// True when every control sits at the place its enumerator names, so that looking a control
// up by its name is an index. Every template is checked with it where it is defined.
constexpr bool EnumeratedInOrder(std::span<const ControlTemplate> controls) {
  for (size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].control != static_cast<int>(i)) return false;
  }
  return true;
}

// True when no two controls share a numeric identifier.
constexpr bool IdsUnique(std::span<const ControlTemplate> controls) {
  for (size_t i = 0; i < controls.size(); ++i) {
    for (size_t j = i + 1; j < controls.size(); ++j) {
      if (controls[i].id != kNoControlId && controls[i].id == controls[j].id) return false;
    }
  }
  return true;
}

}  // namespace drunvale
