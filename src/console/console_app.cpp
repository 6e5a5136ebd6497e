// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/console_app.h"

#include <cstdio>
#include <memory>

#include "app/codes_command.h"
#include "app/main_controller.h"
#include "app/program_run.h"
#include "console/console_loop.h"
#include "console/console_view.h"
#include "console/fill_prompt.h"
#include "console/journal_text.h"
#include "platform/exit_codes.h"

namespace drunvale {

// How many of the last trips `j` shows.
constexpr size_t kTripsShownByKey = 10;

int RunConsole(const CommandLine& options) {
  ProgramRun run(options);
  ConsoleLoop loop;
  ConsoleView view(loop, stdout);
  MainController controller(run.App(), run.Store(), view);
  view.onTimer = [&] {
    controller.OnRefreshTimer();
    if (const std::optional<CodesReport> report = controller.TakeEngineCodes()) {
      for (const std::string& line : CodesReportLines(*report))
        view.PrintLine(line);
    }
  };
  view.indicatorText = [&] { return controller.IndicatorText(); };
  view.sparkline = [&] { return controller.Sparkline(); };

  FillPrompt fillPrompt({[&](const std::string& line) { view.PrintLine(line); },
                         [&](const std::string& text) { view.Echo(text); },
                         [&] { return controller.FillUpTank(); },
                         [&] { return controller.FuelFactor(); },
                         [&](const FillProposal& fill) { return controller.RecordFill(fill); }});

  bool beep = options.beep;
  bool clearAsked = false;
  loop.OnKey([&](char key) {
    // After E only y clears; any other key lets it be.
    if (clearAsked) {
      clearAsked = false;
      if (key == 'y' || key == 'Y') {
        view.PrintLine("-- коды неисправностей: стираем...");
        controller.AskEngineCodes(true);
      } else {
        view.PrintLine("-- коды не стёрты");
      }
      return;
    }
    // A fill-up being typed takes every key until it is recorded or let be.
    if (fillPrompt.Active()) {
      fillPrompt.Key(key);
      view.HoldTables(fillPrompt.Active());
      return;
    }
    switch (key) {
      case 'r':
        view.PrintLine("-- обнулено");
        controller.Reset();
        break;
      case 'u':
        controller.ToggleUnits();
        view.PrintLine(controller.LitresPerHour() ? "-- единицы: л/ч" : "-- единицы: л/100 км");
        break;
      case 'b':
        beep = !beep;
        controller.SetBeep(beep);
        view.PrintLine(beep ? "-- пикать: да" : "-- пикать: нет");
        break;
      case 'j': {
        std::string problem;
        const JournalContents journal = controller.Journal().ReadJournal(problem);
        view.PrintLine("-- журнал: " +
                       (problem.empty() ? controller.Journal().TripsFile() : problem));
        for (const std::string& line : JournalLines(journal, kTripsShownByKey, false))
          view.PrintLine(line);
        break;
      }
      case 'f':
        view.HoldTables(true);
        fillPrompt.Begin();
        break;
      case 'e':
        view.PrintLine("-- коды неисправностей: читаем...");
        controller.AskEngineCodes(false);
        break;
      case 'E':
        view.PrintLine("-- " + ClearCodesQuestion());
        clearAsked = true;
        break;
      default:
        break;
    }
  });
  loop.OnTerminate([&] {
    // Stop rather than just close: the link sends its closing requests and the final totals
    // are printed once more, so a console run ends with the whole trip on screen.
    controller.Stop();
    controller.Close();
    loop.Closed();
    loop.Quit();
  });

  // The console always connects.
  RunStart start = run.Start();
  start.connect = true;
  controller.BeginRun(start);
  loop.Run();
  return kExitOk;
}

}  // namespace drunvale
