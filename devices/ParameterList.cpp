#include "devices/ParameterList.h"

#include <memory>

#include "base/TextUtils.h"
#include "devices/ParameterDescriptor.h"
#include "devices/SettingsXml.h"
#include "devices/TagTables.h"

namespace labelplu {

namespace {

bool PassesFilter(const xml::XmlNode& node, const std::vector<SettingsList::FilterLine>& filter) {
  for (const auto& [key, value] : filter) {
    std::string_view attrKey = key;
    if (!attrKey.empty() && attrKey.front() == '_') attrKey.remove_prefix(1);
    const int32_t attr = TryTextToInt(attrKey).value_or(-1);
    if (!SameText(GetAttributeByTag(node, attr), HexToBytes(value))) return false;
  }
  return true;
}

}  // namespace

bool ParameterList::OwnerDeleted() const noexcept {
  return m_ownerItem != nullptr && m_ownerItem->State() == kStateDeleted;
}

void ParameterList::Load() {
  SetFirstItem(nullptr);
  if (OwnerDeleted()) return;
  const xml::XmlNodeList nodes = SelectNodesByTag(RequireDocument(), NodeKey::ChildParams);
  for (const xml::XmlNode& node : nodes) {
    if (!PassesFilter(node, Filter())) continue;
    ParameterItem& item = Add();
    item.SetNode(node);
    item.SetParamName(GetAttributeByTag(node, AttrKey::Identifier));
    item.SetParamDescription(GetAttributeByTag(node, AttrKey::Name));
    item.SetParamType(GetAttributeByTag(node, AttrKey::Type));
    item.SetParamValue(GetAttributeByTag(node, AttrKey::Value));
    item.SetParamDefault(GetAttributeByTag(node, AttrKey::DefaultValue));
    item.SetParamHint(GetAttributeByTag(node, AttrKey::Description));
    item.SetParamReadOnly(TryTextToInt(GetAttributeByTag(node, AttrKey::ReadOnly)).value_or(0));
    item.SetModified(false);
    if (FirstItem() == nullptr) SetFirstItem(&item);
  }
}

ParameterItem& ParameterList::Add() {
  return static_cast<ParameterItem&>(AppendItem(std::make_unique<ParameterItem>(this)));
}

ParameterItem& ParameterList::Item(int32_t index) const {
  return static_cast<ParameterItem&>(GetItem(index));
}

ParameterItem* ParameterList::FindParamItem(std::string_view name) const {
  for (int32_t i = 0; i < Count(); ++i) {
    ParameterItem& item = Item(i);
    if (SameText(item.ParamName(), name)) return &item;
  }
  return nullptr;
}

}  // namespace labelplu
