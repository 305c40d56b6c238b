#include "devices/ChangeLog.h"

#include <stdexcept>

#include "base/TextUtils.h"

namespace labelplu {

const ChangeEntry& ChangeLog::GetItem(int32_t index) const {
  if (index < 0 || index >= Count()) {
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  }
  return m_items[static_cast<size_t>(index)];
}

namespace {

template <class Items>
auto* FindEntry(Items& items, std::string_view fieldName, std::string_view key) {
  decltype(&items.front()) found = nullptr;
  for (auto& item : items) {
    if (SameText(item.FieldName, fieldName) && SameText(item.Key, key)) {
      found = &item;
      break;
    }
  }
  return found;
}

}  // namespace

const ChangeEntry* ChangeLog::Find(std::string_view fieldName, std::string_view key) const {
  return FindEntry(m_items, fieldName, key);
}

const ChangeEntry& ChangeLog::Record(std::string_view fieldName, std::string_view key,
                                     std::string_view description, std::string_view oldValue,
                                     std::string_view newValue) {
  ChangeEntry* entry = FindEntry(m_items, fieldName, key);
  if (entry == nullptr) {
    ChangeEntry& added = m_items.emplace_back();
    added.FieldName = fieldName;
    added.OldValue = oldValue;
    added.Key = key;
    added.Description = description;
    entry = &added;
  }
  entry->NewValue = newValue;
  return *entry;
}

}  // namespace labelplu
