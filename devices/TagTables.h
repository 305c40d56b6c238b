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

// The node keys: NodeKey::Param and so on, plain int32_t keys in a scope of
// their own.
struct NodeKey {
  enum : int32_t {
    Param = 0,              // "Параметр"
    Device = 1,             // "Устройство"
    System = 2,             // "Система"
    EquipmentClasses = 7,   // "КлассыОборудования"
    EquipmentClass = 8,     // "КлассОборудования"
    Model = 9,              // "Модель"
    Params = 10,            // "Параметры"
    Equipment = 11,         // "Оборудование"
    ColorItem = 12,         // "ColorItem"
    ModelAndInstance = 13,  // "МодельИЭкземпляр"
    ChildParams = 15,       // "./Параметры/Параметр"
    SystemDevices = 16,     // "/Система/Оборудование/Устройство"
    SystemClasses = 17,  // "/Система/КлассыОборудования/КлассОборудования"
    AnyParams = 18,     // "//Параметры/Параметр"
    SystemModels = 19,  // "/Система/КлассыОборудования/КлассОборудования/Модель"
    SystemRoot = 20,    // "/Система"
    SystemDeviceParams = 21,  // "/Система/Оборудование/Устройство/Параметры/Параметр"
    SystemEquipment = 22,     // "/Система/Оборудование"
    SystemClassList = 23,     // "/Система/КлассыОборудования"
    AnyModel = 27,            // "//Модель"
    AnyDevice = 28,           // "//Устройство"
    ClassModelsFormat = 29,   // ".../КлассОборудования%s/Модель"
    Author = 31,              // "Author"
    SystemAuthor = 32,        // "/Система/Author"
  };
};

// The attribute keys: AttrKey::Code and so on.
struct AttrKey {
  enum : int32_t {
    Code = 100,          // "Код"
    Identifier = 101,    // "Идентификатор"
    Value = 102,         // "Зна4ение"
    Name = 103,          // "Наименование"
    Type = 104,          // "Тип"
    ReadOnly = 105,      // "ФлагТолько4тение"
    DefaultValue = 106,  // "Зна4ениеПоУмол4анию"
    Description = 107,   // "Описание"
    Version = 108,       // "Версия"
    ModelCode = 109,     // "КодМодели"
    State = 115,         // "Состояние"
    Library = 118,       // "Библиотека"
    UsesHost = 119,      // "ИспользуетX9"
    PluVersion = 120,    // "ВерсияPLU"
    Release = 121,       // "Релиз"
    ColorForm = 123,     // "ColorForm"
    ColorBody = 124,     // "ColorBody"
    ColorButton = 125,   // "ColorButton"
    ColorEdit = 126,     // "ColorEdit"
    ColorBorder = 127,   // "ColorBorder"
    ColorFont = 128,     // "ColorFont"
    Preference = 130,    // "Preference"
  };
};

}  // namespace labelplu

#endif  // LABELPLU_DEVICES_TAGTABLES_H
