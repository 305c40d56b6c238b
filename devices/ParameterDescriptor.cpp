#include "devices/ParameterDescriptor.h"

#include <charconv>
#include <stdexcept>

#include "base/TextUtils.h"
#include "devices/ParameterRecord.h"
#include "devices/SettingsXml.h"

namespace labelplu {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

[[noreturn]] void IndexError(int32_t index) {
  throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
}

bool Matches(const ParameterDescriptor& item, std::string_view name) {
  return SameText(item.Name, name) || (!item.AltName.empty() && SameText(item.AltName, name));
}

}  // namespace

std::string LimitHint(std::string_view text) {
  size_t pos = 0;
  for (size_t count = 0; pos < text.size() && count < kHintCapacity; ++count) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    // Only whole, well-formed sequences count as one character.
    if (pos + length > text.size()) length = 1;
    for (size_t i = 1; i < length; ++i) {
      if ((static_cast<unsigned char>(text[pos + i]) & 0xC0) != 0x80) {
        length = 1;
        break;
      }
    }
    pos += length;
  }
  return std::string(text.substr(0, pos));
}

std::optional<int32_t> TryTextToInt(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (!text.empty() && text.front() == '$') {
    base = 16;
    text.remove_prefix(1);
  } else if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  uint64_t magnitude = 0;
  const auto [end, error] =
      std::from_chars(text.data(), text.data() + text.size(), magnitude, base);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (base == 16) {
    if (magnitude > 0xFFFFFFFFu) return std::nullopt;
    const auto value = static_cast<int32_t>(static_cast<uint32_t>(magnitude));
    return negative ? static_cast<int32_t>(0u - static_cast<uint32_t>(value)) : value;
  }
  if (negative) {
    if (magnitude > 2147483648u) return std::nullopt;
    return static_cast<int32_t>(-static_cast<int64_t>(magnitude));
  }
  if (magnitude > 2147483647u) return std::nullopt;
  return static_cast<int32_t>(magnitude);
}

std::optional<double> TryTextToFloat(std::string_view text) {
  text = TrimBlanks(text);
  std::string plain;
  size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') plain += '-';
    ++i;
  }
  size_t digits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) plain += text[i];
  if (i < text.size() && text[i] == ',') {
    plain += '.';
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits) plain += text[i];
  }
  if (digits == 0) return std::nullopt;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    plain += 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) plain += text[i++];
    size_t exponentDigits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++exponentDigits) plain += text[i];
    if (exponentDigits == 0) return std::nullopt;
  }
  if (i != text.size()) return std::nullopt;
  double value = 0;
  const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (error != std::errc() || end != plain.data() + plain.size()) return std::nullopt;
  return value;
}

void ParameterDescriptor::Assign(const ParameterDescriptor& source) {
  if (&source == this) {
    ValueText = DefaultText;
    return;
  }
  Name = source.Name;
  AltName = source.AltName;
  Caption = source.Caption;
  TypeName = source.TypeName;
  ReadOnly = source.ReadOnly;
  DefaultText = source.DefaultText;
  Hint = source.Hint;
  ValueText = source.DefaultText;
}

ole::OleVariant ParameterDescriptor::TypedValue(std::string_view text) const {
  if (SameText(TypeName, "Integer")) {
    if (const auto value = TryTextToInt(text)) return ole::OleVariant(*value);
    if (const auto value = TryTextToInt(DefaultText)) return ole::OleVariant(*value);
    return ole::OleVariant(int32_t{0});
  }
  if (SameText(TypeName, "Double") || SameText(TypeName, "Число")) {
    // Either separator is accepted in the value; the default is read the
    // same way, so that a bad value falls back to what TypedDefault gives.
    const auto read = [](std::string_view source) {
      std::string normal(source);
      for (char& c : normal) {
        if (c == '.') c = ',';
      }
      return TryTextToFloat(normal);
    };
    if (const auto value = read(text)) return ole::OleVariant(*value);
    if (const auto value = read(DefaultText)) return ole::OleVariant(*value);
    return ole::OleVariant(0.0);
  }
  if (SameText(TypeName, "Boolean")) return ole::OleVariant(SameText(text, "True"));
  return ole::OleVariant(std::string_view(EscapeNewLines(std::string(text), false)));
}

std::string ParameterDescriptor::DisplayType() const {
  if (SameText(TypeName, "Integer")) return "Число";
  if (SameText(TypeName, "Boolean")) return "Boolean";
  if (SameText(TypeName, "String")) return "Строка";
  return {};
}

ParameterDescriptor& ParameterDescriptorList::Item(int32_t index) {
  if (index < 0 || index >= Count()) IndexError(index);
  return *m_items[static_cast<size_t>(index)];
}

const ParameterDescriptor& ParameterDescriptorList::Item(int32_t index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return *m_items[static_cast<size_t>(index)];
}

ParameterDescriptor& ParameterDescriptorList::Add() {
  return *m_items.emplace_back(std::make_unique<ParameterDescriptor>());
}

void ParameterDescriptorList::Delete(int32_t index) {
  if (index < 0 || index >= Count()) IndexError(index);
  m_items.erase(m_items.begin() + index);
}

void ParameterDescriptorList::Assign(const ParameterDescriptorList& source) {
  if (&source == this) {
    for (const auto& item : m_items) item->ValueText = item->DefaultText;
    return;
  }
  std::vector<std::unique_ptr<ParameterDescriptor>> copies;
  copies.reserve(source.m_items.size());
  for (const auto& item : source.m_items) {
    copies.push_back(std::make_unique<ParameterDescriptor>());
    copies.back()->Assign(*item);
  }
  m_items = std::move(copies);
}

ParameterDescriptor* FindParam(ParameterDescriptorList& list, std::string_view name) {
  for (const auto& item : list) {
    if (Matches(*item, name)) return item.get();
  }
  return nullptr;
}

const ParameterDescriptor* FindParam(const ParameterDescriptorList& list, std::string_view name) {
  return FindParam(const_cast<ParameterDescriptorList&>(list), name);
}

std::string GetParamValue(const ParameterDescriptorList& list, std::string_view name) {
  const ParameterDescriptor* item = FindParam(list, name);
  return item ? item->ValueText : std::string();
}

void SetParamValue(ParameterDescriptorList& list, std::string_view name, std::string_view text) {
  ParameterDescriptor* item = FindParam(list, name);
  if (!item) {
    item = &list.Add();
    item->Name = name;
  }
  item->SetValue(text);
}

void ApplyParamLines(ParameterDescriptorList& list, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos || equals == 0) continue;
    SetParamValue(list, std::string_view(line).substr(0, equals),
                  std::string_view(line).substr(equals + 1));
  }
}

ParameterDescriptor& RegisterParam(ParameterDescriptorList& list, const ParameterRecord& record) {
  ParameterDescriptor* item = FindParam(list, record.NameRu);
  if (!item) item = &list.Add();
  item->Name = record.NameRu;
  item->AltName = record.NameEn;
  item->Caption = record.Caption;
  item->TypeName = record.TypeName;
  item->ReadOnly = record.ReadOnly ? 1 : 0;
  item->DefaultText = record.DefaultValue;
  item->Hint = LimitHint(record.Hint);
  item->ValueText = item->DefaultText;
  return *item;
}

}  // namespace labelplu
