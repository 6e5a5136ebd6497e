// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/engine_codes_dialog.h"

#include "app/codes_command.h"
#include "app/codes_texts.h"

namespace drunvale {

EngineCodesDialog::EngineCodesDialog(EngineCodesSource source) : source_(std::move(source)) {
  // A report for a window closed earlier is no answer to this one.
  if (source_.take) (void)source_.take();
  Read();
}

EngineCodesDialog::~EngineCodesDialog() {
  if (waitingFor_ != CodesMailbox::Ask::None && source_.ask) source_.ask(CodesMailbox::Ask::None);
}

void EngineCodesDialog::Read() {
  Ask(CodesMailbox::Ask::Read);
}

void EngineCodesDialog::Clear() {
  Ask(CodesMailbox::Ask::Clear);
}

void EngineCodesDialog::Ask(CodesMailbox::Ask ask) {
  if (!source_.linkRunning || !source_.linkRunning()) {
    // Nothing would serve it while this window is open over the main window.
    texts_.status = "Связь с блоком не запущена:\nнажмите «Старт» и откройте это окно снова.";
    waitingFor_ = CodesMailbox::Ask::None;
    texts_.readEnabled = true;
    texts_.clearEnabled = false;
    return;
  }
  if (source_.ask) source_.ask(ask);
  waitingFor_ = ask;
  waitedTicks_ = 0;
  texts_.status = ask == CodesMailbox::Ask::Clear ? "Стираем коды неисправностей…"
                                                  : "Читаем коды неисправностей…";
  texts_.readEnabled = false;
  texts_.clearEnabled = false;
}

bool EngineCodesDialog::Tick() {
  if (waitingFor_ == CodesMailbox::Ask::None) return false;
  if (const std::optional<CodesReport> report = source_.take ? source_.take() : std::nullopt) {
    waitingFor_ = CodesMailbox::Ask::None;
    Show(*report);
    return true;
  }
  if (++waitedTicks_ != kTicksPerSecond * kCodesWait.count()) return false;
  // The request stays posted: the next session serves it if this one cannot.
  texts_.status = "Нет ответа от блока за " + std::to_string(kCodesWait.count()) +
                  " с;\nждём, пока связь восстановится.";
  texts_.readEnabled = true;
  return true;
}

void EngineCodesDialog::Show(const CodesReport& report) {
  texts_.readEnabled = true;
  texts_.clearEnabled = true;
  switch (report.outcome) {
    case CodesReport::Outcome::Read:
      texts_.lamp = LampText(report);
      texts_.rows.clear();
      for (const TroubleCode& code : report.codes) {
        texts_.rows.push_back({CodeName(code.code), std::string(CodeSystem(code.code)),
                               code.pending ? "ожидает подтверждения" : "сохранён"});
      }
      texts_.status = report.codes.empty()
                          ? "Кодов неисправностей нет."
                          : "Кодов неисправностей: " + std::to_string(report.codes.size()) + ".";
      return;
    case CodesReport::Outcome::Cleared:
      texts_.lamp.clear();
      texts_.rows.clear();
      break;
    case CodesReport::Outcome::NotOffered:
      texts_.clearEnabled = false;
      break;
    default:
      break;
  }
  texts_.status = CodesOutcomeText(report.outcome);
}

}  // namespace drunvale
