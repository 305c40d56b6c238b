// labelplu: the base of the settings collections.
//
// A SettingsList reads its items from an XML settings document (or a node of
// one) and keeps a set of attribute filters that it turns into XPath
// predicates for the next load. A SettingsItem carries a state (0 live,
// 1 deleted), a modified flag that propagates up to its list, an optional
// child list of parameters (ParameterList, ParameterList.h) and writes the
// list's change log (ChangeLog.h) while the list's LogChanges is on.
//
// Ownership: a list owns its items (std::unique_ptr); an item owns its child
// list; Owner() and Parent() are plain back references. Change callbacks are
// std::function objects; whatever they capture must outlive the list.
//
// Change propagation: an item's setter marks it modified and calls its
// OnChange, which by default is its list's Changed(); Changed() calls the
// list's OnChange unless Locked. A child parameter list's OnChange is its
// owning item's NotifyChange, so a change deep down reaches the top list.
//
// Threads: a list, its items and their document belong to one thread at a
// time; nothing here locks.
#ifndef LABELPLU_DEVICES_SETTINGSLIST_H
#define LABELPLU_DEVICES_SETTINGSLIST_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "devices/ChangeLog.h"
#include "labelplu/oleauto.h"
#include "platform/xml/XmlDom.h"

namespace labelplu {

class SettingsList;
class ParameterList;

// The item states ("Состояние").
inline constexpr int32_t kStateLive = 0;
inline constexpr int32_t kStateDeleted = 1;
// The "Версия" which, together with kStateDeleted, makes an item drop itself.
inline constexpr int32_t kVersionDropped = -1;

// The upper- and lower-case alphabets of the case-insensitive XPath
// comparisons (translate()); position i of one is the other case of
// position i of the other.
inline constexpr std::string_view kUpperAlphabet =
    "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЫЪЬЭЮЯABCDEFGHIJKLMNOPQRSTUVWXYZ";
inline constexpr std::string_view kLowerAlphabet =
    "абвгдеёжзийклмнопрстуфхцчшщыъьэюяabcdefghijklmnopqrstuvwxyz";

// The two predicates BuildPredicates makes of a filter: Main applies to the
// selected elements, Class to their class element. Each is empty or a whole
// bracketed predicate "[...]".
struct FilterPredicates {
  std::string Main;
  std::string Class;
};

// One item of a settings collection.
class SettingsItem {
 public:
  // Called with the item that changed and the detail passed to SetModified.
  using ChangeHandler = std::function<void(SettingsItem& sender, int32_t detail)>;

  // A live, unmodified item (AnyModified true, Version 0). With an owner its
  // OnChange is the owner's Changed(); the item is not yet in the owner's
  // list (the owner appends it). owner may be null.
  explicit SettingsItem(SettingsList* owner);
  virtual ~SettingsItem();
  SettingsItem(const SettingsItem&) = delete;
  SettingsItem& operator=(const SettingsItem&) = delete;

  SettingsList* Owner() const noexcept { return m_owner; }
  int32_t State() const noexcept { return m_state; }
  // The item's own fields changed since the last load or reset.
  bool Modified() const noexcept { return m_modified; }
  // Modified, or the child list modified, as of the last NotifyChange.
  bool AnyModified() const noexcept { return m_anyModified; }
  int32_t Version() const noexcept { return m_version; }
  void SetVersion(int32_t value) noexcept { m_version = value; }
  // The element the item was read from (the null node when none).
  const xml::XmlNode& Node() const noexcept { return m_node; }
  void SetNode(xml::XmlNode node) noexcept { m_node = std::move(node); }
  // The child list, or null for items without one.
  ParameterList* Params() const noexcept { return m_params.get(); }

  void SetOnChange(ChangeHandler handler) { m_onChange = std::move(handler); }

  // When flag differs from Modified: stores it and NotifyChange(detail).
  // When flag is false, also resets the child list (ResetModified(false)).
  virtual void SetModified(bool flag, int32_t detail = 0);
  // With an owner: calls OnChange(*this, detail) when set, then recomputes
  // AnyModified. Without an owner nothing happens.
  void NotifyChange(int32_t detail = 0);
  // Modified, or the child list's IsModified.
  bool IsModified() const;

  // Sets the state. A different value is stored and marks the item
  // modified; state 1 with Version -1 then removes the item from its list
  // and destroys it. State 1 also empties a non-empty child list.
  // Returns false exactly when the item was destroyed: the caller must not
  // touch it (or any reference to it) afterwards. An item without an owner
  // is never destroyed.
  [[nodiscard]] bool SetState(int32_t value);

  // Writes the owner list's change log: the entry of (fieldName, ChangeKey())
  // keeps its first old value and takes newValue; a new entry gets
  // ChangeDescription(). Nothing happens without an owner.
  void LogChange(std::string_view oldValue, std::string_view newValue, std::string_view fieldName);
  // The key and description of the item in the change log; empty for an
  // item class that has no identifying fields.
  virtual std::string ChangeKey() const { return {}; }
  virtual std::string ChangeDescription() const { return {}; }

 protected:
  // The field setters of the descendants: when value differs from field
  // (texts case-sensitively or case-insensitively, integers numerically)
  // and the owner logs changes, LogChange; then the value is stored and the
  // item marked modified (IsModified() or changed). Returns "changed".
  bool SetTextField(std::string& field, std::string_view value, bool caseSensitive,
                    std::string_view logName);
  bool SetIntField(int32_t& field, int32_t value, std::string_view logName);
  // Installs the child list (an item owns at most one).
  void SetParamsList(std::unique_ptr<ParameterList> params);

 private:
  bool LogsChanges() const;

  SettingsList* m_owner;
  int32_t m_state = kStateLive;
  bool m_modified = false;
  bool m_anyModified = true;
  int32_t m_version = 0;
  ChangeHandler m_onChange;
  std::unique_ptr<ParameterList> m_params;
  xml::XmlNode m_node;
};

// A collection of settings items read from an XML document.
class SettingsList {
 public:
  // Called with the list whose Changed() ran.
  using ChangeHandler = std::function<void(SettingsList& sender)>;
  // One filter line: the key (decimal attribute key, or "_101" / "_100"
  // for the class identifier / class code) and the escaped value.
  using FilterLine = std::pair<std::string, std::string>;

  // An empty list on document (the null node: no document yet); Filter
  // empty, IncludeDeleted true, LogChanges and Locked false.
  explicit SettingsList(xml::XmlNode document = {});
  // The same, as a child list of parent (may be null).
  SettingsList(SettingsList* parent, xml::XmlNode document);
  virtual ~SettingsList();
  SettingsList(const SettingsList&) = delete;
  SettingsList& operator=(const SettingsList&) = delete;

  // ---- Document ----

  // A text is loaded into a new document (an empty text gives an empty
  // document); an automation object is the document or node behind it
  // (xml::OwnNodeFromDispatch for this module's own objects, otherwise
  // xml::DocumentFromDispatch); VT_EMPTY and VT_NULL leave no document.
  // By-reference forms are read through. Raises xml::XmlParseError for a
  // text that is not well-formed, xml::XmlError for any other variant type
  // or an object without a readable "xml".
  void SetDocument(const VARIANT& document);
  void SetDocument(std::string_view text);
  void SetDocument(xml::XmlNode document) noexcept { m_document = std::move(document); }
  // The document (or node) the list reads from; the null node when none.
  const xml::XmlNode& Document() const noexcept { return m_document; }

  // ---- Filter ----

  // For each position whose value is neither empty nor "*": the value with
  // "&" escaped as "&amp;" and then '"' as "&quot;" becomes the line of the
  // key ("_101" for key 122, "_100" for key 129, else the decimal key),
  // replacing a line of that key in place. Raises EProtectException 20000
  // "Размерности массивов аттрибутов и значений не совпадают" when the
  // lengths differ (nothing changed then).
  void SetFilter(const std::vector<int32_t>& keys, const std::vector<std::string>& values);
  const std::vector<FilterLine>& Filter() const noexcept { return m_filter; }
  void ClearFilter() noexcept { m_filter.clear(); }
  // The XPath predicates of the filter: a "_" key compares the class
  // attribute, key 115 "0" keeps every element whose state is not "1" (any
  // other state value: not "0"), every other key compares the attribute
  // with the lower-case value; comparisons are case-insensitive through
  // translate() with kUpperAlphabet / kLowerAlphabet. Raises the vocabulary
  // errors of GetAttrName for a key outside the vocabulary.
  FilterPredicates BuildPredicates() const;

  // Reads items from the document; the base reads nothing.
  virtual void Load() {}

  // ---- Items ----

  int32_t Count() const noexcept { return static_cast<int32_t>(m_items.size()); }
  // The item at a 0-based index. Raises std::out_of_range outside
  // 0..Count()-1.
  SettingsItem& GetItem(int32_t index) const;
  // The first item read by the last load that is still in the list, or null.
  SettingsItem* FirstItem() const noexcept { return m_firstItem; }
  // The list this list belongs to, or null.
  SettingsList* Parent() const noexcept { return m_parent; }

  // Removes and destroys the item at index / the given item / every item
  // (last first). Each removal is a deletion: the first one since the last
  // reset sets ListModified and calls Changed(). Delete raises
  // std::out_of_range for a bad index; Remove of an item not in the list
  // does nothing.
  void Delete(int32_t index);
  void Remove(SettingsItem& item);
  void Clear();

  // ---- Modification ----

  // An item was deleted since the last ResetModified(false).
  bool ListModified() const noexcept { return m_listModified; }
  // ListModified or any item's IsModified.
  bool IsModified() const;
  // Unless Locked, calls OnChange(*this) when set.
  void Changed();
  // With flag false: every item's SetModified(false), then a set
  // ListModified is cleared and Changed() called. With flag true nothing.
  void ResetModified(bool flag);
  void SetOnChange(ChangeHandler handler) { m_onChange = std::move(handler); }

  ChangeLog& Changes() noexcept { return m_changes; }
  const ChangeLog& Changes() const noexcept { return m_changes; }

  // While true, Changed() does not call OnChange.
  bool Locked = false;
  // While true, the field setters of the items write Changes().
  bool LogChanges = false;
  // FindModelByCode also returns deleted models while true.
  bool IncludeDeleted = true;

 protected:
  // Appends an item created with this list as its owner; returns it.
  SettingsItem& AppendItem(std::unique_ptr<SettingsItem> item);
  void SetFirstItem(SettingsItem* item) noexcept { m_firstItem = item; }
  // The document, or xml::XmlError when the list has none.
  const xml::XmlNode& RequireDocument() const;

 private:
  void NoteDeletion();

  SettingsList* m_parent = nullptr;
  xml::XmlNode m_document;
  std::vector<FilterLine> m_filter;
  std::vector<std::unique_ptr<SettingsItem>> m_items;
  SettingsItem* m_firstItem = nullptr;
  bool m_listModified = false;
  ChangeHandler m_onChange;
  ChangeLog m_changes;
};

// The text in lower case (Unicode simple case folding), as the filter
// predicates compare it.
std::string LowerText(std::string_view text);

}  // namespace labelplu

#endif  // LABELPLU_DEVICES_SETTINGSLIST_H
