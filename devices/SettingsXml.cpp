// labelplu: the vocabulary of the settings documents.
#include "devices/SettingsXml.h"

#include "base/Errors.h"
#include "platform/xml/XmlHelpers.h"

namespace labelplu {

// ---- Vocabulary ----

std::string GetNodeName(int32_t key) {
  if (key < kFirstNodeKey || key > kLastNodeKey)
    RaiseMessage("Индекс имени узла за пределами границы.");
  const TagEntry& item = NodeNames()[static_cast<size_t>(key - kFirstNodeKey)];
  if (item.Index != key) RaiseMessage("Нарушение индекса списка имени узлов");
  return std::string(item.Name);
}

std::string GetAttrName(int32_t key) {
  if (key < kFirstAttrKey || key > kLastAttrKey)
    RaiseMessage("Индекс имени аттрибута за пределами границы.");
  const TagEntry& item = AttributeNames()[static_cast<size_t>(key - kFirstAttrKey)];
  if (item.Index != key) RaiseMessage("Нарушение индекса списка имени аттрибутов");
  return std::string(item.Name);
}

xml::XmlNode CreateElementByTag(const xml::XmlDocument& doc, int32_t nodeKey) {
  return doc.createElement(GetNodeName(nodeKey));
}

xml::XmlNodeList SelectNodesByTag(const xml::XmlNode& context, int32_t nodeKey,
                                  std::string_view suffix, std::string_view argument) {
  std::string path = GetNodeName(nodeKey);
  if (const size_t at = path.find("%s"); at != std::string::npos) path.replace(at, 2, argument);
  path += suffix;
  return context.selectNodes(path);
}

xml::XmlNode SelectSingleNodeByTag(const xml::XmlNode& context, int32_t nodeKey,
                                   std::string_view suffix) {
  return context.selectSingleNode(GetNodeName(nodeKey) + std::string(suffix));
}

void SetAttributesByTag(const xml::XmlNode& element, const std::vector<int32_t>& keys,
                        const std::vector<ole::OleVariant>& values) {
  if (keys.size() != values.size())
    RaiseMessage("Размерности массивов аттрибутов и значений не совпадают");
  for (size_t i = 0; i < keys.size(); ++i)
    element.setAttribute(GetAttrName(keys[i]), values[i].get());
}

std::string GetAttributeByTag(const xml::XmlNode& element, int32_t attrKey, std::string_view def) {
  return GetAttributeDef(element, GetAttrName(attrKey), def);
}

std::string GetAttributeDef(const xml::XmlNode& element, std::string_view name,
                            std::string_view def) {
  if (element.isNull()) return std::string(def);
  return element.getAttribute(name).value_or(std::string(def));
}

// ---- Text helpers ----

void ConvertNameSpelling(std::string& text, int32_t mode) {
  static const std::pair<std::string_view, std::string_view> kPairs[] = {
      {" ФлагТолькоЧтение=", " ФлагТолько4тение="},
      {" ЗначениеПоУмолчанию=", " Зна4ениеПоУмол4анию="},
      {" Значение=", " Зна4ение="},
  };
  // Sections copied unchanged: nothing in them is an attribute name.
  static const std::pair<std::string_view, std::string_view> kOpaque[] = {
      {"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}};
  if (mode != 0 && mode != 1) return;
  // Only names inside a tag are renamed: a quoted value or text content
  // that happens to hold the same letters (a settings document kept as a
  // parameter's value) stays as it is.
  std::string out;
  out.reserve(text.size());
  const std::string_view in = text;
  bool inTag = false;
  char quote = 0;
  size_t i = 0;
  while (i < in.size()) {
    const char c = in[i];
    if (!inTag) {
      if (c == '<') {
        bool opaque = false;
        for (const auto& [open, close] : kOpaque) {
          if (!in.substr(i).starts_with(open)) continue;
          const size_t end = in.find(close, i + open.size());
          const size_t stop = end == std::string_view::npos ? in.size() : end + close.size();
          out.append(in.substr(i, stop - i));
          i = stop;
          opaque = true;
          break;
        }
        if (opaque) continue;
        inTag = true;
      }
      out += c;
      ++i;
      continue;
    }
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      inTag = false;
    } else if (c == ' ') {
      bool renamed = false;
      for (const auto& [ordinary, digit] : kPairs) {
        const std::string_view from = mode == 0 ? ordinary : digit;
        if (!in.substr(i).starts_with(from)) continue;
        out.append(mode == 0 ? digit : ordinary);
        i += from.size();
        renamed = true;
        break;
      }
      if (renamed) continue;
    }
    out += c;
    ++i;
  }
  text = std::move(out);
}

std::string EscapeNewLines(std::string_view text, bool encode) {
  if (text.empty()) return std::string();
  if (encode) return xml::ReplaceAll(text, "\r\n", "\\n", true);
  const bool drivePath = text.size() >= 3 && text.substr(1, 2) == ":\\";
  const bool networkPath = text.size() >= 2 && text.substr(0, 2) == "\\\\";
  if (drivePath || networkPath) return std::string(text);
  return xml::ReplaceAll(text, "\\n", "\r\n", false);
}

std::string NormalizeGuidText(std::string_view text, bool stripBraces) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<uint8_t>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<uint8_t>(text[end - 1]) <= ' ') --end;
  std::string result(text.substr(begin, end - begin));
  const auto& upper = xml::UpperCaseTable();
  for (char& c : result) c = static_cast<char>(upper[static_cast<uint8_t>(c)]);

  // Lengths count characters: UTF-8 continuation bytes are not counted.
  size_t characters = 0;
  for (const char c : result)
    if ((static_cast<uint8_t>(c) & 0xC0) != 0x80) ++characters;
  if (stripBraces && characters == 38) {
    size_t first = 1;
    while (first < result.size() && (static_cast<uint8_t>(result[first]) & 0xC0) == 0x80) ++first;
    size_t last = result.size() - 1;
    while (last > 0 && (static_cast<uint8_t>(result[last]) & 0xC0) == 0x80) --last;
    return result.substr(first, last - first);
  }
  if (!stripBraces && characters == 36) return "{" + result + "}";
  return result;
}

int32_t IndexOfInt(std::span<const int32_t> values, int32_t value) {
  for (size_t i = 0; i < values.size(); ++i)
    if (values[i] == value) return static_cast<int32_t>(i);
  return -1;
}

}  // namespace labelplu
