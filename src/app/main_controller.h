// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/engine_codes_dialog.h"
#include "app/main_commands.h"
#include "app/main_view.h"
#include "app/status_mailbox.h"
#include "app/trip_keeper.h"
#include "dash/consumption_history.h"
#include "dash/dash_figures.h"
#include "dash/dash_look.h"
#include "dialogs/indicator_colours.h"
#include "dialogs/main_menu.h"
#include "link/trouble_codes.h"

namespace drunvale {

class AppCore;
class UserStore;

// The main window's logic without the window: what Start, Stop, Reset, the timer, the beep
// box, the volume slider, the unit button and closing do. The Qt window and the console are
// thin views over it.
class MainController final : public MainCommands {
 public:
  MainController(AppCore& app, UserStore& store, MainView& view);
  ~MainController() override;

  // Loads the settings, opens the sound device, loads the sounds, resets the statistics and
  // fills the whole panel. The link is not started. Stored settings that will not open, or no
  // sound device, are said in the cause line.
  void Initialise();
  // The run's beginning, the same for every view: Initialise, this run's port in use, the view
  // told how the run begins (before the link may start), and the link started for --demo,
  // --connect, the console, or the stored "connect at start".
  void BeginRun(const RunStart& start);

  void Start(bool beep) override;
  void Stop() override;
  void Reset() override;
  void OnRefreshTimer() override;
  void SetBeep(bool on) override;
  void SetVolumeSliderPosition(int position) override;
  void ToggleUnits() override;
  int Close() override;
  // The link restarts only when the port or the rate changed, and the sounds are reloaded.
  void ApplySavedSettings() override;

  bool LitresPerHour() const { return litresPerHour_; }
  std::string IndicatorText() const;
  // The digits' colour: by the unit, grey while the figure is stale.
  Rgb IndicatorColour() const;

  // The context menu's options. Connecting at start is stored beside the settings; starting
  // with the session is the system's entry itself. A failure is said on the cause line.
  bool ConnectAtStart() const { return connectAtStart_; }
  void SetConnectAtStart(bool on);
  bool StartsWithSession() const;
  void SetStartWithSession(bool on);
  // The same options by their entry in the main window's menu; false and nothing for an entry
  // that is no option.
  bool MenuOptionOn(MainMenuItem item) const override;
  void SwitchMenuOption(MainMenuItem item, bool on) override;

  // Where the link's status texts go; exposed for the views' own messages.
  StatusMailbox& Status() { return status_; }

  // The fill-up dialog: the tank counter with the running trip's litres in it, the factor in
  // force, and recording what the driver confirmed. RecordFill returns what could not be
  // stored ("" when everything was).
  TankState FillUpTank() const;
  uint32_t FuelFactor() const { return keeper_.Factor(); }
  std::string RecordFill(const FillProposal& fill);

  // The engine's trouble codes, read or cleared within the running session (or the next one);
  // the report comes back to the view's timer.
  void AskEngineCodes(bool clear);
  std::optional<CodesReport> TakeEngineCodes();
  // The same for the codes window.
  EngineCodesSource EngineCodes();

  // The journal window and the console's journal.
  TripKeeper& Journal() { return keeper_; }

  // The dash and the console's sparkline: the last half hour, one point a second from the
  // refresh timer, and what the dash shows beside it.
  const ConsumptionHistory& History() const { return history_; }
  DashFrame DashNow() const;
  std::string Sparkline() const;
  // The dash's look, loaded with the settings; a new one is stored at once. False when the
  // store would not take it (it holds for this run).
  const DashLook& Look() const { return look_; }
  bool SetLook(const DashLook& look);
  // Whether the dash is in its night palette now, by hand or by the clock.
  bool NightNow() const;

 private:
  // The panel refreshes whole at every fourth tick: at a count above this one.
  static constexpr int32_t kTicksBetweenFullRefreshes = 3;

  // The current column and the indicator; every fourth call the whole panel. Returns the
  // statistics it showed.
  TripSnapshot RefreshStatistics();
  void ShowWholePanel(const TripSnapshot& trip, float price);
  // What went wrong with the journal, said once.
  void ShowNotices();
  // Tells the view how long nothing came, when that changed.
  void ShowDataAge();
  // The link stopped: the figures on show are old from now on, and the display may sleep.
  void Stopped();

  AppCore& app_;
  UserStore& store_;
  MainView& view_;
  StatusMailbox status_;
  // Ticks since the last full refresh; kTicksBetweenFullRefreshes makes the next one full.
  int32_t refreshCount_ = kTicksBetweenFullRefreshes;
  bool litresPerHour_ = true;
  TripKeeper keeper_;
  bool tripClosed_ = false;
  ConsumptionHistory history_;
  DashLook look_;
  bool lookUnsaved_ = false;
  bool connectAtStart_ = false;
  AdapterKind foundAdapter_ = AdapterKind::Automatic;
  uint32_t foundSource_ = 0;
  std::optional<uint32_t> shownAge_;
};

}  // namespace drunvale
