// labelplu: the fixed vocabulary of the settings documents (tag tables).
//
// NodeNames holds element names and XPath paths under the keys 0..33,
// AttributeNames attribute names under the keys 100..130. The numbering has
// gaps; a gap holds an entry whose Index is -1, which never equals its key.
// GetNodeName / GetAttrName (SettingsXml.h) check a key before use.
//
// The tables are constant data: every function may be called from any thread.
#ifndef LABELPLU_DEVICES_TAGTABLES_H
#define LABELPLU_DEVICES_TAGTABLES_H

#include <cstdint>
#include <span>
#include <string_view>

namespace labelplu {

// One vocabulary entry. Index equals the entry's key (-1 for a gap); Name is
// the Russian name written into documents (UTF-8); Alias an English alias
// that nothing reads.
struct TagEntry {
  int32_t Index;
  std::string_view Name;
  std::string_view Alias;
};

inline constexpr int32_t kFirstNodeKey = 0;
inline constexpr int32_t kLastNodeKey = 33;
inline constexpr int32_t kFirstAttrKey = 100;
inline constexpr int32_t kLastAttrKey = 130;

// The element-name table: entry i has key kFirstNodeKey + i (34 entries).
std::span<const TagEntry> NodeNames();
// The attribute-name table: entry i has key kFirstAttrKey + i (31 entries).
std::span<const TagEntry> AttributeNames();

// The node keys.
namespace NodeKey {
inline constexpr int32_t Param = 0;              // "Параметр"
inline constexpr int32_t Device = 1;             // "Устройство"
inline constexpr int32_t System = 2;             // "Система"
inline constexpr int32_t EquipmentClasses = 7;   // "КлассыОборудования"
inline constexpr int32_t EquipmentClass = 8;     // "КлассОборудования"
inline constexpr int32_t Model = 9;              // "Модель"
inline constexpr int32_t Params = 10;            // "Параметры"
inline constexpr int32_t Equipment = 11;         // "Оборудование"
inline constexpr int32_t ColorItem = 12;         // "ColorItem"
inline constexpr int32_t ModelAndInstance = 13;  // "МодельИЭкземпляр"
inline constexpr int32_t ChildParams = 15;       // "./Параметры/Параметр"
inline constexpr int32_t SystemDevices = 16;  // "/Система/Оборудование/Устройство"
inline constexpr int32_t SystemClasses = 17;  // "/Система/КлассыОборудования/КлассОборудования"
inline constexpr int32_t AnyParams = 18;  // "//Параметры/Параметр"
inline constexpr int32_t SystemModels =
    19;  // "/Система/КлассыОборудования/КлассОборудования/Модель"
inline constexpr int32_t SystemRoot = 20;  // "/Система"
inline constexpr int32_t SystemDeviceParams =
    21;  // "/Система/Оборудование/Устройство/Параметры/Параметр"
inline constexpr int32_t SystemEquipment = 22;  // "/Система/Оборудование"
inline constexpr int32_t SystemClassList = 23;  // "/Система/КлассыОборудования"
inline constexpr int32_t AnyModel = 27;         // "//Модель"
inline constexpr int32_t AnyDevice = 28;        // "//Устройство"
inline constexpr int32_t ClassModelsFormat = 29;  // ".../КлассОборудования%s/Модель"
inline constexpr int32_t Author = 31;             // "Author"
inline constexpr int32_t SystemAuthor = 32;  // "/Система/Author"
}  // namespace NodeKey

// The attribute keys.
namespace AttrKey {
inline constexpr int32_t Code = 100;          // "Код"
inline constexpr int32_t Identifier = 101;    // "Идентификатор"
inline constexpr int32_t Value = 102;         // "Зна4ение"
inline constexpr int32_t Name = 103;          // "Наименование"
inline constexpr int32_t Type = 104;          // "Тип"
inline constexpr int32_t ReadOnly = 105;      // "ФлагТолько4тение"
inline constexpr int32_t DefaultValue = 106;  // "Зна4ениеПоУмол4анию"
inline constexpr int32_t Description = 107;   // "Описание"
inline constexpr int32_t Version = 108;       // "Версия"
inline constexpr int32_t ModelCode = 109;     // "КодМодели"
inline constexpr int32_t State = 115;         // "Состояние"
inline constexpr int32_t Library = 118;       // "Библиотека"
inline constexpr int32_t UsesHost = 119;      // "ИспользуетX9"
inline constexpr int32_t PluVersion = 120;    // "ВерсияPLU"
inline constexpr int32_t Release = 121;       // "Релиз"
inline constexpr int32_t ColorForm = 123;     // "ColorForm"
inline constexpr int32_t ColorBody = 124;     // "ColorBody"
inline constexpr int32_t ColorButton = 125;   // "ColorButton"
inline constexpr int32_t ColorEdit = 126;     // "ColorEdit"
inline constexpr int32_t ColorBorder = 127;   // "ColorBorder"
inline constexpr int32_t ColorFont = 128;     // "ColorFont"
inline constexpr int32_t Preference = 130;    // "Preference"
}  // namespace AttrKey

}  // namespace labelplu

#endif  // LABELPLU_DEVICES_TAGTABLES_H
