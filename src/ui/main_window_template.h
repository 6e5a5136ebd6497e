#pragma once

#include <span>

namespace drunvale {

enum class ControlKind {
  Frame,        // raised dialog-frame box around a table
  Header,       // centred, sunken
  RowCaptions,  // left, sunken, one caption a line
  ValueColumn,  // right, sunken, one value a line
  PushButton,
  CheckBox,
  VolumeSlider,
  Indicator,
  UnitCaption,  // left, no border
  StatusLine,   // left, no border
  SummaryLine,  // right, no border
  Separator,    // etched horizontal line
};

// One control of the main window: its object name (the numeric identifier, or a descriptive
// name for the unnamed statics), what it is, its caption and its place in dialog units.
struct ControlTemplate {
  const char* name;
  ControlKind kind;
  const char* caption;
  int x, y, width, height;
};

inline constexpr int kMainWindowWidthDu = 319;
inline constexpr int kMainWindowHeightDu = 231;

// In creation order, which is also the stacking order: the frames lie under the tables.
std::span<const ControlTemplate> MainWindowTemplate();

}  // namespace drunvale
