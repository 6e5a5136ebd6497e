// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <cstdio>
#include <memory>

#include "app/main_controller.h"
#include "app/program_run.h"
#include "platform/exit_codes.h"
#include "platform/termination.h"
#include "program/window_entry.h"
#include "program_version.h"
#include "qt/app_icon.h"
#include "qt/application_start.h"
#include "qt/main_window.h"
#include "qt/main_window_binding.h"
#include "qt/run_settings_dialog.h"
#include "qt/single_instance.h"

namespace drunvale {

int RunMainWindow(int argc, char** argv, const CommandLine& options) {
  // Without a display this ends the program with one line saying so.
  auto application = StartApplicationOrExit(argc, argv);

  // Before the settings and the port: a second copy only wakes the first.
  SingleInstance instance;
  if (instance.Claim() == SingleInstance::Role::Second) return 0;

  QApplication::setApplicationName(QStringLiteral("Drunvale"));
  QApplication::setApplicationVersion(QStringLiteral(DRUNVALE_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("drunvale"));
  QApplication::setWindowIcon(AppIcon());

  ProgramRun run(options);
  MainWindow window;
  MainController controller(run.App(), run.Store(), window);
  const MainWindowBinding binding(window, controller, [&run](QWidget* parent) {
    return RunSettingsDialog(parent, run.App().settings, run.Store()) == kSettingsSaved;
  });
  if (!instance.Serve([&window] { BringToFront(&window); })) {
    std::fprintf(stderr, "drunvale: later copies cannot reach this one: %s\n",
                 instance.LastError().c_str());
  }

  // Ctrl+C in the terminal, or SIGTERM from a service manager, closes the window as its close
  // box does, so the link still ends its session.
  const auto termination = WatchTermination([&window] {
    QMetaObject::invokeMethod(
        &window, [&window] { CloseOnRequest(window); }, Qt::QueuedConnection);
  });

  controller.BeginRun(run.Start());
  window.show();
  return ExitCodeAfterWindow(window.exec());
}

}  // namespace drunvale
