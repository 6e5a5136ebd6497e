// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/codes_command.h"

#include <condition_variable>
#include <mutex>
#include <optional>

#include "app/run_port.h"
#include "link/connection_worker.h"
#include "link/kwp_link.h"
#include "platform/exit_codes.h"
#include "platform/user_store.h"

namespace drunvale {

CodesOutcome RunCodesRequest(const Settings& settings, CodesMailbox::Ask ask,
                             SerialPortOpener opener, std::chrono::seconds wait, TickClock& clock) {
  std::mutex mutex;
  std::condition_variable reported;
  std::optional<CodesReport> report;
  std::string status, cause;
  // A command on the terminal says at once that the port is not there, where the program
  // would wait for the adapter to come.
  bool openFailing = false, openFailed = false;
  SharedSettings shared(settings);
  KwpLink link(shared, nullptr, nullptr, clock, std::move(opener));
  link.SetCodesOut([&](const CodesReport& r) {
    std::lock_guard lock(mutex);
    report = r;
    reported.notify_all();
  });
  link.AskCodes(ask);
  link.Start(
      [&](std::string text) {
        std::lock_guard lock(mutex);
        if (openFailed) return;  // what stopping the link says after is beside the point
        // Its cause comes next.
        openFailing = text.starts_with(kCannotOpenStatus);
        if (!text.empty()) status = std::move(text);
      },
      [&](std::string text) {
        std::lock_guard lock(mutex);
        if (openFailed) return;
        cause = std::move(text);
        if (openFailing) {
          openFailed = true;
          reported.notify_all();
        }
      });
  {
    std::unique_lock lock(mutex);
    reported.wait_for(lock, wait, [&] { return report.has_value() || openFailed; });
  }
  link.Stop();

  std::lock_guard lock(mutex);
  if (openFailed && !report) {
    return {kExitNotReached, "drunvale: " + status + (cause.empty() ? "" : " " + cause) + "\n"};
  }
  if (!report) {
    std::string text = "drunvale: нет ответа от блока за " + std::to_string(wait.count()) + " с";
    if (!status.empty()) text += ": " + status;
    if (!cause.empty()) text += " " + cause;
    return {kExitNotReached, text + "\n"};
  }
  switch (report->outcome) {
    case CodesReport::Outcome::Read:
      return {kExitOk, CodesText(*report)};
    case CodesReport::Outcome::Cleared:
      return {kExitOk, CodesOutcomeText(report->outcome) + "\n"};
    default:
      return {kExitNotOffered, "drunvale: " + CodesOutcomeText(report->outcome) + "\n"};
  }
}

CodesOutcome RunCodesCommand(const CommandLine& options, const std::function<bool()>& confirm) {
  const bool clear = options.clearCodes;
  if (clear && !options.yes && !(confirm && confirm())) {
    return {kExitOk, "Коды не стёрты.\n"};
  }
  Settings settings;
  const std::unique_ptr<UserStore> store = MakeSystemUserStore();
  // Unreadable settings leave the defaults: the port may still come from --port.
  (void)settings.Load(*store);
  const RunPort port = PortForThisRun(options);
  if (!port.name.empty()) settings.Port = port.name;
  if (options.adapter) settings.Adapter = *options.adapter;
  return RunCodesRequest(settings, clear ? CodesMailbox::Ask::Clear : CodesMailbox::Ask::Read,
                         port.opener, kCodesWait);
}

}  // namespace drunvale
