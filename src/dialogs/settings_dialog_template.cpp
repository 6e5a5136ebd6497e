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
    // Wide enough for a network address, which may be typed.
    {Of(C::PortList), 1010, K::ComboBox, "", {49, 7, 130, 125}},
    {Of(C::BaudLabel), kNone, K::Text, "и пытать", {183, 9, 32, 8}},
    {Of(C::BaudList), 1026, K::DropDownList, "", {217, 7, 41, 55}},
    {Of(C::BpsLabel), kNone, K::Text, "bps", {261, 9, 12, 8}},
    {Of(C::AdapterLabel), kNone, K::Text, "Адаптер", {7, 25, 40, 8}},
    {Of(C::AdapterList), 1048, K::DropDownList, "", {49, 23, 80, 60}},
    {Of(C::Rts), 1027, K::CheckBox, "_/\\_ RTS", {194, 24, 44, 10}},
    {Of(C::Dtr), 1025, K::CheckBox, "DTR вкл.", {243, 24, 46, 10}},
    {Of(C::SourceLabel), kNone, K::Text, "Данные", {7, 41, 40, 8}},
    {Of(C::SourceList), 1049, K::DropDownList, "", {49, 39, 80, 60}},
    {Of(C::DisplacementLabel), kNone, K::Text, "Объём двигателя", {146, 41, 68, 8}},
    {Of(C::Displacement), 1050, K::Edit, "", {216, 39, 30, 12}, kNumber},
    {Of(C::CcLabel), kNone, K::Text, "см³", {249, 41, 16, 8}},
    {Of(C::AfrLabel), kNone, K::Text, "Воздух/топливо", {7, 57, 56, 8}},
    {Of(C::Afr), 1051, K::Edit, "", {64, 55, 30, 12}},
    {Of(C::AfrUnitLabel), kNone, K::Text, "кг/кг", {97, 57, 20, 8}},
    {Of(C::DensityLabel), kNone, K::Text, "Плотность топлива", {146, 57, 68, 8}},
    {Of(C::Density), 1052, K::Edit, "", {216, 55, 30, 12}, kNumber},
    {Of(C::DensityUnitLabel), kNone, K::Text, "г/л", {249, 57, 16, 8}},
    {Of(C::LinkSeparator), kNone, K::EtchedLine, "", {7, 72, 302, 1}},
    {Of(C::PriceLabel), kNone, K::Text, "Стоимость литра бензина:", {7, 78, 91, 8}},
    {Of(C::Price), 1001, K::Edit, "", {100, 76, 40, 12}},
    {Of(C::RoublesLabel), kNone, K::Text, "руб.", {143, 78, 16, 8}},
    {Of(C::JamMinutesLabel), kNone, K::Text, "Пробкой считать минимум", {7, 95, 94, 8}},
    {Of(C::JamMinutes), 1002, K::Edit, "", {100, 93, 29, 12}, kNumber},
    {Of(C::JamMinutesUpDown), 1028, K::UpDown, "", {120, 90, 11, 14}, kArrows},
    {Of(C::JamSpeedLabel), kNone, K::Text, "минут езды со скоростью менее", {131, 95, 114, 8}},
    {Of(C::JamSpeed), 1003, K::Edit, "", {244, 93, 31, 12}, kNumber},
    {Of(C::JamSpeedUpDown), 1029, K::UpDown, "", {265, 89, 11, 14}, kArrows},
    {Of(C::KilometresLabel), kNone, K::Text, "км/ч", {278, 95, 16, 8}},
    {Of(C::OverLimitLabel), kNone, K::Text, kOverLimitText, {7, 111, 164, 8}},
    {Of(C::OverLimitEdit), 1023, K::Edit, "", {175, 109, 33, 12}, kNumber},
    {Of(C::OverLimitUpDown), 1030, K::UpDown, "", {199, 105, 11, 14}, kArrows},
    {Of(C::LitresLabel), kNone, K::Text, "л/ч", {212, 111, 12, 8}},
    {Of(C::Tabs), 1011, K::Tabs, "", {7, 126, 302, 108}, S::None, kLevelTabTexts},
    {Of(C::LevelCaption), 1031, K::Text, "", {16, 150, 107, 18}},
    {Of(C::IntervalEdit), 1015, K::Edit, "", {124, 152, 51, 12}, kNumber},
    {Of(C::IntervalUpDown), 1016, K::UpDown, "", {157, 150, 11, 14}, kArrows},
    {Of(C::IntervalLabel), kNone, K::Text, "мсек (0 - непрерывно)", {179, 154, 76, 8}},
    {Of(C::SignalLabel), kNone, K::Text, "В качестве сигнала использовать:", {16, 173, 118, 8}},
    {Of(C::ToneRadio), 1012, K::RadioButton, "Тон-генератор, частотой", {14, 186, 102, 10}},
    {Of(C::ToneEdit), 1013, K::Edit, "", {115, 185, 49, 12}, kNumber},
    {Of(C::ToneUpDown), 1014, K::UpDown, "", {148, 183, 11, 14}, kArrows},
    {Of(C::HertzLabel), kNone, K::Text, "Гц", {168, 187, 9, 8}},
    {Of(C::WavRadio), 1017, K::RadioButton, "WAV-файл", {14, 201, 49, 10}},
    {Of(C::PathEdit), 1018, K::Edit, "", {65, 201, 216, 12}},
    {Of(C::Browse), 1021, K::PushButton, "...", {281, 200, 18, 14}},
    {Of(C::RateLabel), kNone, K::Text, "проигрывать на скорости", {24, 217, 88, 8}},
    {Of(C::RateEdit), 1019, K::Edit, "", {116, 216, 48, 12}, kNumber},
    // Its position is the rate in tens; the rate itself is typed into the edit.
    {Of(C::RateUpDown), 1020, K::UpDown, "", {148, 213, 11, 14}},
    {Of(C::SamplesLabel), kNone, K::Text, "сэмплов/сек", {167, 217, 58, 8}},
    {Of(C::Loop), 1022, K::CheckBox, "с автоповтором", {229, 217, 73, 10}},
    {Of(C::Test), 1024, K::CheckBox, "Тест\nзвука", {259, 151, 41, 33}, S::PushLike | S::MultiLine},
    {Of(C::Reset), 1047, K::PushButton, "Сбросить установки", {7, 241, 85, 14}},
    // No default button: Enter in a field must not save (the WAV path tries its file instead).
    {Of(C::Save), 1, K::PushButton, "Сохранить", {202, 241, 50, 14}},
    {Of(C::Cancel), 2, K::PushButton, "Отмена", {259, 241, 50, 14}},
};
static_assert(EnumeratedInOrder(kControls));
static_assert(IdsUnique(kControls));

constexpr DialogTemplateOf<SettingsControl> kSettingsDialog{{
    .resourceId = 201,
    .title = "Настройки Drunvale",
    .font = {"MS Shell Dlg", 8},
    .width = 316,
    .height = 262,
    .frame = DialogFrame::Popup,
    .controls = kControls,
}};

}  // namespace

const DialogTemplateOf<SettingsControl>& SettingsDialogTemplate() {
  return kSettingsDialog;
}

}  // namespace drunvale
