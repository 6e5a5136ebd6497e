// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/codes_command.h"

#include <condition_variable>
#include <mutex>
#include <optional>

#include "app/run_port.h"
#include "link/kwp_link.h"
#include "platform/exit_codes.h"
#include "platform/user_store.h"

namespace drunvale {

std::string CodesText(const CodesReport& report) {
  std::string text;
  if (report.lampOn) {
    text += *report.lampOn ? "Лампа неисправности горит" : "Лампа неисправности не горит";
    if (report.lampCount && *report.lampCount > 0) {
      text += " (кодов: " + std::to_string(*report.lampCount) + ")";
    }
    text += ".\n";
  }
  if (report.codes.empty()) return text + "Кодов неисправностей нет.\n";
  for (const TroubleCode& code : report.codes) {
    text += CodeName(code.code) + "  " + std::string(CodeSystem(code.code));
    if (code.pending) text += "  (ожидающий подтверждения)";
    text += "\n";
  }
  return text;
}

namespace {

// What a report that holds no codes means, for either kind of output.
std::string OutcomeText(CodesReport::Outcome outcome) {
  switch (outcome) {
    case CodesReport::Outcome::Read:
      return "";
    case CodesReport::Outcome::Cleared:
      return "Коды неисправностей стёрты.";
    case CodesReport::Outcome::NotOffered:
      return "Блок не выдаёт коды неисправностей.";
    case CodesReport::Outcome::NotConfirmed:
      return "Блок не подтвердил стирание кодов.";
    case CodesReport::Outcome::Unreadable:
      break;
  }
  return "Ответ блока о кодах неисправностей не разобрать.";
}

}  // namespace

std::vector<std::string> CodesReportLines(const CodesReport& report) {
  if (report.outcome != CodesReport::Outcome::Read) return {"-- " + OutcomeText(report.outcome)};
  std::vector<std::string> lines{"-- коды неисправностей:"};
  const std::string text = CodesText(report);
  for (size_t at = 0; at < text.size();) {
    const size_t end = text.find('\n', at);
    lines.push_back(text.substr(at, end - at));
    at = end == std::string::npos ? text.size() : end + 1;
  }
  return lines;
}

CodesOutcome RunCodesRequest(const Settings& settings, CodesMailbox::Ask ask,
                             SerialPortOpener opener, std::chrono::seconds wait, TickClock& clock) {
  std::mutex mutex;
  std::condition_variable reported;
  std::optional<CodesReport> report;
  std::string status, cause;
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
        if (!text.empty()) status = std::move(text);
      },
      [&](std::string text) {
        std::lock_guard lock(mutex);
        cause = std::move(text);
      });
  {
    std::unique_lock lock(mutex);
    reported.wait_for(lock, wait, [&] { return report.has_value(); });
  }
  link.Stop();

  std::lock_guard lock(mutex);
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
      return {kExitOk, OutcomeText(report->outcome) + "\n"};
    default:
      return {kExitNotOffered, "drunvale: " + OutcomeText(report->outcome) + "\n"};
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
