// labelplu: the vocabulary of the settings documents.
#include "devices/TagTables.h"

#include <array>

namespace labelplu {

namespace {

constexpr TagEntry kGap{-1, "", ""};

constexpr std::array<TagEntry, kLastNodeKey - kFirstNodeKey + 1> kNodeNames{{
    {0, "Параметр", "Parameter"},
    {1, "Устройство", "Device"},
    {2, "Система", "System"},
    kGap,
    kGap,
    kGap,
    kGap,
    {7, "КлассыОборудования", "EquipmentClasses"},
    {8, "КлассОборудования", "EquipmentClass"},
    {9, "Модель", "Model"},
    {10, "Параметры", "Parameters"},
    {11, "Оборудование", "Equipment"},
    {12, "ColorItem", "ColorItem"},
    {13, "МодельИЭкземпляр", "ModelAndInstance"},
    kGap,
    {15, "./Параметры/Параметр", "./Parameters/Parameter"},
    {16, "/Система/Оборудование/Устройство", "/System/Equipment/Device"},
    {17, "/Система/КлассыОборудования/КлассОборудования",
     "/System/EquipmentClasses/EquipmentClass"},
    {18, "//Параметры/Параметр", "//Parameters/Parameter"},
    {19, "/Система/КлассыОборудования/КлассОборудования/Модель",
     "/System/EquipmentClasses/EquipmentClass/Model"},
    {20, "/Система", "/System"},
    {21, "/Система/Оборудование/Устройство/Параметры/Параметр",
     "/System/Equipment/Device/Parameters/Parameter"},
    {22, "/Система/Оборудование", "/System/Equipment"},
    {23, "/Система/КлассыОборудования", "/System/EquipmentClasses"},
    kGap,
    kGap,
    kGap,
    {27, "//Модель", "//Model"},
    {28, "//Устройство", "//Device"},
    {29, "/Система/КлассыОборудования/КлассОборудования%s/Модель",
     "/System/EquipmentClasses/EquipmentClass%s/Model"},
    kGap,
    {31, "Author", "Author"},
    {32, "/Система/Author", "/System/Author"},
    kGap,
}};

constexpr std::array<TagEntry, kLastAttrKey - kFirstAttrKey + 1> kAttributeNames{{
    {100, "Код", "Code"},
    {101, "Идентификатор", "Identifier"},
    {102, "Зна4ение", "Value"},
    {103, "Наименование", "Name"},
    {104, "Тип", "Type"},
    {105, "ФлагТолько4тение", "ReadOnly"},
    {106, "Зна4ениеПоУмол4анию", "DefaultValue"},
    {107, "Описание", "Description"},
    {108, "Версия", "Version"},
    {109, "КодМодели", "ModelCode"},
    kGap,
    kGap,
    kGap,
    kGap,
    kGap,
    {115, "Состояние", "State"},
    kGap,
    kGap,
    {118, "Библиотека", "Library"},
    {119, "ИспользуетX9", "UsesX9"},
    {120, "ВерсияPLU", "PluVersion"},
    {121, "Релиз", "Release"},
    {122, "-", "-"},
    {123, "ColorForm", "ColorForm"},
    {124, "ColorBody", "ColorBody"},
    {125, "ColorButton", "ColorButton"},
    {126, "ColorEdit", "ColorEdit"},
    {127, "ColorBorder", "ColorBorder"},
    {128, "ColorFont", "ColorFont"},
    {129, "-", "-"},
    {130, "Preference", "Preference"},
}};

// Every entry sits at the position of its key (gaps excepted).
constexpr bool KeysMatch() {
  for (size_t i = 0; i < kNodeNames.size(); ++i)
    if (kNodeNames[i].Index != -1 && kNodeNames[i].Index != static_cast<int32_t>(i) + kFirstNodeKey)
      return false;
  for (size_t i = 0; i < kAttributeNames.size(); ++i)
    if (kAttributeNames[i].Index != -1 &&
        kAttributeNames[i].Index != static_cast<int32_t>(i) + kFirstAttrKey)
      return false;
  return true;
}
static_assert(KeysMatch(), "a tag table entry is out of place");

}  // namespace

std::span<const TagEntry> NodeNames() {
  return kNodeNames;
}

std::span<const TagEntry> AttributeNames() {
  return kAttributeNames;
}

}  // namespace labelplu
