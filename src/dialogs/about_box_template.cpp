// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/about_box_template.h"

#include "program_version.h"

namespace drunvale {
namespace {

using C = AboutControl;
using K = ControlKind;
using S = ControlStyle;

constexpr int Of(C control) {
  return static_cast<int>(control);
}

constexpr ControlTemplate kControls[] = {
    {Of(C::Icon), kNoControlId, K::Icon, "", {14, 6, 20, 20}},
    {Of(C::Version),
     kNoControlId,
     K::Text,
     "Drunvale - версия " DRUNVALE_VERSION,
     {39, 8, 126, 24},
     S::Centred},
    {Of(C::Ok), 2, K::PushButton, "OK", {174, 10, 36, 14}, S::DefaultButton},
    {Of(C::Disclaimer),
     1044,
     K::Edit,
     "",
     {6, 36, 210, 78},
     S::MultiLine | S::ReadOnly | S::Border | S::VerticalScroll},
};
static_assert(EnumeratedInOrder(kControls));
static_assert(IdsUnique(kControls));

constexpr DialogTemplateOf<AboutControl> kAboutBox{{
    .resourceId = 100,
    .title = "О Drunvale",
    .font = {"MS Sans Serif", 8},
    .width = 220,
    .height = 119,
    .frame = DialogFrame::Popup,
    .controls = kControls,
}};

}  // namespace

const std::string_view kAboutDisclaimer =
    "Используя данный программный продукт, пользователь автоматически соглашается со "
    "следующими условиями:\n"
    "\n"
    "1. Продукт предоставляется «как есть», без каких-либо гарантий, включая, но не "
    "ограничиваясь ими, гарантии работоспособности, пригодности к коммерческому "
    "использованию или пригодности для определённой цели.\n"
    "\n"
    "2. Автор программы не несёт никакой ответственности за любой ущерб, причинённый "
    "использованием данного программного продукта.";

const DialogTemplateOf<AboutControl>& AboutBoxTemplate() {
  return kAboutBox;
}

}  // namespace drunvale
