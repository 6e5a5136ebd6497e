// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/settings_dialog_template.h"

namespace drunvale {
namespace {

using C = SettingsControl;
using K = ControlKind;
using S = ControlStyle;

constexpr int Of(C control) {
  return static_cast<int>(control);
}

constexpr int kNone = kNoControlId;
constexpr S kNumber = S::Digits;
constexpr S kArrows = S::WritesBuddy;

// In level order: zero, minimum, maximum, excessive consumption.
constexpr std::string_view kLevelTabTexts[] = {"Нулевой", "Минимальный", "Максимальный",
                                               "Запредельный"};

constexpr std::string_view kOverLimitText = "\"Запредельным\" считать расход топлива более";

constexpr ControlTemplate kControls[] = {
    {Of(C::PortLabel), kNone, K::Text, "Смотреть в", {7, 9, 40, 8}},
    {Of(C::PortList), 1010, K::DropDownList, "", {49, 7, 41, 125}},
    {Of(C::BaudLabel), kNone, K::Text, "и пытать", {93, 9, 32, 8}},
    {Of(C::BaudList), 1026, K::DropDownList, "", {127, 7, 41, 55}},
    {Of(C::BpsLabel), kNone, K::Text, "bps", {171, 9, 12, 8}},
    {Of(C::Rts), 1027, K::CheckBox, "_/\\_ RTS", {194, 8, 44, 10}},
    {Of(C::Dtr), 1025, K::CheckBox, "DTR вкл.", {243, 8, 46, 10}},
    {Of(C::LinkSeparator), kNone, K::EtchedLine, "", {7, 24, 302, 1}},
    {Of(C::PriceLabel), kNone, K::Text, "Стоимость литра бензина:", {7, 30, 91, 8}},
    {Of(C::Price), 1001, K::Edit, "", {100, 28, 40, 12}},
    {Of(C::RoublesLabel), kNone, K::Text, "руб.", {143, 30, 16, 8}},
    {Of(C::JamMinutesLabel), kNone, K::Text, "Пробкой считать минимум", {7, 47, 94, 8}},
    {Of(C::JamMinutes), 1002, K::Edit, "", {100, 45, 29, 12}, kNumber},
    {Of(C::JamMinutesUpDown), 1028, K::UpDown, "", {120, 42, 11, 14}, kArrows},
    {Of(C::JamSpeedLabel), kNone, K::Text, "минут езды со скоростью менее", {131, 47, 114, 8}},
    {Of(C::JamSpeed), 1003, K::Edit, "", {244, 45, 31, 12}, kNumber},
    {Of(C::JamSpeedUpDown), 1029, K::UpDown, "", {265, 41, 11, 14}, kArrows},
    {Of(C::KilometresLabel), kNone, K::Text, "км/ч", {278, 47, 16, 8}},
    {Of(C::OverLimitLabel), kNone, K::Text, kOverLimitText, {7, 63, 164, 8}},
    {Of(C::OverLimitEdit), 1023, K::Edit, "", {175, 61, 33, 12}, kNumber},
    {Of(C::OverLimitUpDown), 1030, K::UpDown, "", {199, 57, 11, 14}, kArrows},
    {Of(C::LitresLabel), kNone, K::Text, "л/ч", {212, 63, 12, 8}},
    {Of(C::Tabs), 1011, K::Tabs, "", {7, 78, 302, 108}, S::None, kLevelTabTexts},
    {Of(C::LevelCaption), 1031, K::Text, "", {16, 102, 107, 18}},
    {Of(C::IntervalEdit), 1015, K::Edit, "", {124, 104, 51, 12}, kNumber},
    {Of(C::IntervalUpDown), 1016, K::UpDown, "", {157, 102, 11, 14}, kArrows},
    {Of(C::IntervalLabel), kNone, K::Text, "мсек (0 - непрерывно)", {179, 106, 76, 8}},
    {Of(C::SignalLabel), kNone, K::Text, "В качестве сигнала использовать:", {16, 125, 118, 8}},
    {Of(C::ToneRadio), 1012, K::RadioButton, "Тон-генератор, частотой", {14, 138, 102, 10}},
    {Of(C::ToneEdit), 1013, K::Edit, "", {115, 137, 49, 12}, kNumber},
    {Of(C::ToneUpDown), 1014, K::UpDown, "", {148, 135, 11, 14}, kArrows},
    {Of(C::HertzLabel), kNone, K::Text, "Гц", {168, 139, 9, 8}},
    {Of(C::WavRadio), 1017, K::RadioButton, "WAV-файл", {14, 153, 49, 10}},
    {Of(C::PathEdit), 1018, K::Edit, "", {65, 153, 216, 12}},
    {Of(C::Browse), 1021, K::PushButton, "...", {281, 152, 18, 14}},
    {Of(C::RateLabel), kNone, K::Text, "проигрывать на скорости", {24, 169, 88, 8}},
    {Of(C::RateEdit), 1019, K::Edit, "", {116, 168, 48, 12}, kNumber},
    // Its position is the rate in tens; the rate itself is typed into the edit.
    {Of(C::RateUpDown), 1020, K::UpDown, "", {148, 165, 11, 14}},
    {Of(C::SamplesLabel), kNone, K::Text, "сэмплов/сек", {167, 169, 58, 8}},
    {Of(C::Loop), 1022, K::CheckBox, "с автоповтором", {229, 169, 73, 10}},
    {Of(C::Test), 1024, K::CheckBox, "Тест\nзвука", {259, 103, 41, 33}, S::PushLike | S::MultiLine},
    {Of(C::Reset), 1047, K::PushButton, "Сбросить установки", {7, 193, 85, 14}},
    // No default button: Enter in a field must not save (the WAV path tries its file instead).
    {Of(C::Save), 1, K::PushButton, "Сохранить", {202, 193, 50, 14}},
    {Of(C::Cancel), 2, K::PushButton, "Отмена", {259, 193, 50, 14}},
};
static_assert(EnumeratedInOrder(kControls));
static_assert(IdsUnique(kControls));

constexpr DialogTemplateOf<SettingsControl> kSettingsDialog{{
    .resourceId = 201,
    .title = "Настройки Drunvale",
    .font = {"MS Shell Dlg", 8},
    .width = 316,
    .height = 214,
    .frame = DialogFrame::Popup,
    .controls = kControls,
}};

}  // namespace

const DialogTemplateOf<SettingsControl>& SettingsDialogTemplate() {
  return kSettingsDialog;
}

}  // namespace drunvale
