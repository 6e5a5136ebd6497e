// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/fill_up_dialog_template.h"

namespace drunvale {
namespace {

using C = FillUpControl;
using K = ControlKind;
using S = ControlStyle;

constexpr int Of(C control) {
  return static_cast<int>(control);
}

constexpr int kNone = kNoControlId;

constexpr ControlTemplate kControls[] = {
    {Of(C::CountedLabel), kNone, K::Text, "Насчитано с прошлой заправки:", {7, 9, 118, 8}},
    {Of(C::Counted), 1201, K::Text, "", {127, 9, 76, 8}},
    {Of(C::PumpedLabel), kNone, K::Text, "Залито по колонке:", {7, 26, 118, 8}},
    {Of(C::Pumped), 1202, K::Edit, "", {127, 24, 40, 12}},
    {Of(C::LitresLabel), kNone, K::Text, "л", {170, 26, 10, 8}},
    {Of(C::NotFull), 1203, K::CheckBox, "Бак залит не полностью", {7, 42, 120, 10}},
    {Of(C::FactorLabel), kNone, K::Text, "Коэффициент топлива:", {7, 58, 118, 8}},
    {Of(C::Factor), 1204, K::Text, "", {127, 58, 76, 8}},
    {Of(C::Message), 1205, K::Text, "", {7, 74, 196, 18}, S::NoPrefix},
    // No default button: Enter in the litres must not record before the driver has read on.
    {Of(C::Record), 1, K::PushButton, "Записать", {97, 99, 50, 14}},
    {Of(C::Cancel), 2, K::PushButton, "Отмена", {153, 99, 50, 14}},
};
static_assert(EnumeratedInOrder(kControls));
static_assert(IdsUnique(kControls));

constexpr DialogTemplateOf<FillUpControl> kFillUpDialog{{
    .resourceId = 203,
    .title = "Заправка",
    .font = {"MS Shell Dlg", 8},
    .width = 210,
    .height = 120,
    .frame = DialogFrame::Popup,
    .controls = kControls,
}};

}  // namespace

const DialogTemplateOf<FillUpControl>& FillUpDialogTemplate() {
  return kFillUpDialog;
}

}  // namespace drunvale
