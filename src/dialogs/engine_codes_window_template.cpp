// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/engine_codes_window_template.h"

namespace drunvale {
namespace {

using C = EngineCodesControl;
using K = ControlKind;
using S = ControlStyle;

constexpr int Of(C control) {
  return static_cast<int>(control);
}

constexpr int kListWidths[] = {34, 158, 94};
static_assert(std::size(kListWidths) == std::size(kEngineCodesColumns));

constexpr ControlTemplate kControls[] = {
    {Of(C::Lamp), 1301, K::Text, "", {7, 7, 302, 8}, S::NoPrefix},
    {Of(C::List),
     1302,
     K::ListView,
     "",
     {7, 19, 302, 96},
     S::Border,
     kEngineCodesColumns,
     kListWidths},
    {Of(C::Status), 1303, K::Text, "", {7, 120, 302, 16}, S::NoPrefix},
    {Of(C::Read), 1304, K::PushButton, "Прочитать", {149, 141, 50, 14}},
    {Of(C::Clear), 1305, K::PushButton, "Стереть…", {204, 141, 50, 14}},
    {Of(C::Close), 2, K::PushButton, "Закрыть", {259, 141, 50, 14}},
};
static_assert(EnumeratedInOrder(kControls));
static_assert(IdsUnique(kControls));

constexpr DialogTemplateOf<EngineCodesControl> kEngineCodesWindow{{
    .resourceId = 204,
    .title = "Ошибки двигателя",
    .font = {"MS Shell Dlg", 8},
    .width = 316,
    .height = 162,
    .frame = DialogFrame::Popup,
    .controls = kControls,
}};

}  // namespace

const DialogTemplateOf<EngineCodesControl>& EngineCodesWindowTemplate() {
  return kEngineCodesWindow;
}

}  // namespace drunvale
