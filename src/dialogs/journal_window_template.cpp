// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/journal_window_template.h"

#include "journal/journal_summary.h"

namespace drunvale {
namespace {

using C = JournalControl;
using K = ControlKind;
using S = ControlStyle;

constexpr int Of(C control) {
  return static_cast<int>(control);
}

constexpr int kNone = kNoControlId;
constexpr S kHeader = S::Centred | S::Sunken;
constexpr S kValues = S::RightAligned | S::Sunken;

// The list's columns: start, engine time, km, litres, roubles, l/100 km, how it ended.
constexpr int kListWidths[] = {66, 36, 36, 32, 40, 38, 56};
static_assert(std::size(kListWidths) == kJournalColumns.size());

constexpr std::string_view kTotalsCaptions = " сегодня\n этот бак\n всего";

constexpr ControlTemplate kControls[] = {
    {Of(C::List), 1101, K::ListView, "", {7, 7, 316, 118}, S::Border, kJournalColumns, kListWidths},
    {Of(C::TotalsTitle), kNone, K::Text, "итого", {7, 131, 56, 11}, kHeader},
    {Of(C::TripsHeader), kNone, K::Text, kTotalsColumns[0], {63, 131, 36, 11}, kHeader},
    {Of(C::TimeHeader), kNone, K::Text, kTotalsColumns[1], {99, 131, 44, 11}, kHeader},
    {Of(C::KilometresHeader), kNone, K::Text, kTotalsColumns[2], {143, 131, 44, 11}, kHeader},
    {Of(C::LitresHeader), kNone, K::Text, kTotalsColumns[3], {187, 131, 40, 11}, kHeader},
    {Of(C::RoublesHeader), kNone, K::Text, kTotalsColumns[4], {227, 131, 48, 11}, kHeader},
    {Of(C::Per100Header), kNone, K::Text, kTotalsColumns[5], {275, 131, 48, 11}, kHeader},
    {Of(C::TotalsCaptions), kNone, K::Text, kTotalsCaptions, {7, 142, 56, 26}, S::Sunken},
    {Of(C::TotalTrips), 1102, K::Text, "", {63, 142, 36, 26}, kValues},
    {Of(C::TotalTime), 1103, K::Text, "", {99, 142, 44, 26}, kValues},
    {Of(C::TotalKilometres), 1104, K::Text, "", {143, 142, 44, 26}, kValues},
    {Of(C::TotalLitres), 1105, K::Text, "", {187, 142, 40, 26}, kValues},
    {Of(C::TotalRoubles), 1106, K::Text, "", {227, 142, 48, 26}, kValues},
    {Of(C::TotalPer100), 1107, K::Text, "", {275, 142, 48, 26}, kValues},
    {Of(C::Status), 1108, K::Text, "", {7, 173, 316, 8}, S::NoPrefix},
    {Of(C::KeepJournal), 1109, K::CheckBox, "Вести журнал", {7, 189, 66, 10}},
    {Of(C::OpenFolder), 1110, K::PushButton, "Открыть папку", {131, 187, 60, 14}},
    {Of(C::OpenFile), 1111, K::PushButton, "Открыть файл", {197, 187, 60, 14}},
    {Of(C::Close), 2, K::PushButton, "Закрыть", {263, 187, 60, 14}},
};
static_assert(EnumeratedInOrder(kControls));
static_assert(IdsUnique(kControls));

constexpr DialogTemplateOf<JournalControl> kJournalWindow{{
    .resourceId = 202,
    .title = "Журнал поездок",
    .font = {"MS Shell Dlg", 8},
    .width = 330,
    .height = 208,
    .frame = DialogFrame::Popup,
    .controls = kControls,
}};

}  // namespace

const DialogTemplateOf<JournalControl>& JournalWindowTemplate() {
  return kJournalWindow;
}

}  // namespace drunvale
