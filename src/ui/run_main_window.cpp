#include <QApplication>
#include <cstdio>
#include <memory>

#include "app/app_core.h"
#include "app/demo_peer.h"
#include "app/exit_codes.h"
#include "app/main_controller.h"
#include "app/window_entry.h"
#include "platform/file_user_store.h"
#include "ui/app_icon.h"
#include "ui/application_start.h"
#include "ui/main_window.h"
#include "ui/main_window_binding.h"
#include "ui/settings_dialog/run_settings_dialog.h"
#include "ui/single_instance.h"

namespace drunvale {

int RunMainWindow(int argc, char** argv, const CommandLine& options) {
  // Without a display this ends the program with one line saying so.
  auto application = StartApplicationOrExit(argc, argv);

  // Before the settings and the port: a second copy only wakes the first.
  std::string directoryError;
  std::string directory = UserInstanceDirectory(directoryError);
  SingleInstance instance(directory);
  if (directory.empty()) {
    std::fprintf(stderr, "drunvale: running without the one-copy check: %s\n",
                 directoryError.c_str());
  }
  if (instance.Claim() == SingleInstance::Role::Second) return 0;

  std::unique_ptr<DemoPeer> demo;
  std::string port;
  if (!PortForThisRun(options, demo, port)) return kExitCannotStart;

  QApplication::setApplicationName(QStringLiteral("Drunvale"));
  QApplication::setApplicationVersion(QStringLiteral(DRUNVALE_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("drunvale"));
  QApplication::setWindowIcon(AppIcon());

  auto store = MakeSystemUserStore();
  AppCore app;
  MainWindow window;
  MainController controller(app, *store, window);
  window.SetActions(ControllerActions(controller, [&app, &store](QWidget* parent) {
    return RunSettingsDialog(parent, app.settings, *store) == 1;
  }));
  if (!instance.Serve([&window] { BringToFront(&window); })) {
    std::fprintf(stderr, "drunvale: later copies cannot reach this one: %s\n",
                 instance.LastError().c_str());
  }

  ShowMainWindow(window, controller, app, options, port);
  return ExitCodeAfterWindow(window.exec());
}

}  // namespace drunvale
