#include "devices/SettingsList.h"

#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "base/Errors.h"
#include "base/TextUtils.h"
#include "devices/ParameterList.h"
#include "devices/SettingsXml.h"
#include "platform/ole/Bstr.h"
#include "platform/ole/Utf.h"
#include "platform/ole/Variant.h"
#include "platform/xml/XmlHelpers.h"

namespace labelplu {

namespace {

// The filter keys under which the class element's identifier and code are
// compared (the attribute key after "_").
constexpr int32_t kClassIdentKey = 122;
constexpr int32_t kClassCodeKey = 129;
constexpr std::string_view kStateFilterKey = "115";

std::string ReplaceEvery(std::string_view text, std::string_view pattern,
                         std::string_view replacement) {
  std::string result;
  result.reserve(text.size());
  size_t pos = 0;
  for (size_t hit; (hit = text.find(pattern, pos)) != std::string_view::npos;
       pos = hit + pattern.size()) {
    result.append(text.substr(pos, hit - pos)).append(replacement);
  }
  result.append(text.substr(pos));
  return result;
}

std::string FilterKey(int32_t key) {
  if (key == kClassIdentKey) return "_101";
  if (key == kClassCodeKey) return "_100";
  return std::to_string(key);
}

// The attribute key a filter key names; the vocabulary check follows in
// GetAttrName.
int32_t AttributeKeyOf(std::string_view filterKey) {
  if (!filterKey.empty() && filterKey.front() == '_') filterKey.remove_prefix(1);
  int32_t key = 0;
  const auto [end, error] =
      std::from_chars(filterKey.data(), filterKey.data() + filterKey.size(), key);
  if (error != std::errc() || end != filterKey.data() + filterKey.size()) {
    throw std::invalid_argument("Неверный ключ фильтра: " + std::string(filterKey));
  }
  return key;
}

std::string ComparePredicate(std::string_view attribute, std::string_view op,
                             std::string_view value) {
  std::string text = "(translate(@";
  text.append(attribute).append(",\"").append(kUpperAlphabet).append("\",\"");
  text.append(kLowerAlphabet).append("\")").append(op).append("\"").append(value).append("\")");
  return text;
}

void AppendCondition(std::string& target, const std::string& condition) {
  if (!target.empty()) target += " and ";
  target += condition;
}

}  // namespace

std::string LowerText(std::string_view text) {
  std::u16string wide = ole::Utf8ToUtf16(text);
  for (char16_t& c : wide) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;  // astral letters keep their case
    const char32_t folded = FoldCase(c);
    if (folded <= 0xFFFF) c = static_cast<char16_t>(folded);
  }
  return ole::Utf16ToUtf8(wide);
}

// ---- SettingsItem ----

SettingsItem::SettingsItem(SettingsList* owner) : m_owner(owner) {
  if (m_owner != nullptr) {
    m_onChange = [owner](SettingsItem&, int32_t) { owner->Changed(); };
  }
}

SettingsItem::~SettingsItem() = default;

void SettingsItem::SetModified(bool flag, int32_t detail) {
  if (flag != m_modified) {
    m_modified = flag;
    NotifyChange(detail);
  }
  if (!flag && m_params) m_params->ResetModified(false);
}

void SettingsItem::NotifyChange(int32_t detail) {
  if (m_owner == nullptr) return;
  if (m_onChange) m_onChange(*this, detail);
  m_anyModified = m_modified || (m_params && m_params->IsModified());
}

bool SettingsItem::IsModified() const {
  return m_modified || (m_params && m_params->IsModified());
}

bool SettingsItem::SetState(int32_t value) {
  if (value != m_state) {
    m_state = value;
    SetModified(true);
    if (m_state == kStateDeleted && m_version == kVersionDropped && m_owner != nullptr) {
      // The list destroys this item: nothing of it may be used from here on.
      m_owner->Remove(*this);
      return false;
    }
  }
  if (m_state == kStateDeleted && m_params && m_params->Count() > 0) {
    m_params->Clear();
    SetModified(true);
  }
  return true;
}

void SettingsItem::LogChange(std::string_view oldValue, std::string_view newValue,
                             std::string_view fieldName) {
  if (m_owner == nullptr) return;
  m_owner->Changes().Record(fieldName, ChangeKey(), ChangeDescription(), oldValue, newValue);
}

bool SettingsItem::LogsChanges() const {
  return m_owner != nullptr && m_owner->LogChanges;
}

// The value is stored before the notification so that a change handler
// already sees it.
bool SettingsItem::SetTextField(std::string& field, std::string_view value, bool caseSensitive,
                                std::string_view logName) {
  const bool changed = caseSensitive ? field != value : !SameText(field, value);
  if (changed && LogsChanges()) LogChange(field, value, logName);
  field = value;
  SetModified(IsModified() || changed);
  return changed;
}

bool SettingsItem::SetIntField(int32_t& field, int32_t value, std::string_view logName) {
  const bool changed = field != value;
  if (changed && LogsChanges()) LogChange(std::to_string(field), std::to_string(value), logName);
  field = value;
  SetModified(IsModified() || changed);
  return changed;
}

void SettingsItem::SetParamsList(std::unique_ptr<ParameterList> params) {
  m_params = std::move(params);
}

// ---- SettingsList ----

SettingsList::SettingsList(xml::XmlNode document) : m_document(std::move(document)) {}

SettingsList::SettingsList(SettingsList* parent, xml::XmlNode document)
    : m_parent(parent), m_document(std::move(document)) {}

SettingsList::~SettingsList() = default;

void SettingsList::SetDocument(const VARIANT& document) {
  const VARIANT* v = &document;
  while (v->vt == (VT_VARIANT | VT_BYREF) && v->pvarVal != nullptr) v = v->pvarVal;
  switch (v->vt) {
    case VT_EMPTY:
    case VT_NULL:
      m_document = xml::XmlNode();
      return;
    case VT_BSTR:
      SetDocument(ole::BstrToUtf8(v->bstrVal));
      return;
    case VT_BSTR | VT_BYREF:
      SetDocument(ole::BstrToUtf8(v->pbstrVal ? *v->pbstrVal : nullptr));
      return;
    case VT_DISPATCH:
    case VT_DISPATCH | VT_BYREF: {
      IDispatch* object =
          v->vt == VT_DISPATCH ? v->pdispVal : (v->ppdispVal ? *v->ppdispVal : nullptr);
      if (std::optional<xml::XmlNode> own = xml::OwnNodeFromDispatch(object)) {
        m_document = std::move(*own);
      } else {
        m_document = xml::DocumentFromDispatch(object);
      }
      return;
    }
    default:
      throw xml::XmlError("Значение типа " + ole::VarTypeName(v->vt) +
                          " не является XML-документом.");
  }
}

void SettingsList::SetDocument(std::string_view text) {
  xml::XmlDocument doc = xml::CreateXmlDocument();
  if (!text.empty()) doc.loadXML(text);
  doc.setAsync(false);
  m_document = std::move(doc);
}

const xml::XmlNode& SettingsList::RequireDocument() const {
  if (m_document.isNull()) throw xml::XmlError("Список настроек не связан с XML-документом.");
  return m_document;
}

void SettingsList::SetFilter(const std::vector<int32_t>& keys,
                             const std::vector<std::string>& values) {
  if (keys.size() != values.size()) {
    RaiseMessage("Размерности массивов аттрибутов и значений не совпадают");
  }
  for (size_t i = 0; i < keys.size(); ++i) {
    const std::string& value = values[i];
    if (value.empty() || value == "*") continue;
    std::string escaped = ReplaceEvery(ReplaceEvery(value, "&", "&amp;"), "\"", "&quot;");
    std::string key = FilterKey(keys[i]);
    auto line = std::find_if(m_filter.begin(), m_filter.end(),
                             [&](const FilterLine& l) { return l.first == key; });
    if (line != m_filter.end()) {
      line->second = std::move(escaped);
    } else {
      m_filter.emplace_back(std::move(key), std::move(escaped));
    }
  }
}

FilterPredicates SettingsList::BuildPredicates() const {
  FilterPredicates result;
  for (const auto& [key, value] : m_filter) {
    const std::string attribute = GetAttrName(AttributeKeyOf(key));
    if (!key.empty() && key.front() == '_') {
      AppendCondition(result.Class, ComparePredicate(attribute, "=", LowerText(value)));
    } else if (key == kStateFilterKey) {
      // "Not deleted" keeps elements without the attribute too.
      AppendCondition(result.Main, ComparePredicate(attribute, "!=", value == "0" ? "1" : "0"));
    } else {
      AppendCondition(result.Main, ComparePredicate(attribute, "=", LowerText(value)));
    }
  }
  if (!result.Main.empty()) result.Main = "[" + result.Main + "]";
  if (!result.Class.empty()) result.Class = "[" + result.Class + "]";
  return result;
}

SettingsItem& SettingsList::GetItem(int32_t index) const {
  if (index < 0 || index >= Count()) {
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  }
  return *m_items[static_cast<size_t>(index)];
}

SettingsItem& SettingsList::AppendItem(std::unique_ptr<SettingsItem> item) {
  if (!item || item->Owner() != this) {
    throw std::logic_error("An item joins only the list it was created for");
  }
  return *m_items.emplace_back(std::move(item));
}

void SettingsList::Delete(int32_t index) {
  Remove(GetItem(index));
}

void SettingsList::Remove(SettingsItem& item) {
  auto it = std::find_if(m_items.begin(), m_items.end(),
                         [&](const std::unique_ptr<SettingsItem>& p) { return p.get() == &item; });
  if (it == m_items.end()) return;
  // Taken out first, destroyed last: the change handlers run on a list that
  // no longer holds the item.
  std::unique_ptr<SettingsItem> removed = std::move(*it);
  m_items.erase(it);
  if (m_firstItem == removed.get()) m_firstItem = nullptr;
  NoteDeletion();
}

void SettingsList::Clear() {
  while (!m_items.empty()) Remove(*m_items.back());
}

void SettingsList::NoteDeletion() {
  if (m_listModified) return;
  m_listModified = true;
  Changed();
}

bool SettingsList::IsModified() const {
  return m_listModified || std::any_of(m_items.begin(), m_items.end(),
                                       [](const auto& item) { return item->IsModified(); });
}

void SettingsList::Changed() {
  if (!Locked && m_onChange) m_onChange(*this);
}

void SettingsList::ResetModified(bool flag) {
  if (flag) return;
  // By index: a change handler may remove items meanwhile.
  for (size_t i = 0; i < m_items.size(); ++i)  // NOLINT(modernize-loop-convert)
    m_items[i]->SetModified(false);
  if (m_listModified) {
    m_listModified = false;
    Changed();
  }
}

}  // namespace labelplu
