#include "ui/main_window_template.h"

namespace drunvale {
namespace {

using K = ControlKind;

constexpr const char* kTotalsCaptions =
    " двигатель проработал\n автомобиль проехал, (км)\n испортил воздуха, (кг)\n"
    " выжрал топлива, (л)\n всего на сумму, (руб)";

constexpr const char* kRatesCaptions =
    " скорость полёта, (км/ч)\n расход воздуха, (кг/ч)\n расход топлива, (л/ч)\n"
    " потеря денег, (руб/ч)\n расход топлива, (л/100км)\n потеря денег, (руб/100км)";

constexpr ControlTemplate kControls[] = {
    {"totalsFrame", K::Frame, "", 4, 4, 225, 56},
    {"totalsHeader", K::Header, "за время диагностики", 6, 6, 96, 11},
    {"totalsAllHeader", K::Header, "везде", 102, 6, 42, 11},
    {"totalsInJamHeader", K::Header, "в пробках", 144, 6, 42, 11},
    {"totalsOutsideJamHeader", K::Header, "вне пробок", 186, 6, 42, 11},
    {"totalsCaptions", K::RowCaptions, kTotalsCaptions, 6, 17, 96, 42},
    {"1039", K::ValueColumn, "", 102, 17, 42, 42},
    {"1040", K::ValueColumn, "", 144, 17, 42, 42},
    {"1041", K::ValueColumn, "", 186, 17, 42, 42},
    {"ratesFrame", K::Frame, "", 4, 65, 309, 64},
    {"ratesHeader", K::Header, "средние показатели", 6, 67, 96, 11},
    {"ratesAllHeader", K::Header, "везде", 102, 67, 42, 11},
    {"ratesInJamHeader", K::Header, "в пробках", 144, 67, 42, 11},
    {"ratesOutsideJamHeader", K::Header, "вне пробок", 186, 67, 42, 11},
    {"ratesMaximumHeader", K::Header, "максимум", 228, 67, 42, 11},
    {"ratesCurrentHeader", K::Header, "текущие", 270, 67, 42, 11},
    {"ratesCaptions", K::RowCaptions, kRatesCaptions, 6, 78, 96, 50},
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
    {"1046", K::UnitCaption, "<-- Текущая скорость\n<-- расставания бака\n<--  с топливом, (л/ч)",
     234, 134, 81, 27},
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
