#include "ui/main_window_template.h"

#include "trip/panel_captions.h"

namespace drunvale {
namespace {

using K = ControlKind;

constexpr ControlTemplate kControls[] = {
    {"totalsFrame", K::Frame, "", 4, 4, 225, 56},
    {"totalsHeader", K::Header, kTotalsTitle.data(), 6, 6, 96, 11},
    {"totalsAllHeader", K::Header, kColumnEverywhere.data(), 102, 6, 42, 11},
    {"totalsInJamHeader", K::Header, kColumnInJam.data(), 144, 6, 42, 11},
    {"totalsOutsideJamHeader", K::Header, kColumnOutsideJam.data(), 186, 6, 42, 11},
    {"totalsCaptions", K::RowCaptions, kTotalsRowCaptions.data(), 6, 17, 96, 42},
    {"1039", K::ValueColumn, "", 102, 17, 42, 42},
    {"1040", K::ValueColumn, "", 144, 17, 42, 42},
    {"1041", K::ValueColumn, "", 186, 17, 42, 42},
    {"ratesFrame", K::Frame, "", 4, 65, 309, 64},
    {"ratesHeader", K::Header, kRatesTitle.data(), 6, 67, 96, 11},
    {"ratesAllHeader", K::Header, kColumnEverywhere.data(), 102, 67, 42, 11},
    {"ratesInJamHeader", K::Header, kColumnInJam.data(), 144, 67, 42, 11},
    {"ratesOutsideJamHeader", K::Header, kColumnOutsideJam.data(), 186, 67, 42, 11},
    {"ratesMaximumHeader", K::Header, kColumnMaximum.data(), 228, 67, 42, 11},
    {"ratesCurrentHeader", K::Header, kColumnCurrent.data(), 270, 67, 42, 11},
    {"ratesCaptions", K::RowCaptions, kRatesRowCaptions.data(), 6, 78, 96, 50},
    {"1035", K::ValueColumn, "", 102, 78, 42, 50},
    {"1036", K::ValueColumn, "", 144, 78, 42, 50},
    {"1037", K::ValueColumn, "", 186, 78, 42, 50},
    {"1038", K::ValueColumn, "", 228, 78, 42, 50},
    {"1042", K::ValueColumn, "", 270, 78, 42, 50},
    {"1004", K::PushButton, "Старт", 248, 6, 54, 16},
    {"1005", K::PushButton, "Стоп", 248, 24, 54, 16},
    {"1000", K::PushButton, "Обнулить", 248, 42, 54, 16},
    {"1009", K::VolumeSlider, "", 17, 132, 18, 66},
    {"1008", K::CheckBox, "Пикать", 5, 199, 38, 10},
    {"1034", K::Indicator, "", 48, 135, 185, 74},
    {"1046", K::UnitCaption, kIndicatorCaptionLitresPerHour.data(), 234, 134, 81, 27},
    {"1045", K::PushButton, "л/ч или л/100", 248, 161, 54, 16},
    {"1006", K::PushButton, "Настройка", 248, 177, 54, 16},
    {"1007", K::PushButton, "О Проге", 248, 193, 54, 16},
    {"1033", K::StatusLine, "", 5, 219, 204, 8},
    {"1032", K::SummaryLine, "", 212, 219, 100, 8},
    {"statusSeparator", K::Separator, "", 2, 216, 315, 1},
};

}  // namespace

std::span<const ControlTemplate> MainWindowTemplate() {
  return kControls;
}

}  // namespace drunvale
