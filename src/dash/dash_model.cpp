// SPDX-License-Identifier: GPL-3.0-or-later
#include "dash/dash_model.h"

#include <cmath>

namespace drunvale {

DashChanges ChangesBetween(const DashShown& before, const DashShown& now) {
  DashChanges changes;
  // The night's colours follow the brightness; the day's do not.
  changes.palette =
      now.night != before.night || (now.night && now.look.brightness != before.look.brightness);
  changes.digits = now.frame.digits != before.frame.digits ||
                   now.frame.litresPerHour != before.frame.litresPerHour ||
                   now.dayDigits != before.dayDigits;
  changes.figures = !(now.frame.figures == before.frame.figures);
  changes.chart = now.revision != before.revision || !(now.chart.scale == before.chart.scale) ||
                  now.chart.seconds != before.chart.seconds ||
                  now.chart.litresPerHour != before.chart.litresPerHour ||
                  now.averageRow != before.averageRow || now.averageTenths != before.averageTenths;
  return changes;
}

// Until the view gives its size and faces, nothing has width.
DashModel::DashModel(DashSource source)
    : source_(std::move(source)), widthOf_([](DashFont, int, std::string_view) { return 0; }) {}

void DashModel::Resize(int width, int height, TextWidth widthOf) {
  widthOf_ = std::move(widthOf);
  layout_ = LayOutDash(width, height, widthOf_);
  drawn_ = false;
}

DashShown DashModel::ReadSource() const {
  DashShown now;
  now.frame = source_.frame ? source_.frame() : DashFrame{};
  now.dayDigits = source_.digitColour ? source_.digitColour()
                                      : IndicatorTextColour(now.frame.litresPerHour, false);
  now.look = source_.look ? source_.look() : DashLook{};
  now.night = source_.night ? source_.night() : false;
  now.chart.seconds = static_cast<size_t>(now.look.spanMinutes) * 60;
  now.chart.litresPerHour = now.frame.litresPerHour;
  now.chart.average = now.frame.average;
  if (source_.history != nullptr) {
    now.revision = source_.history->Revision();
    now.chart.scale = ScaleFor(*source_.history, now.chart.seconds, now.frame.litresPerHour,
                               now.frame.overLimit, now.frame.average);
  }
  if (now.frame.average) {
    now.averageRow = RowOf(layout_.plot, now.chart.scale, *now.frame.average);
    now.averageTenths = std::lround(*now.frame.average * 10);
  }
  return now;
}

DashChanges DashModel::Refresh() {
  const DashShown now = ReadSource();
  DashChanges changes = ChangesBetween(shown_, now);
  if (!drawn_) changes = {true, true, true, true};
  shown_ = now;
  drawn_ = true;
  return changes;
}

DashColours DashModel::Colours() const {
  return shown_.night ? NightColours(shown_.dayDigits, shown_.look.brightness)
                      : DayColours(shown_.dayDigits);
}

std::vector<PlacedText> DashModel::Digits() const {
  return PlaceDigits(layout_, shown_.frame, Colours(), widthOf_);
}

std::vector<PlacedText> DashModel::Figures() const {
  return PlaceFigures(layout_, shown_.frame.figures, Colours(), widthOf_);
}

ChartBackdrop DashModel::Backdrop() const {
  return PlanBackdrop(layout_, shown_.chart, Colours(), widthOf_);
}

ChartData DashModel::Data() const {
  if (source_.history == nullptr) return {};
  return PlanData(layout_, *source_.history, shown_.chart, Colours(), widthOf_);
}

bool DashModel::Apply(const DashChoice& choice) {
  if (!choice.close && source_.setLook) source_.setLook(choice.look);
  return choice.close;
}

bool DashModel::Do(DashCommand command) {
  return Apply(Command(command, shown_.look, shown_.night));
}

bool DashModel::ChooseFromMenu(int id) {
  return Apply(drunvale::ChooseFromMenu(id, shown_.look));
}

}  // namespace drunvale
