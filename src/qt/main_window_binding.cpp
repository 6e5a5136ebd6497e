// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/main_window_binding.h"

#include <QApplication>

#include "app/journal_source.h"
#include "app/main_controller.h"
#include "qt/about_box.h"
#include "qt/engine_codes_window.h"
#include "qt/fill_up_window.h"
#include "qt/journal_window.h"

namespace drunvale {

MainWindowBinding::MainWindowBinding(MainWindow& window, MainController& controller,
                                     SettingsDialogRunner runSettingsDialog)
    : window_(window), controller_(controller), runSettingsDialog_(std::move(runSettingsDialog)) {
  MainWindowSource source;
  source.indicatorText = [&controller] { return controller.IndicatorText(); };
  source.indicatorColour = [&controller] { return controller.IndicatorColour(); };
  source.dash.frame = [&controller] { return controller.DashNow(); };
  source.dash.history = &controller.History();
  source.dash.look = [&controller] { return controller.Look(); };
  source.dash.setLook = [&controller](const DashLook& look) { controller.SetLook(look); };
  source.dash.night = [&controller] { return controller.NightNow(); };
  window.SetSource(std::move(source));
  window.Bind(controller, *this);
}

bool MainWindowBinding::RunSettingsDialog() {
  return runSettingsDialog_ && runSettingsDialog_(&window_);
}

void MainWindowBinding::OpenAbout() {
  AboutBox about(&window_);
  about.exec();
}

void MainWindowBinding::OpenJournal() {
  JournalWindow journal(&window_, JournalSourceOf(controller_.Journal(), OpenWithDesktop));
  journal.exec();
}

void MainWindowBinding::OpenFillUp() {
  FillUpWindow fillUp(&window_, controller_.FillUpTank(), controller_.FuelFactor(),
                      [this](const FillProposal& fill) { return controller_.RecordFill(fill); });
  fillUp.exec();
}

void MainWindowBinding::OpenEngineCodes() {
  EngineCodesWindow codes(&window_, controller_.EngineCodes());
  codes.exec();
}

void MainWindowBinding::ToggleDash() {
  window_.ToggleDash();
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
