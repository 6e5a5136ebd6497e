#pragma once

namespace drunvale {

// Dialog 201 as its template lays it out, in dialog units and template order (which is also
// the order of the focus chain).
enum class TemplateKind {
  Label,
  DropDown,
  CheckBox,
  EtchedLine,
  Edit,        // free text
  NumberEdit,  // digits only
  UpDown,      // at the right edge of the control before it, its buddy
  Tabs,
  Radio,
  PushButton,
  PushLikeCheckBox,
};

struct TemplateControl {
  int id;  // 0: no identifier
  TemplateKind kind;
  const char* caption;
  int x, y, width, height;
};

inline constexpr const char* kSettingsCaption = "Настройки Drunvale";
inline constexpr int kSettingsWidth = 316;
inline constexpr int kSettingsHeight = 214;

inline constexpr TemplateControl kSettingsTemplate[] = {
    {0, TemplateKind::Label, "Смотреть в", 7, 9, 40, 8},
    {1010, TemplateKind::DropDown, "", 49, 7, 41, 125},
    {0, TemplateKind::Label, "и пытать", 93, 9, 32, 8},
    {1026, TemplateKind::DropDown, "", 127, 7, 41, 55},
    {0, TemplateKind::Label, "bps", 171, 9, 12, 8},
    {1027, TemplateKind::CheckBox, "_/\\_ RTS", 194, 8, 44, 10},
    {1025, TemplateKind::CheckBox, "DTR вкл.", 243, 8, 46, 10},
    {0, TemplateKind::EtchedLine, "", 7, 24, 302, 1},
    {0, TemplateKind::Label, "Стоимость литра бензина:", 7, 30, 91, 8},
    {1001, TemplateKind::Edit, "", 100, 28, 40, 12},
    {0, TemplateKind::Label, "руб.", 143, 30, 16, 8},
    {0, TemplateKind::Label, "Пробкой считать минимум", 7, 47, 94, 8},
    {1002, TemplateKind::NumberEdit, "", 100, 45, 29, 12},
    {1028, TemplateKind::UpDown, "", 120, 42, 11, 14},
    {0, TemplateKind::Label, "минут езды со скоростью менее", 131, 47, 114, 8},
    {1003, TemplateKind::NumberEdit, "", 244, 45, 31, 12},
    {1029, TemplateKind::UpDown, "", 265, 41, 11, 14},
    {0, TemplateKind::Label, "км/ч", 278, 47, 16, 8},
    {0, TemplateKind::Label, "\"Запредельным\" считать расход топлива более", 7, 63, 164, 8},
    {1023, TemplateKind::NumberEdit, "", 175, 61, 33, 12},
    {1030, TemplateKind::UpDown, "", 199, 57, 11, 14},
    {0, TemplateKind::Label, "л/ч", 212, 63, 12, 8},
    {1011, TemplateKind::Tabs, "", 7, 78, 302, 108},
    {1031, TemplateKind::Label, "", 16, 102, 107, 18},
    {1015, TemplateKind::NumberEdit, "", 124, 104, 51, 12},
    {1016, TemplateKind::UpDown, "", 157, 102, 11, 14},
    {0, TemplateKind::Label, "мсек (0 - непрерывно)", 179, 106, 76, 8},
    {0, TemplateKind::Label, "В качестве сигнала использовать:", 16, 125, 118, 8},
    {1012, TemplateKind::Radio, "Тон-генератор, частотой", 14, 138, 102, 10},
    {1013, TemplateKind::NumberEdit, "", 115, 137, 49, 12},
    {1014, TemplateKind::UpDown, "", 148, 135, 11, 14},
    {0, TemplateKind::Label, "Гц", 168, 139, 9, 8},
    {1017, TemplateKind::Radio, "WAV-файл", 14, 153, 49, 10},
    {1018, TemplateKind::Edit, "", 65, 153, 216, 12},
    {1021, TemplateKind::PushButton, "...", 281, 152, 18, 14},
    {0, TemplateKind::Label, "проигрывать на скорости", 24, 169, 88, 8},
    {1019, TemplateKind::NumberEdit, "", 116, 168, 48, 12},
    {1020, TemplateKind::UpDown, "", 148, 165, 11, 14},
    {0, TemplateKind::Label, "сэмплов/сек", 167, 169, 58, 8},
    {1022, TemplateKind::CheckBox, "с автоповтором", 229, 169, 73, 10},
    {1024, TemplateKind::PushLikeCheckBox, "Тест\nзвука", 259, 103, 41, 33},
    {1047, TemplateKind::PushButton, "Сбросить установки", 7, 193, 85, 14},
    {1, TemplateKind::PushButton, "Сохранить", 202, 193, 50, 14},
    {2, TemplateKind::PushButton, "Отмена", 259, 193, 50, 14},
};

}  // namespace drunvale
