// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/main_window_binding.h"

#include <QApplication>

#include "app/app_core.h"
#include "app/command_line.h"
#include "app/journal_source.h"
#include "app/main_controller.h"
#include "qt/fill_up_window.h"
#include "qt/journal_window.h"

namespace drunvale {

MainWindowActions ControllerActions(MainController& controller,
                                    SettingsDialogRunner runSettingsDialog) {
  MainWindowActions actions;
  actions.start = [&controller](bool beep) { controller.Start(beep); };
  actions.stop = [&controller] { controller.Stop(); };
  actions.reset = [&controller] { controller.Reset(); };
  actions.refreshTimer = [&controller] { controller.OnRefreshTimer(); };
  actions.setBeep = [&controller](bool on) { controller.SetBeep(on); };
  actions.setVolumeSliderPosition = [&controller](int position) {
    controller.SetVolumeSliderPosition(position);
  };
  actions.toggleUnits = [&controller] { controller.ToggleUnits(); };
  actions.openSettings = [&controller, run = std::move(runSettingsDialog)](QWidget* parent) {
    if (run && run(parent)) controller.ApplySavedSettings();
  };
  actions.openJournal = [&controller](QWidget* parent) {
    JournalWindow window(parent, JournalSourceOf(controller.Journal(), OpenWithDesktop));
    window.exec();
  };
  actions.openFillUp = [&controller](QWidget* parent) {
    FillUpWindow window(
        parent, controller.FillUpTank(), controller.FuelFactor(),
        [&controller](const FillProposal& fill) { return controller.RecordFill(fill); });
    window.exec();
  };
  actions.close = [&controller] { return controller.Close(); };
  actions.indicatorText = [&controller] { return controller.IndicatorText(); };
  actions.indicatorColour = [&controller] { return controller.IndicatorColour(); };
  actions.dash.frame = [&controller] { return controller.DashNow(); };
  actions.dash.history = &controller.History();
  actions.dash.look = [&controller] { return controller.Look(); };
  actions.dash.setLook = [&controller](const DashLook& look) { controller.SetLook(look); };
  actions.dash.night = [&controller] { return controller.NightNow(); };
  actions.optionOn = [&controller](MainMenuItem item) { return controller.MenuOptionOn(item); };
  actions.switchOption = [&controller](MainMenuItem item, bool on) {
    controller.SwitchMenuOption(item, on);
  };
  return actions;
}

void ShowMainWindow(MainWindow& window, MainController& controller, AppCore& app,
                    const CommandLine& options, const std::string& portForThisRun) {
  controller.Initialise();
  if (!portForThisRun.empty()) app.UsePortForThisRun(portForThisRun);
  window.SetBeepTicked(options.beep);
  window.show();
  if (options.dash) window.ToggleDash();
  if (options.demo || options.connect || controller.ConnectAtStart())
    controller.Start(options.beep);
}

void CloseOnRequest(MainWindow& window) {
  // A modal window's own loop runs inside the main window's: it must end first. A few passes
  // at most, in case one refuses to close.
  for (int pass = 0; pass < 8; ++pass) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || modal == &window || !modal->close()) break;
  }
  window.close();
}

}  // namespace drunvale
