// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string_view>

#include "dialogs/dialog_template.h"

namespace drunvale {

// The settings dialog's controls, in template order. An up-down and its buddy edit are named
// apart, since either may be the source of an event.
enum class SettingsControl : int {
  PortLabel,
  PortList,
  BaudLabel,
  BaudList,
  BpsLabel,
  AdapterLabel,
  AdapterList,
  Rts,
  Dtr,
  SourceLabel,
  SourceList,
  DisplacementLabel,
  Displacement,
  CcLabel,
  AfrLabel,
  Afr,
  AfrUnitLabel,
  DensityLabel,
  Density,
  DensityUnitLabel,
  LinkSeparator,
  PriceLabel,
  Price,
  RoublesLabel,
  JamMinutesLabel,
  JamMinutes,
  JamMinutesUpDown,
  JamSpeedLabel,
  JamSpeed,
  JamSpeedUpDown,
  KilometresLabel,
  OverLimitLabel,
  OverLimitEdit,
  OverLimitUpDown,
  LitresLabel,
  Tabs,
  LevelCaption,  // its text comes from the selected tab
  IntervalEdit,
  IntervalUpDown,
  IntervalLabel,
  SignalLabel,
  ToneRadio,
  ToneEdit,
  ToneUpDown,
  HertzLabel,
  WavRadio,
  PathEdit,
  Browse,
  RateLabel,
  RateEdit,
  RateUpDown,
  SamplesLabel,
  Loop,
  Test,
  Reset,
  Save,
  Cancel,
};

// "Настройки Drunvale".
const DialogTemplateOf<SettingsControl>& SettingsDialogTemplate();

// The adapter kinds in the order of AdapterKind, as AdapterList offers them.
inline constexpr std::string_view kAdapterKindTexts[] = {"определить сам", "K-line (эхо)",
                                                         "ELM327"};

// The data sources in the order of DataSourceKind, as SourceList offers them.
inline constexpr std::string_view kDataSourceTexts[] = {"определить сам", "блок контроллера",
                                                        "стандартные OBD-II"};

// The Wi-Fi adapters' usual address, offered beside the serial ports.
inline constexpr std::string_view kWifiAdapterAddress = "socket://192.168.0.10:35000";

// The file chooser of the "..." button: its filters, the first one chosen, and the extension a
// name typed without one gets.
struct FileFilter {
  std::string_view label;
  std::string_view pattern;
};
inline constexpr FileFilter kWavFileFilters[] = {{"Audio files (*.wav)", "*.wav"},
                                                 {"All files (*.*)", "*.*"}};
inline constexpr std::string_view kWavDefaultExtension = "wav";

// The caption of the dialog's warning box.
inline constexpr std::string_view kSettingsWarningCaption = "Drunvale";

}  // namespace drunvale
