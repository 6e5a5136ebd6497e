// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <cstdio>
#include <memory>

#include "app/app_core.h"
#include "app/main_controller.h"
#include "app/run_port.h"
#include "platform/data_folder.h"
#include "platform/exit_codes.h"
#include "platform/termination.h"
#include "platform/user_store.h"
#include "program/window_entry.h"
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

  const RunPort port = PortForThisRun(options);

  QApplication::setApplicationName(QStringLiteral("Drunvale"));
  QApplication::setApplicationVersion(QStringLiteral(DRUNVALE_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("drunvale"));
  QApplication::setWindowIcon(AppIcon());

  auto store = MakeSystemUserStore();
  AppPlatform platform;
  platform.opener = port.opener;
  const auto dataFolder = OpenUserDataFolder();
  platform.dataFolder = dataFolder.get();
  platform.keepsRecords = !options.demo;
  AppCore app(platform);
  MainWindow window;
  MainController controller(app, *store, window);
  window.SetActions(ControllerActions(controller, [&app, &store](QWidget* parent) {
    return RunSettingsDialog(parent, app.settings, *store) == kSettingsSaved;
  }));
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

  ShowMainWindow(window, controller, app, options, port.name);
  return ExitCodeAfterWindow(window.exec());
}

}  // namespace drunvale
