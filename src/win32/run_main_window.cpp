// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <memory>

#include "app/main_controller.h"
#include "app/program_run.h"
#include "platform/exit_codes.h"
#include "platform/instance_lock.h"
#include "platform/termination.h"
#include "program/window_entry.h"
#include "win32/main_window.h"
#include "win32/settings_window.h"
#include "win32/single_instance.h"

namespace drunvale {
namespace {

// Started from Explorer or the Start menu, the program has a console of its own that no one
// reads: it goes. Started from a console, the program shares it and leaves it be.
void DropOwnConsole() {
  DWORD processes[2];
  if (GetConsoleProcessList(processes, 2) == 1) FreeConsole();
}

// COM for the thread (DirectSound, the file chooser), for as long as the window runs.
class ComApartment {
 public:
  ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComApartment() {
    if (initialised_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool initialised_;
};

}  // namespace

int RunMainWindow(int, char**, const CommandLine& options) {
  // Before the settings and the port: a second copy only brings the first forward.
  auto lock = MakeUserInstanceLock();
  std::string error;
  const InstanceLock::Result claim = lock->TryAcquire(error);
  if (claim == InstanceLock::Result::HeldByAnother) {
    win32::BringRunningCopyForward(std::chrono::seconds(5));
    return kExitOk;
  }
  if (claim == InstanceLock::Result::Failed) {
    std::fprintf(stderr, "drunvale: cannot tell whether another copy runs: %s\n", error.c_str());
  }

  const ComApartment com;
  INITCOMMONCONTROLSEX controls{
      sizeof controls, ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);

  ProgramRun run(options);
  win32::MainWindow window;
  MainController controller(run.App(), run.Store(), window);
  window.Bind(controller, [&run](HWND owner) {
    return win32::RunSettingsDialog(owner, run.App().settings, run.Store()) == kSettingsSaved;
  });

  // Ctrl+C in the console, or the console closed, ends the window as its close box does, so
  // the link still ends its session.
  const auto termination = WatchTermination([&window] { window.RequestClose(); });

  const int result = window.Run(
      [&] {
        DropOwnConsole();
        controller.BeginRun(run.Start());
      },
      error);
  if (result < 0) {
    std::fprintf(stderr, "drunvale: cannot open the window (%s); run it with --console\n",
                 error.c_str());
    return kExitNoDisplay;
  }
  return ExitCodeAfterWindow(result);
}

}  // namespace drunvale
