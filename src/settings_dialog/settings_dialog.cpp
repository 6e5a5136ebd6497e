// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings_dialog/settings_dialog.h"

#include "platform/user_store.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "settings_dialog/dialog_numbers.h"
#include "settings_dialog/level_tabs.h"

namespace drunvale {
namespace {

struct UpDownPair {
  SettingsControl edit;
  SettingsControl upDown;
  UpDownControl SettingsDialogControls::*control;
};

constexpr UpDownPair kUpDownPairs[] = {
    {SettingsControl::JamMinutes, SettingsControl::JamMinutesUpDown,
     &SettingsDialogControls::jamMinutes},
    {SettingsControl::JamSpeed, SettingsControl::JamSpeedUpDown, &SettingsDialogControls::jamSpeed},
    {SettingsControl::OverLimitEdit, SettingsControl::OverLimitUpDown,
     &SettingsDialogControls::overLimit},
    {SettingsControl::IntervalEdit, SettingsControl::IntervalUpDown,
     &SettingsDialogControls::interval},
    {SettingsControl::ToneEdit, SettingsControl::ToneUpDown, &SettingsDialogControls::tone},
    {SettingsControl::RateEdit, SettingsControl::RateUpDown, &SettingsDialogControls::rate},
};

const UpDownPair* PairOf(SettingsControl id) {
  for (const UpDownPair& pair : kUpDownPairs) {
    if (pair.edit == id || pair.upDown == id) return &pair;
  }
  return nullptr;
}

// The first entry that begins with prefix, ignoring ASCII case, as a list box's prefix search;
// entry 0 when none does, -1 for an empty list.
int SelectByPrefix(const std::vector<std::string>& items, const std::string& prefix) {
  const auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
  for (size_t i = 0; i < items.size(); ++i) {
    const std::string& item = items[i];
    if (item.size() >= prefix.size() &&
        std::equal(prefix.begin(), prefix.end(), item.begin(),
                   [&](char a, char b) { return lower(a) == lower(b); })) {
      return static_cast<int>(i);
    }
  }
  return items.empty() ? -1 : 0;
}

// The playback-rate arrows move in tens of samples per second, within what the device plays.
constexpr uint32_t kFallbackMinRate = 10;
constexpr uint32_t kFallbackMaxRate = 327670;
constexpr int32_t kMaxRatePosition = 32767;

}  // namespace

SettingsDialog::SettingsDialog(SharedSettings& settings, UserStore& store, SettingsDialogHost& host,
                               SettingsDialogOptions options)
    : settings_(settings),
      store_(store),
      host_(host),
      listPorts_(std::move(options.listPorts)),
      levelRecords_{&workingCopy_.Params.LevelZero, &workingCopy_.Params.LevelMin,
                    &workingCopy_.Params.LevelMax, &workingCopy_.Params.LevelOver},
      levelWavPaths_{&workingCopy_.WavZero, &workingCopy_.WavMin, &workingCopy_.WavMin,
                     &workingCopy_.WavOver},
      testSettings_(workingCopy_),
      testEngine_(testSettings_, *options.clock, *options.audio) {}

std::string SettingsDialog::UnusableWavText(const std::string& path) {
  return "Не обнаружен подходящий аудио-формат у файла\n" + path;
}

void SettingsDialog::Initialise() {
  // Without a device the sound test is silent; the dialog works all the same.
  (void)testEngine_.Device().Create();
  if (listPorts_) presentPorts_ = listPorts_();
  controls_.bauds.items = {"10400", "38400", "57600"};
  controls_.adapters.items.assign(std::begin(kAdapterKindTexts), std::end(kAdapterKindTexts));
  controls_.sources.items.assign(std::begin(kDataSourceTexts), std::end(kDataSourceTexts));

  uint32_t minRate = kFallbackMinRate;
  uint32_t maxRate = kFallbackMaxRate;
  testEngine_.Device().GetRateRange(minRate, maxRate);
  uint32_t lower = minRate / 10;
  uint32_t upper = maxRate / 10;
  if (lower == 0) lower = 1;
  if (upper == 0 || upper > kMaxRatePosition) upper = kMaxRatePosition;
  controls_.rate.SetRange(static_cast<int32_t>(std::min<uint32_t>(lower, kMaxRatePosition)),
                          static_cast<int32_t>(upper));

  workingCopy_ = settings_.Get();
  portInUse_ = workingCopy_.Port;
  adapterInUse_ = workingCopy_.Adapter;
  FillControls();
}

// The port is selected by its exact name, so no other adapter is ever taken for it. A port
// that is not there now (unplugged, this run's pseudo-terminal) is offered after the present
// ones, and an adapter named by its node rather than its stable name keeps that name: saving
// other settings then leaves the port as it was. The Wi-Fi adapters' usual address comes last;
// any other is typed.
void SettingsDialog::ShowPorts() {
  const std::string& port = workingCopy_.Port;
  ComboControl& list = controls_.ports;
  list.items.clear();
  for (const SerialPortName& present : presentPorts_) {
    list.items.push_back(!port.empty() && present.device == port ? port : present.path);
  }
  const auto listed = [&](std::string_view name) {
    return std::find(list.items.begin(), list.items.end(), name) != list.items.end();
  };
  if (!port.empty() && !listed(port)) list.items.push_back(port);
  if (!listed(kWifiAdapterAddress)) list.items.emplace_back(kWifiAdapterAddress);
  if (port.empty()) {
    list.selected = presentPorts_.empty() ? -1 : 0;
    list.text = presentPorts_.empty() ? std::string() : list.items[0];
    return;
  }
  list.selected =
      static_cast<int>(std::find(list.items.begin(), list.items.end(), port) - list.items.begin());
  list.text = port;
}

void SettingsDialog::FillControls() {
  const Parameters& p = workingCopy_.Params;
  ShowPorts();
  controls_.adapters.selected = static_cast<int>(workingCopy_.Adapter);
  ShowFuel(workingCopy_.Fuel);
  controls_.sources.selected = static_cast<int>(workingCopy_.Source);
  EnableForSource();
  controls_.bauds.selected = SelectByPrefix(controls_.bauds.items, std::to_string(p.BaudRate));
  controls_.price.text = FormatFixed2(p.FuelPrice);
  controls_.rts.checked = p.RtsPulse;
  controls_.dtr.checked = p.DtrOn;
  controls_.jamMinutes.SetPosition(p.JamMinutes);
  controls_.jamSpeed.SetPosition(p.JamSpeed);
  controls_.overLimit.SetPosition(p.OverLimit);
  ShowLevel();
}

void SettingsDialog::ShowFuel(const ObdFuel& fuel) {
  controls_.displacement.text = fuel.displacementCc ? std::to_string(fuel.displacementCc) : "";
  controls_.afr.text = FormatFixed2(fuel.afrHundredths / 100.0);
  controls_.density.text = std::to_string(fuel.densityGL);
}

// Read as typed, brought into range; an unreadable figure keeps the default, and an empty
// displacement means not given.
ObdFuel SettingsDialog::TypedFuel() const {
  ObdFuel fuel;
  const auto clamp = [](double value, uint32_t lower, uint32_t upper, uint32_t fallback) {
    if (!(value > 0)) return fallback;
    return static_cast<uint32_t>(std::lround(std::clamp<double>(value, lower, upper)));
  };
  // A decimal comma is what a Russian keyboard gives.
  std::string afr = controls_.afr.text;
  std::replace(afr.begin(), afr.end(), ',', '.');
  const int64_t cc = NumberOrZero(controls_.displacement.text);
  fuel.displacementCc = static_cast<uint32_t>(
      std::clamp<int64_t>(cc, 0, static_cast<int64_t>(ObdFuel::kMaxDisplacementCc)));
  fuel.afrHundredths = clamp(ReadDecimal(afr) * 100, ObdFuel::kMinAfrHundredths,
                             ObdFuel::kMaxAfrHundredths, fuel.afrHundredths);
  fuel.densityGL = clamp(static_cast<double>(NumberOrZero(controls_.density.text)),
                         ObdFuel::kMinDensityGL, ObdFuel::kMaxDensityGL, fuel.densityGL);
  return fuel;
}

// The estimate's figures matter only where the standard data may be read.
void SettingsDialog::EnableForSource() {
  const bool used =
      controls_.sources.selected != static_cast<int>(DataSourceKind::ManufacturerBlock);
  controls_.displacement.enabled = used;
  controls_.afr.enabled = used;
  controls_.density.enabled = used;
}

void SettingsDialog::ShowLevel() {
  loading_ = true;
  const int tab = controls_.tab;
  controls_.levelCaption = kLevelTabs[tab].caption;
  // Each position comes back through its edit's text-change handler, so a stored value out of
  // range is clamped in the working copy as soon as the tab is shown.
  controls_.interval.SetPosition(Level().IntervalMs);
  OnTextChange(SettingsControl::IntervalEdit);
  controls_.tone.SetPosition(Level().ToneHz);
  OnTextChange(SettingsControl::ToneEdit);
  SetRate(Level().SampleRate);

  const LevelSettings& level = Level();
  controls_.loop.checked = level.AutoRepeat;
  controls_.toneRadio.checked = level.UseTone;
  controls_.wavRadio.checked = !level.UseTone;
  controls_.path.text = WavPath();
  EnableForMode();
  // The Max level plays the Min level's sound: its mode is shown, not chosen.
  const bool maxTab = tab == kMaxTab;
  controls_.toneRadio.enabled = !maxTab || controls_.toneRadio.checked;
  controls_.wavRadio.enabled = !maxTab || controls_.wavRadio.checked;
  loading_ = false;
  RefreshTest();
}

void SettingsDialog::EnableForMode() {
  const bool tone = Level().UseTone;
  controls_.interval.enabled = true;
  controls_.tone.enabled = tone;
  controls_.rate.enabled = !tone;
  controls_.path.enabled = !tone;
  controls_.browse.enabled = !tone;
  controls_.loop.enabled = !tone;
  if (controls_.tab == kMaxTab) {
    controls_.path.enabled = false;
    controls_.browse.enabled = false;
    controls_.loop.enabled = false;
  }
}

void SettingsDialog::SetRate(uint32_t rate) {
  controls_.rate.SetPosition(rate / 10);
  controls_.rate.SetText(std::to_string(rate));
  OnTextChange(SettingsControl::RateEdit);
}

void SettingsDialog::OnTextChange(SettingsControl edit) {
  switch (edit) {
    case SettingsControl::IntervalEdit:
      Level().IntervalMs = static_cast<uint16_t>(controls_.interval.Value());
      break;
    case SettingsControl::ToneEdit:
      Level().ToneHz = static_cast<uint16_t>(controls_.tone.Value());
      break;
    case SettingsControl::RateEdit:
      Level().SampleRate = ReadRate(controls_.rate.Text());
      break;
    default:
      return;  // the other edits count only when left or saved
  }
  RefreshTest();
}

UpDownControl* SettingsDialog::UpDownOf(SettingsControl id) {
  const UpDownPair* pair = PairOf(id);
  return pair ? &(controls_.*(pair->control)) : nullptr;
}

void SettingsDialog::TextChanged(SettingsControl edit, std::string text) {
  if (edit == SettingsControl::PortList) {
    ComboControl& ports = controls_.ports;
    const auto found = std::find(ports.items.begin(), ports.items.end(), text);
    ports.selected =
        found == ports.items.end() ? -1 : static_cast<int>(found - ports.items.begin());
    ports.text = std::move(text);
    return;
  }
  if (EditControl* plain = PlainEdit(edit)) {
    if (plain->enabled) plain->text = std::move(text);
    return;
  }
  if (edit == SettingsControl::PathEdit) {
    if (controls_.path.enabled) controls_.path.text = std::move(text);
    return;
  }
  const UpDownPair* pair = PairOf(edit);
  if (!pair || pair->edit != edit) return;
  UpDownControl& control = controls_.*(pair->control);
  if (!control.enabled) return;
  control.SetText(std::move(text));
  OnTextChange(edit);
}

void SettingsDialog::FocusEntered(SettingsControl edit) {
  if (edit == SettingsControl::PathEdit) pathOnEntry_ = controls_.path.text;
}

void SettingsDialog::FocusLeft(SettingsControl edit) {
  switch (edit) {
    case SettingsControl::Price:
      controls_.price.text = FormatFixed2(ClampPrice(ReadDecimal(controls_.price.text)));
      return;
    case SettingsControl::PathEdit:
      if (controls_.path.enabled) TryTypedPath();
      return;
    case SettingsControl::Displacement:
    case SettingsControl::Afr:
    case SettingsControl::Density:
      ShowFuel(TypedFuel());
      return;
    case SettingsControl::RateEdit:
      // The arrows take the typed rate in tens; the typed digits stay as they are.
      if (controls_.rate.enabled) controls_.rate.SetPosition(ReadRate(controls_.rate.Text()) / 10);
      return;
    default:
      break;
  }
  const UpDownPair* pair = PairOf(edit);
  if (!pair || pair->edit != edit) return;
  UpDownControl& control = controls_.*(pair->control);
  if (!control.enabled) return;
  control.SetPosition(NumberOrZero(control.Text()));
  OnTextChange(edit);
}

void SettingsDialog::Step(SettingsControl upDown, int direction) {
  const UpDownPair* pair = PairOf(upDown);
  if (!pair) return;
  UpDownControl& control = controls_.*(pair->control);
  if (!control.enabled || !control.Step(direction)) return;
  if (pair->edit == SettingsControl::RateEdit) {
    control.SetText(std::to_string(int64_t{control.Value()} * 10));
  }
  OnTextChange(pair->edit);
}

void SettingsDialog::CopyMinModeToMax() {
  workingCopy_.Params.LevelMax.UseTone = workingCopy_.Params.LevelMin.UseTone;
  workingCopy_.Params.LevelMax.AutoRepeat = workingCopy_.Params.LevelMin.AutoRepeat;
}

void SettingsDialog::Toggled(SettingsControl box, bool checked) {
  switch (box) {
    case SettingsControl::Rts:
      controls_.rts.checked = checked;
      return;
    case SettingsControl::Dtr:
      controls_.dtr.checked = checked;
      return;
    case SettingsControl::Loop:
      if (!controls_.loop.enabled) return;
      controls_.loop.checked = checked;
      Level().AutoRepeat = checked;
      if (controls_.tab == kMinTab) CopyMinModeToMax();
      RefreshTest();
      return;
    case SettingsControl::Test:
      controls_.test.checked = checked;
      testEngine_.SetEnabled(checked);
      RefreshTest();
      return;
    default:
      return;
  }
}

void SettingsDialog::RadioClicked(SettingsControl radio) {
  const bool tone = radio == SettingsControl::ToneRadio;
  if (!tone && radio != SettingsControl::WavRadio) return;
  if (!(tone ? controls_.toneRadio : controls_.wavRadio).enabled) return;
  Level().UseTone = tone;
  if (controls_.tab == kMinTab) CopyMinModeToMax();
  controls_.toneRadio.checked = tone;
  controls_.wavRadio.checked = !tone;
  EnableForMode();
  RefreshTest();
}

void SettingsDialog::SelectTab(int tab) {
  if (tab < 0 || tab >= kLevelTabCount || tab == controls_.tab) return;
  if (controls_.tab == kMinTab) CopyMinModeToMax();
  controls_.tab = tab;
  ShowLevel();
}

void SettingsDialog::Select(SettingsControl list, int index) {
  ListControl* control = list == SettingsControl::PortList      ? &controls_.ports
                         : list == SettingsControl::BaudList    ? &controls_.bauds
                         : list == SettingsControl::AdapterList ? &controls_.adapters
                         : list == SettingsControl::SourceList  ? &controls_.sources
                                                                : nullptr;
  if (!control || index < 0 || index >= static_cast<int>(control->items.size())) return;
  control->selected = index;
  if (list == SettingsControl::PortList) controls_.ports.text = control->items[index];
  if (list == SettingsControl::SourceList) EnableForSource();
}

EditControl* SettingsDialog::PlainEdit(SettingsControl edit) {
  switch (edit) {
    case SettingsControl::Price:
      return &controls_.price;
    case SettingsControl::Displacement:
      return &controls_.displacement;
    case SettingsControl::Afr:
      return &controls_.afr;
    case SettingsControl::Density:
      return &controls_.density;
    default:
      return nullptr;
  }
}

void SettingsDialog::TakeBrowsedFile(const std::string& path) {
  if (!controls_.browse.enabled || path.empty()) return;
  WavPath() = path;
  controls_.path.text = path;
  UseWavFile();
}

bool SettingsDialog::ConfirmPath() {
  return !controls_.path.enabled || TryTypedPath();
}

bool SettingsDialog::TryTypedPath() {
  WavPath() = controls_.path.text;
  if (controls_.path.text == pathOnEntry_) return true;
  // Tried once is enough: leaving again or a second Enter with the same path tries nothing,
  // however the focus came back after the warning (a window manager may give it back as a
  // reactivation, which is no entry into the edit).
  pathOnEntry_ = controls_.path.text;
  return UseWavFile();
}

bool SettingsDialog::UseWavFile() {
  const std::string path = WavPath();
  const SoundSlot slot = kLevelTabs[controls_.tab].slot;
  const bool usable = testEngine_.Device().AssignSound(slot, path);
  if (!usable) {
    host_.ShowWarning(UnusableWavText(path));
    host_.FocusPathEdit();
  }
  // The file's own rate; 0 when the slot is left empty.
  const uint32_t rate =
      static_cast<uint32_t>(std::max(0, testEngine_.Device().SlotNativeRate(slot)));
  Level().SampleRate = rate;
  if (controls_.tab == kMinTab) workingCopy_.Params.LevelMax.SampleRate = rate;
  SetRate(rate);
  RefreshTest();
  return usable;
}

void SettingsDialog::RefreshTest() {
  if (loading_) return;
  if (!controls_.test.checked) {
    testEngine_.SetEnabled(false);
    return;
  }
  const int tab = controls_.tab;
  const std::string source = controls_.toneRadio.checked ? std::string() : WavPath();
  testEngine_.Device().AssignSound(kLevelTabs[tab].slot, source);
  // The test classifies against the limit the dialog shows, saved or not.
  const int32_t limit = controls_.overLimit.Value();
  workingCopy_.Params.OverLimit = static_cast<uint8_t>(limit);
  testSettings_.Set(workingCopy_);
  testEngine_.SetConsumption(TestConsumption(tab, static_cast<uint8_t>(limit)));
  if (tab == kMinTab || tab == kMaxTab) testEngine_.ResetPhase();
}

void SettingsDialog::Reset() {
  workingCopy_ = Settings();
  FillControls();
}

void SettingsDialog::Save() {
  if (controls_.tab == kMinTab) CopyMinModeToMax();
  // A path typed but neither left nor confirmed is kept as typed.
  if (controls_.path.enabled) WavPath() = controls_.path.text;

  Settings saved = workingCopy_;
  // A typed name counts without its surrounding blanks; none typed leaves the port as it was.
  const std::string& typed = controls_.ports.text;
  const size_t first = typed.find_first_not_of(" \t");
  if (first != std::string::npos) {
    saved.Port = typed.substr(first, typed.find_last_not_of(" \t") - first + 1);
  }
  const int adapter = controls_.adapters.selected;
  if (adapter >= 0) saved.Adapter = static_cast<AdapterKind>(adapter);
  const int source = controls_.sources.selected;
  if (source >= 0) saved.Source = static_cast<DataSourceKind>(source);
  // Not shown for the block alone, but what was typed before is kept as typed.
  saved.Fuel = TypedFuel();
  const ListControl& bauds = controls_.bauds;
  if (bauds.selected >= 0) {
    saved.Params.BaudRate = static_cast<uint16_t>(NumberOrZero(bauds.items[bauds.selected]));
  }
  saved.Params.RtsPulse = controls_.rts.checked;
  saved.Params.DtrOn = controls_.dtr.checked;
  // The price edit need not have been left: the price is brought into range here too.
  saved.Params.FuelPrice = static_cast<float>(ClampPrice(ReadDecimal(controls_.price.text)));
  saved.Params.JamMinutes = static_cast<uint8_t>(controls_.jamMinutes.Value());
  saved.Params.JamSpeed = static_cast<uint8_t>(controls_.jamSpeed.Value());
  saved.Params.OverLimit = static_cast<uint8_t>(controls_.overLimit.Value());

  settings_.Set(saved);
  // A port or adapter given for this run only (--port, --demo, --adapter) is shown and kept in
  // use, but the store keeps its own unless the user picked another one here.
  const bool keepPort = saved.Port == portInUse_;
  const bool keepAdapter = saved.Adapter == adapterInUse_;
  if (keepPort || keepAdapter) {
    Settings stored;
    // Unread, the stored ones are unknown: defaults in their place would lose them.
    if (stored.Load(store_) != StoreResult::Ok && store_.Exists(kSettingsKeyPath)) {
      host_.ShowWarning(kNotSavedText);
      return;
    }
    if (keepPort) saved.Port = stored.Port;
    if (keepAdapter) saved.Adapter = stored.Adapter;
  }
  // In use either way; the user learns that they will not outlive this run.
  if (saved.Save(store_) != StoreResult::Ok) host_.ShowWarning(kNotSavedText);
}

}  // namespace drunvale
