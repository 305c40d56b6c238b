// labelplu: published properties as text.
#include "label/PropText.h"

#include <charconv>
#include <cmath>

#include "base/TextUtils.h"
#include "platform/ole/VarFormat.h"

namespace labelplu {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

[[noreturn]] void Fail(const PropertyInfo& prop, std::string_view text, std::string_view why) {
  throw PropertyError("property \"" + std::string(prop.Name) + "\": \"" + std::string(text) +
                      "\" " + std::string(why));
}

int64_t ParseSet(const PropertyInfo& prop, std::string_view text) {
  std::string_view rest = Trim(text);
  if (!rest.empty() && rest.front() == '[') {
    if (rest.back() != ']') Fail(prop, text, "is not a set");
    rest = Trim(rest.substr(1, rest.size() - 2));
  }
  int64_t mask = 0;
  while (!rest.empty()) {
    const size_t comma = rest.find(',');
    const std::string_view name = Trim(rest.substr(0, comma));
    const int32_t member = FindEnumName(*prop.Type, name);
    if (member < 0)
      Fail(prop, text, "names a member that " + std::string(prop.Type->TypeName) + " lacks");
    mask |= int64_t{1} << member;
    if (comma == std::string_view::npos) break;
    rest = rest.substr(comma + 1);
    if (Trim(rest).empty()) Fail(prop, text, "is not a set");
  }
  return mask;
}

void ApplyText(PublishedObject& object, const PropertyInfo& prop, std::string_view text) {
  if (text.empty() && prop.Kind != PropertyKind::String) return;
  switch (prop.Kind) {
    case PropertyKind::Integer: {
      int64_t v = 0;
      if (!ParseIntegerText(text, v)) Fail(prop, text, "is not an integer");
      if (static_cast<double>(v) < prop.Min || static_cast<double>(v) > prop.Max)
        Fail(prop, text, "is out of range");
      prop.SetOrd(object, v);
      return;
    }
    case PropertyKind::Real: {
      double v = 0;
      if (!ParseRealText(text, v)) Fail(prop, text, "is not a number");
      if (v < prop.Min || v > prop.Max) Fail(prop, text, "is out of range");
      prop.SetReal(object, v);
      return;
    }
    case PropertyKind::Enumeration: {
      const int32_t ordinal = FindEnumName(*prop.Type, text);
      if (ordinal < 0) Fail(prop, text, "is not a value of " + std::string(prop.Type->TypeName));
      prop.SetOrd(object, ordinal);
      return;
    }
    case PropertyKind::Set:
      prop.SetOrd(object, ParseSet(prop, text));
      return;
    case PropertyKind::String:
      prop.SetString(object, std::string(text));
      return;
    case PropertyKind::Object:
      return;
  }
}

}  // namespace

const PropertyInfo* FindProperty(const PublishedObject& object, std::string_view name) {
  for (const PropertyInfo& prop : object.Properties())
    if (SameTextAscii(prop.Name, name)) return &prop;
  return nullptr;
}

void SetPropText(PublishedObject* object, std::string_view path, std::string_view text) {
  if (object == nullptr) return;
  const size_t dot = path.find('.');
  if (dot != std::string_view::npos) {
    const PropertyInfo* head = FindProperty(*object, path.substr(0, dot));
    if (head == nullptr || head->Kind != PropertyKind::Object) return;
    SetPropText(&head->GetObject(*object), path.substr(dot + 1), text);
    return;
  }
  const PropertyInfo* prop = FindProperty(*object, path);
  if (prop == nullptr && SameTextAscii(path, "Value"))
    prop = FindProperty(*object, "ValueFileName");
  if (prop == nullptr) return;
  ApplyText(*object, *prop, text);
}

std::string GetPropText(const PublishedObject* object, std::string_view name) {
  if (object == nullptr) return {};
  const size_t dot = name.find('.');
  if (dot != std::string_view::npos) {
    const PropertyInfo* head = FindProperty(*object, name.substr(0, dot));
    if (head == nullptr || head->Kind != PropertyKind::Object) return {};
    return GetPropText(&head->GetObject(*object), name.substr(dot + 1));
  }
  const PropertyInfo* prop = FindProperty(*object, name);
  return prop == nullptr ? std::string() : PropertyText(*object, *prop);
}

std::string PropertyText(const PublishedObject& object, const PropertyInfo& prop) {
  switch (prop.Kind) {
    case PropertyKind::Integer:
      return std::to_string(prop.GetOrd(object));
    case PropertyKind::Real:
      return FormatRealText(prop.GetReal(object));
    case PropertyKind::Enumeration: {
      const int64_t ordinal = prop.GetOrd(object);
      if (ordinal >= 0 && static_cast<size_t>(ordinal) < prop.Type->Names.size())
        return std::string(prop.Type->Names[static_cast<size_t>(ordinal)]);
      return std::to_string(ordinal);  // an ordinal the type does not name
    }
    case PropertyKind::Set:
      return FormatSetText(*prop.Type, prop.GetOrd(object));
    case PropertyKind::String:
      return prop.GetString(object);
    case PropertyKind::Object:
      return {};
  }
  return {};
}

std::string FormatRealText(double value) {
  double rounded = std::round(value * 1000.0) / 1000.0;
  if (!std::isfinite(rounded)) rounded = value;  // |value| beyond 1e305: keep as it is
  if (rounded == 0) rounded = 0;                 // no "-0"
  return ole::FloatToText(rounded);
}

bool ParseRealText(std::string_view text, double& value) {
  std::string s(text);
  for (char& c : s)
    if (c == '.') c = ',';
  double v = 0;
  if (!ole::TextToFloat(s, v) || !std::isfinite(v)) return false;
  value = v;
  return true;
}

bool ParseIntegerText(std::string_view text, int64_t& value) {
  std::string_view s = Trim(text);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.empty() || s.front() == '+') return false;
  int64_t v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size()) return false;
  value = v;
  return true;
}

int32_t FindEnumName(const EnumInfo& type, std::string_view name) {
  name = Trim(name);
  for (size_t i = 0; i < type.Names.size(); ++i)
    if (SameTextAscii(type.Names[i], name)) return static_cast<int32_t>(i);
  return -1;
}

std::string FormatSetText(const EnumInfo& memberType, int64_t mask) {
  std::string text;
  for (size_t i = 0; i < memberType.Names.size() && i < 63; ++i) {
    if ((mask & (int64_t{1} << i)) == 0) continue;
    if (!text.empty()) text += ',';
    text += memberType.Names[i];
  }
  return text;
}

}  // namespace labelplu
