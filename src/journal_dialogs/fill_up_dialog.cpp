// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal_dialogs/fill_up_dialog.h"

#include "journal/fuel_factor.h"
#include "trip/fixed_format.h"

namespace drunvale {
namespace {

std::string MessageOf(const FillProposal& fill, bool typed) {
  switch (fill.verdict) {
    case FillVerdict::NoLitres:
      return typed ? "Не похоже на литры: напишите, например, 42.5."
                   : "Сколько литров залито по колонке?";
    case FillVerdict::First:
      return "Первая заправка: с неё начнётся счёт бака.\nКоэффициент не изменится.";
    case FillVerdict::Full:
      return fill.limited ? "Коэффициент сменится после «Записать».\n"
                            "Шаг за одну заправку — не больше 10 %."
                          : "Коэффициент сменится после «Записать».";
    case FillVerdict::Partial:
      return fill.counted < kLeastCountedLitres
                 ? "Насчитано меньше 5 л: сверять не с чем.\nОтметьте, что бак не полон."
                 : "Разница со счётом больше 25 %: похоже,\nбак залит не полностью. Отметьте это.";
    case FillVerdict::NotFull:
      return fill.counting ? "Коэффициент не изменится; счёт бака\nидёт до полной заправки."
                           : "Бак не полон: счёт начнётся\nс первой полной заправки.";
  }
  return {};
}

}  // namespace

FillUpDialog::FillUpDialog(const TankState& tank, uint32_t factor) : tank_(tank), factor_(factor) {
  if (tank_.Started()) {
    AppendFixed(controls_.counted, tank_.litres, 2);
    controls_.counted += " л";
  } else {
    controls_.counted = "счёт ещё не начат";
  }
  // Any fill-up may leave the tank not full, the first of all too.
  controls_.notFullEnabled = true;
  Update();
}

void FillUpDialog::TextChanged(std::string pumped) {
  controls_.pumped = std::move(pumped);
  Update();
}

void FillUpDialog::Toggled(bool notFull) {
  if (!controls_.notFullEnabled) return;
  controls_.notFull = notFull;
  Update();
}

void FillUpDialog::Update() {
  proposal_ = ProposeFill(tank_, factor_, ParseLitres(controls_.pumped), controls_.notFull);
  controls_.factor = FormatFactor(proposal_.before);
  if (proposal_.verdict == FillVerdict::Full)
    controls_.factor += " → " + FormatFactor(proposal_.after);
  const bool typed = controls_.pumped.find_first_not_of(' ') != std::string::npos;
  controls_.message = MessageOf(proposal_, typed);
  controls_.recordEnabled = proposal_.Recordable();
}

}  // namespace drunvale
