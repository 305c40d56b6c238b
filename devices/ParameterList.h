// labelplu: parameter items and lists of the settings collections.
//
// A ParameterList is the child list of an item (a model's parameters) or a
// list of its own over a document; it reads the "./Параметры/Параметр"
// elements of its document (or node). The field setters of ParameterItem
// compare texts case-sensitively and write the owner list's change log under
// the names "FParamReadOnly", "FParamType", "FParamHint", "FParamName",
// "FParamDefault", "FParamDescription", "FParamValue" while its LogChanges is
// on (SettingsList.h).
//
// Ownership and threads: as in SettingsList.h.
#ifndef LABELPLU_DEVICES_PARAMETERLIST_H
#define LABELPLU_DEVICES_PARAMETERLIST_H

#include <cstdint>
#include <string>
#include <string_view>

#include "devices/SettingsList.h"

namespace labelplu {

// One parameter description: identifier, caption, type, value, default,
// hint and read-only flag (all texts empty and the flag 0 in a new item).
class ParameterItem : public SettingsItem {
 public:
  explicit ParameterItem(SettingsList* owner) : SettingsItem(owner) {}

  int32_t ParamReadOnly() const noexcept { return m_readOnly; }
  const std::string& ParamType() const noexcept { return m_type; }
  const std::string& ParamHint() const noexcept { return m_hint; }
  const std::string& ParamName() const noexcept { return m_name; }
  const std::string& ParamDefault() const noexcept { return m_default; }
  const std::string& ParamDescription() const noexcept { return m_description; }
  const std::string& ParamValue() const noexcept { return m_value; }

  // The field setters (SettingsList.h, SettingsItem::SetTextField / SetIntField).
  void SetParamReadOnly(int32_t value) { SetIntField(m_readOnly, value, "FParamReadOnly"); }
  void SetParamType(std::string_view value) { SetTextField(m_type, value, true, "FParamType"); }
  void SetParamHint(std::string_view value) { SetTextField(m_hint, value, true, "FParamHint"); }
  void SetParamName(std::string_view value) { SetTextField(m_name, value, true, "FParamName"); }
  void SetParamDefault(std::string_view value) {
    SetTextField(m_default, value, true, "FParamDefault");
  }
  void SetParamDescription(std::string_view value) {
    SetTextField(m_description, value, true, "FParamDescription");
  }
  void SetParamValue(std::string_view value) { SetTextField(m_value, value, true, "FParamValue"); }

 private:
  int32_t m_readOnly = 0;
  std::string m_type;
  std::string m_hint;
  std::string m_name;
  std::string m_default;
  std::string m_description;
  std::string m_value;
};

// A list of parameter items.
class ParameterList : public SettingsList {
 public:
  explicit ParameterList(xml::XmlNode document = {}) : SettingsList(std::move(document)) {}
  ParameterList(SettingsList* parent, xml::XmlNode document)
      : SettingsList(parent, std::move(document)) {}

  // The item whose child list this is, or null.
  SettingsItem* OwnerItem() const noexcept { return m_ownerItem; }
  void SetOwnerItem(SettingsItem* item) noexcept { m_ownerItem = item; }
  // True when there is an owner item and its state is deleted.
  bool OwnerDeleted() const noexcept;

  // Unless OwnerDeleted: appends an item for every "./Параметры/Параметр"
  // element of the document that passes every filter line (the attribute
  // the line's key names, compared case-insensitively with the line's value
  // decoded from hexadecimal byte pairs; a value that is not such pairs
  // decodes to the empty text), with ParamName "Идентификатор",
  // ParamDescription "Наименование", ParamType "Тип", ParamValue "Зна4ение",
  // ParamDefault "Зна4ениеПоУмол4анию", ParamHint "Описание" and
  // ParamReadOnly "ФлагТолько4тение" (0 when not an integer), then marks it
  // unmodified. FirstItem becomes the first item appended (null when none).
  // Raises xml::XmlError when the list has no document.
  void Load() override;

  // Appends a new item and returns it.
  ParameterItem& Add();
  // The item at a 0-based index; std::out_of_range outside the list.
  ParameterItem& Item(int32_t index) const;
  // The first item whose ParamName equals name (case ignored), or null.
  ParameterItem* FindParamItem(std::string_view name) const;

 private:
  SettingsItem* m_ownerItem = nullptr;
};

}  // namespace labelplu

#endif  // LABELPLU_DEVICES_PARAMETERLIST_H
