// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "dialogs/settings_dialog_template.h"
#include "settings_dialog/up_down_control.h"

namespace drunvale {

struct ListControl {
  std::vector<std::string> items;
  int selected = -1;  // -1: nothing selected
};

// A list whose text may also be typed: the text is what counts, and the entry it names, if
// any, is the one selected.
struct ComboControl : ListControl {
  std::string text;
};

struct ButtonControl {
  bool checked = false;
  bool enabled = true;
};

struct EditControl {
  std::string text;
  bool enabled = true;
};

// What every control of the dialog shows. The window mirrors this after each event it passes
// on, so the dialog's behaviour can be tested without one.
struct SettingsDialogControls {
  ComboControl ports;                   // PortList
  ListControl bauds;                    // BaudList
  ListControl adapters;                 // AdapterList, in the order of AdapterKind
  ButtonControl rts;                    // Rts
  ButtonControl dtr;                    // Dtr
  ListControl sources;                  // SourceList, in the order of DataSourceKind
  EditControl displacement;             // Displacement, cm³; empty when not given
  EditControl afr;                      // Afr, the stoichiometric ratio
  EditControl density;                  // Density, g/l
  EditControl price;                    // Price
  UpDownControl jamMinutes{1, 60};      // JamMinutes with its up-down
  UpDownControl jamSpeed{1, 100};       // JamSpeed with its up-down
  UpDownControl overLimit{1, 100};      // OverLimitEdit with its up-down
  int tab = 0;                          // Tabs
  std::string levelCaption;             // LevelCaption
  UpDownControl interval{0, 10000};     // IntervalEdit with its up-down
  ButtonControl toneRadio;              // ToneRadio
  UpDownControl tone{20, 20000};        // ToneEdit with its up-down
  ButtonControl wavRadio;               // WavRadio
  EditControl path;                     // PathEdit
  ButtonControl browse;                 // Browse
  UpDownControl rate{1, 32767, false};  // RateEdit with its up-down: position = rate / 10
  ButtonControl loop;                   // Loop
  ButtonControl test;                   // Test
};

}  // namespace drunvale
