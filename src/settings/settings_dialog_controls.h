#pragma once

#include <string>
#include <vector>

#include "settings/up_down_control.h"

namespace drunvale {

// Identifiers of the settings dialog's controls (dialog 201). Up-downs and their buddy edits
// are named apart because either may be the source of an event.
enum class ControlId : int {
  Save = 1,
  Cancel = 2,
  Price = 1001,
  JamMinutes = 1002,
  JamSpeed = 1003,
  PortList = 1010,
  Tabs = 1011,
  ToneRadio = 1012,
  ToneEdit = 1013,
  ToneUpDown = 1014,
  IntervalEdit = 1015,
  IntervalUpDown = 1016,
  WavRadio = 1017,
  PathEdit = 1018,
  RateEdit = 1019,
  RateUpDown = 1020,
  Browse = 1021,
  Loop = 1022,
  OverLimitEdit = 1023,
  Test = 1024,
  Dtr = 1025,
  BaudList = 1026,
  Rts = 1027,
  JamMinutesUpDown = 1028,
  JamSpeedUpDown = 1029,
  OverLimitUpDown = 1030,
  LevelCaption = 1031,
  Reset = 1047,
};

struct ListControl {
  std::vector<std::string> items;
  int selected = -1;  // -1: nothing selected
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
  ListControl ports;                    // 1010
  ListControl bauds;                    // 1026
  ButtonControl rts;                    // 1027
  ButtonControl dtr;                    // 1025
  EditControl price;                    // 1001
  UpDownControl jamMinutes{1, 60};      // 1002 with 1028
  UpDownControl jamSpeed{1, 100};       // 1003 with 1029
  UpDownControl overLimit{1, 100};      // 1023 with 1030
  int tab = 0;                          // 1011
  std::string levelCaption;             // 1031
  UpDownControl interval{0, 10000};     // 1015 with 1016
  ButtonControl toneRadio;              // 1012
  UpDownControl tone{20, 20000};        // 1013 with 1014
  ButtonControl wavRadio;               // 1017
  EditControl path;                     // 1018
  ButtonControl browse;                 // 1021
  UpDownControl rate{1, 32767, false};  // 1019 with 1020: position = rate / 10
  ButtonControl loop;                   // 1022
  ButtonControl test;                   // 1024
};

}  // namespace drunvale
