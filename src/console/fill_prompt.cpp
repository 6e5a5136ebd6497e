// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/fill_prompt.h"

#include "journal/fuel_factor.h"

namespace drunvale {
namespace {

constexpr char kEscape = 0x1B;
constexpr const char* kAskLitres = "Сколько залито по колонке, л? (Enter — дальше, Esc — отмена) ";
constexpr const char* kAskRecord = "Записать? (y — да, n — нет)";
constexpr const char* kAskNotFull = "Записать как неполную? (y — да, n — нет)";

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n') c = ' ';
  return text;
}

}  // namespace

void FillPrompt::Begin() {
  dialog_.emplace(io_.tank(), io_.factor());
  litres_.clear();
  confirming_ = false;
  io_.printLine(io_.tank().Started()
                    ? "-- заправка: насчитано с прошлой заправки " + dialog_->Controls().counted
                    : "-- заправка: счёт бака ещё не начат");
  io_.echo(kAskLitres);
}

void FillPrompt::Key(char key) {
  if (!dialog_) return;
  if (confirming_) {
    Confirm(key);
  } else if (key == kEscape) {
    io_.echo("\n");
    End("-- заправка не записана");
  } else if (key == '\n' || key == '\r') {
    io_.echo("\n");
    TakeLitres();
  } else if ((key == 0x7F || key == '\b') && !litres_.empty()) {
    litres_.pop_back();
    io_.echo("\b \b");
  } else if ((key >= '0' && key <= '9') || key == '.' || key == ',') {
    litres_ += key;
    io_.echo(std::string(1, key));
  }
}

void FillPrompt::TakeLitres() {
  dialog_->TextChanged(litres_);
  const FillProposal& fill = dialog_->Proposal();
  if (fill.verdict == FillVerdict::NoLitres) {
    io_.printLine("-- " + OneLine(dialog_->Controls().message));
    litres_.clear();
    io_.echo(kAskLitres);
    return;
  }
  confirming_ = true;
  if (fill.verdict == FillVerdict::Partial) {
    io_.printLine(fill.counted < kLeastCountedLitres
                      ? "-- насчитано меньше 5 л: сверять не с чем."
                      : "-- разница со счётом больше 25 %: похоже, бак залит не полностью.");
    io_.printLine(kAskNotFull);
    return;
  }
  io_.printLine("-- коэффициент топлива: " + dialog_->Controls().factor + ". " +
                OneLine(dialog_->Controls().message));
  io_.printLine(kAskRecord);
}

void FillPrompt::Confirm(char key) {
  if (key == 'n' || key == kEscape) {
    End("-- заправка не записана");
    return;
  }
  if (key != 'y') return;
  if (dialog_->Proposal().verdict == FillVerdict::Partial) dialog_->Toggled(true);
  const FillProposal fill = dialog_->Proposal();
  const std::string problem = io_.record(fill);
  End(problem.empty() ? "-- заправка записана, коэффициент топлива " + FormatFactor(fill.after)
                      : "-- " + OneLine(problem));
}

void FillPrompt::End(const std::string& line) {
  io_.printLine(line);
  dialog_.reset();
  confirming_ = false;
}

}  // namespace drunvale
