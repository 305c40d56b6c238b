// labelplu: the change log of the settings collections.
//
// While a list's LogChanges flag is on, the field setters of its items write
// one entry per (field name, item key): the first old value and the latest
// new value of that field (SettingsList.h, SettingsItem::LogChange).
//
// Threads: a change list belongs to the thread of its collection; nothing
// here locks.
#ifndef LABELPLU_DEVICES_CHANGELOG_H
#define LABELPLU_DEVICES_CHANGELOG_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace labelplu {

// One logged field of one item. Every text is empty in a new entry.
struct ChangeEntry {
  std::string FieldName;  // the field's change-log name ("Наименование", "FParamValue", ...)
  std::string OldValue;     // the value before the first logged change
  std::string NewValue;     // the value after the latest logged change
  std::string Key;          // the item's key (a model: its code as GUID text)
  std::string Description;  // the item's description (a model: "library, name")
};

// An ordered, owned list of change entries.
class ChangeLog {
 public:
  int32_t Count() const noexcept { return static_cast<int32_t>(m_items.size()); }
  // The entry at a 0-based index. Raises std::out_of_range outside
  // 0..Count()-1.
  const ChangeEntry& GetItem(int32_t index) const;
  const std::vector<ChangeEntry>& Items() const noexcept { return m_items; }

  // The entry whose FieldName and Key equal fieldName and key (case ignored,
  // Unicode case folding), or null. The pointer stays valid until the next
  // Record or Clear.
  const ChangeEntry* Find(std::string_view fieldName, std::string_view key) const;

  // Finds the entry of (fieldName, key) as Find does; when there is none,
  // appends one with fieldName, OldValue = oldValue, key and description.
  // In both cases NewValue becomes newValue. Returns that entry (valid until
  // the next Record or Clear).
  const ChangeEntry& Record(std::string_view fieldName, std::string_view key,
                            std::string_view description, std::string_view oldValue,
                            std::string_view newValue);

  void Clear() noexcept { m_items.clear(); }

 private:
  std::vector<ChangeEntry> m_items;
};

}  // namespace labelplu

#endif  // LABELPLU_DEVICES_CHANGELOG_H
