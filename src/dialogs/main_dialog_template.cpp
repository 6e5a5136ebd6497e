// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/main_dialog_template.h"

#include "program_version.h"

#include "trip/panel_captions.h"

namespace drunvale {
namespace {

using C = MainControl;
using K = ControlKind;
using S = ControlStyle;

constexpr int Of(C control) {
  return static_cast<int>(control);
}

constexpr S kHeader = S::Centred | S::Sunken;
constexpr S kCaptions = S::Sunken;
constexpr S kValues = S::RightAligned | S::Sunken;
constexpr S kSlider = S::Vertical | S::BothSides | S::NoTicks;
constexpr S kIndicator =
    S::NoWordWrap | S::NoPrefix | S::RightAligned | S::DialogFrame | S::ClientEdge;
constexpr int kNone = kNoControlId;

constexpr ControlTemplate kControls[] = {
    {Of(C::TotalsFrame), kNone, K::Frame, "", {4, 4, 225, 56}, S::DialogFrame},
    {Of(C::TotalsTitle), kNone, K::Text, kTotalsTitle, {6, 6, 96, 11}, kHeader},
    {Of(C::TotalsEverywhereHeader), kNone, K::Text, kColumnEverywhere, {102, 6, 42, 11}, kHeader},
    {Of(C::TotalsInJamHeader), kNone, K::Text, kColumnInJam, {144, 6, 42, 11}, kHeader},
    {Of(C::TotalsOutsideJamHeader), kNone, K::Text, kColumnOutsideJam, {186, 6, 42, 11}, kHeader},
    {Of(C::TotalsCaptions), kNone, K::Text, kTotalsRowCaptions, {6, 17, 96, 42}, kCaptions},
    {Of(C::TotalsAll), 1039, K::Text, "", {102, 17, 42, 42}, kValues},
    {Of(C::TotalsInJam), 1040, K::Text, "", {144, 17, 42, 42}, kValues},
    {Of(C::TotalsOutsideJam), 1041, K::Text, "", {186, 17, 42, 42}, kValues},
    {Of(C::RatesFrame), kNone, K::Frame, "", {4, 65, 309, 64}, S::DialogFrame},
    {Of(C::RatesTitle), kNone, K::Text, kRatesTitle, {6, 67, 96, 11}, kHeader},
    {Of(C::RatesEverywhereHeader), kNone, K::Text, kColumnEverywhere, {102, 67, 42, 11}, kHeader},
    {Of(C::RatesInJamHeader), kNone, K::Text, kColumnInJam, {144, 67, 42, 11}, kHeader},
    {Of(C::RatesOutsideJamHeader), kNone, K::Text, kColumnOutsideJam, {186, 67, 42, 11}, kHeader},
    {Of(C::RatesMaximumHeader), kNone, K::Text, kColumnMaximum, {228, 67, 42, 11}, kHeader},
    {Of(C::RatesCurrentHeader), kNone, K::Text, kColumnCurrent, {270, 67, 42, 11}, kHeader},
    {Of(C::RatesCaptions), kNone, K::Text, kRatesRowCaptions, {6, 78, 96, 50}, kCaptions},
    {Of(C::RatesAll), 1035, K::Text, "", {102, 78, 42, 50}, kValues},
    {Of(C::RatesInJam), 1036, K::Text, "", {144, 78, 42, 50}, kValues},
    {Of(C::RatesOutsideJam), 1037, K::Text, "", {186, 78, 42, 50}, kValues},
    {Of(C::RatesMaximum), 1038, K::Text, "", {228, 78, 42, 50}, kValues},
    {Of(C::RatesCurrent), 1042, K::Text, "", {270, 78, 42, 50}, kValues},
    {Of(C::Start), 1004, K::PushButton, "Старт", {248, 6, 54, 16}},
    {Of(C::Stop), 1005, K::PushButton, "Стоп", {248, 24, 54, 16}},
    {Of(C::Reset), 1000, K::PushButton, "Обнулить", {248, 42, 54, 16}},
    {Of(C::Volume), 1009, K::Trackbar, "", {17, 132, 18, 66}, kSlider},
    {Of(C::Beep), 1008, K::CheckBox, "Пикать", {5, 199, 38, 10}},
    {Of(C::Indicator), 1034, K::Custom, "", {48, 135, 185, 74}, kIndicator},
    {Of(C::UnitCaption), 1046, K::Text, kIndicatorCaptionLitresPerHour, {234, 134, 81, 27}},
    {Of(C::Units), 1045, K::PushButton, "л/ч или л/100", {248, 161, 54, 16}},
    {Of(C::Settings), 1006, K::PushButton, "Настройка", {248, 177, 54, 16}},
    {Of(C::About), 1007, K::PushButton, "О Проге", {248, 193, 54, 16}},
    {Of(C::Status), 1033, K::Text, "", {5, 219, 204, 8}},
    {Of(C::Summary), 1032, K::Text, "", {212, 219, 100, 8}, S::RightAligned},
    {Of(C::StatusSeparator), kNone, K::EtchedLine, "", {2, 216, 315, 1}},
};
static_assert(EnumeratedInOrder(kControls));
static_assert(IdsUnique(kControls));

constexpr DialogTemplateOf<MainControl> kMainDialog{{
    .resourceId = 129,
    .title = DRUNVALE_TITLE,
    .font = {"MS Sans Serif", 8},
    .width = 319,
    .height = 231,
    .frame = DialogFrame::MainWindow,
    .controls = kControls,
}};

}  // namespace

const DialogTemplateOf<MainControl>& MainDialogTemplate() {
  return kMainDialog;
}

MainControl ControlOf(PanelColumn column) {
  switch (column) {
    case PanelColumn::TotalsAll:
      return C::TotalsAll;
    case PanelColumn::TotalsInJam:
      return C::TotalsInJam;
    case PanelColumn::TotalsOutsideJam:
      return C::TotalsOutsideJam;
    case PanelColumn::RatesAll:
      return C::RatesAll;
    case PanelColumn::RatesInJam:
      return C::RatesInJam;
    case PanelColumn::RatesOutsideJam:
      return C::RatesOutsideJam;
    case PanelColumn::RatesMaximum:
      return C::RatesMaximum;
    case PanelColumn::RatesCurrent:
      return C::RatesCurrent;
  }
  return C::RatesCurrent;
}

}  // namespace drunvale
