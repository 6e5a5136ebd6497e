// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/clock.h"
#include "platform/serial_port_probe.h"
#include "settings/settings.h"
#include "settings_dialog/settings_dialog_controls.h"
#include "sound/audio_backend.h"
#include "sound/sound_engine.h"

namespace drunvale {

class UserStore;

// What the dialog's logic asks of its window.
class SettingsDialogHost {
 public:
  virtual ~SettingsDialogHost() = default;
  // A message box owned by the dialog, with an OK button and a warning icon; returns when the
  // user has closed it.
  virtual void ShowWarning(const std::string& text) = 0;
  virtual void FocusPathEdit() = 0;
};

struct SettingsDialogOptions {
  SerialPortLister listPorts = [] { return ListSerialPorts(); };
  HighResClock* clock = &SystemHighResClock();
  AudioBackend* audio = &SystemAudioBackend();
};

// The settings dialog without its window: a working copy of the settings, the controls that
// edit it, and a private sound engine that lets the user hear a level before saving. The window
// passes every user event in and then shows Controls(); Save is the only way anything leaves.
class SettingsDialog {
 public:
  SettingsDialog(SharedSettings& settings, UserStore& store, SettingsDialogHost& host,
                 SettingsDialogOptions options = {});
  SettingsDialog(const SettingsDialog&) = delete;
  SettingsDialog& operator=(const SettingsDialog&) = delete;

  // Opens the test engine's device, fills the lists and ranges, copies the process-wide
  // settings and shows them.
  void Initialise();

  // User events. Each acts only on the controls it names and ignores a disabled one.
  void TextChanged(SettingsControl edit, std::string text);
  void FocusEntered(SettingsControl edit);
  void FocusLeft(SettingsControl edit);
  // One arrow step of an up-down control: +1 up, -1 down.
  void Step(SettingsControl upDown, int direction);
  // Check boxes (Rts, Dtr, Loop, the test button Test) with their new state.
  void Toggled(SettingsControl box, bool checked);
  // The radio buttons ToneRadio and WavRadio.
  void RadioClicked(SettingsControl radio);
  void SelectTab(int tab);
  void Select(SettingsControl list, int index);
  // A file taken in the file chooser of the Browse button.
  void TakeBrowsedFile(const std::string& path);
  // Enter in the WAV path: a changed path is tried as leaving the edit tries it. False when
  // the file could not be used (the user has been warned); the dialog then stays open.
  bool ConfirmPath();
  void Reset();
  // Copies the working copy and the controls into the process-wide settings and stores them.
  void Save();

  const SettingsDialogControls& Controls() const { return controls_; }
  const Settings& WorkingCopy() const { return workingCopy_; }
  SoundEngine& TestEngine() { return testEngine_; }

  // The warning for a file the test engine cannot play.
  static std::string UnusableWavText(const std::string& path);
  // The warning when the settings could not be stored.
  static constexpr const char* kNotSavedText =
      "Не удалось сохранить настройки.\nОни действуют до выхода из программы.";

 private:
  void FillControls();
  void ShowPorts();
  void ShowLevel();
  void ShowFuel(const ObdFuel& fuel);
  ObdFuel TypedFuel() const;
  void EnableForSource();
  EditControl* PlainEdit(SettingsControl edit);
  void EnableForMode();
  bool TryTypedPath();
  bool UseWavFile();
  void RefreshTest();
  // Runs after the dialog itself writes an edit's text, as after typing.
  void OnTextChange(SettingsControl edit);
  void CopyMinModeToMax();
  void SetRate(uint32_t rate);
  UpDownControl* UpDownOf(SettingsControl id);

  LevelSettings& Level() { return *levelRecords_[controls_.tab]; }
  std::string& WavPath() { return *levelWavPaths_[controls_.tab]; }

  SharedSettings& settings_;
  UserStore& store_;
  SettingsDialogHost& host_;
  SerialPortLister listPorts_;
  std::vector<SerialPortName> presentPorts_;
  // The port in use when the dialog opened; it may be this run's own (--port, --demo) rather
  // than the stored one.
  std::string portInUse_;
  AdapterKind adapterInUse_ = AdapterKind::Automatic;  // likewise (--adapter)

  Settings workingCopy_;
  std::array<LevelSettings*, 4> levelRecords_;
  std::array<std::string*, 4> levelWavPaths_;
  // The test engine reads its record from here; RefreshTest pushes the working copy in before
  // every request, since that is when the engine reads it.
  SharedSettings testSettings_;
  SoundEngine testEngine_;
  std::string pathOnEntry_;
  bool loading_ = false;
  SettingsDialogControls controls_;
};

}  // namespace drunvale
