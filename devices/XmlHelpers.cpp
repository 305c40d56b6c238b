// labelplu: the XML document helpers of the settings code.
#include "devices/XmlHelpers.h"

#include <cstdio>
#include <stdexcept>

#include "base/Errors.h"

namespace labelplu {

// ---- Documents ----

xml::XmlDocument CreateXmlDocument() {
  xml::XmlDocument doc;
  doc.setProperty("SelectionLanguage", "XPath");
  return doc;
}

xml::XmlDocument NewXmlDocument(std::string_view rootName, std::string_view declaration) {
  xml::XmlDocument doc = CreateXmlDocument();
  if (!declaration.empty())
    doc.insertBefore(doc.createProcessingInstruction("xml", declaration), doc.documentElement());
  if (!rootName.empty()) doc.setDocumentElement(doc.createElement(rootName));
  doc.setAsync(false);
  return doc;
}

std::string Utf16Declaration() {
  return "version=\"1.0\" encoding=\"UTF-16\"";
}

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

void FormatXmlText(std::string& text) {
  static const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"windows-1251\"?>";
  // Positions are 1-based in what follows, as the algorithm is stated.
  const size_t p0 = text.find("<?");
  const size_t q0 = text.find("?>");
  if (p0 == std::string::npos && q0 == std::string::npos) {
    text.insert(0, kDeclaration);
  } else if (p0 != std::string::npos && q0 != std::string::npos) {
    const size_t p = p0 + 1;
    const size_t q = q0 + 1;
    if (q + 1 >= p) text.erase(p - 1, q + 1 - p + 1);
    text.insert(p - 1, kDeclaration);
  }

  text = ReplaceAll(text, "\r\n", "", true);

  auto at = [&text](size_t i) { return text[i - 1]; };
  int level = 0;
  bool closing = false;
  size_t i = 2;
  while (text.size() >= 1 && i < text.size() - 1) {
    ++i;
    if (at(i) == '<') {
      if (at(i + 1) == '/') {
        --level;
        closing = true;
      }
      std::string lineBreak = "\r\n";
      if (level > 0) lineBreak.append(static_cast<size_t>(level), '\t');
      text.insert(i - 1, lineBreak);
      i += lineBreak.size();
    } else if (at(i) == '>') {
      if (at(i - 1) != '/' && at(i - 1) != '?') ++level;
      if (closing) --level;
      closing = false;
    }
  }
}

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

void RequireXmlWritable(std::string_view text, std::string_view what) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<uint8_t>(text[i]);
    uint32_t bad = 0;
    if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') {
      bad = byte;
    } else if (byte == 0xEF &&
               (text.substr(i + 1, 2) == "\xBF\xBE" || text.substr(i + 1, 2) == "\xBF\xBF")) {
      bad = text[i + 2] == '\xBE' ? 0xFFFE : 0xFFFF;
    } else {
      continue;
    }
    char code[8];
    std::snprintf(code, sizeof code, "%04X", static_cast<unsigned>(bad));
    throw std::invalid_argument(std::string(what) + " holds the character U+" + code +
                                ", which a settings document cannot hold");
  }
}

const std::array<uint8_t, 256>& UpperCaseTable() {
  static const std::array<uint8_t, 256> table = [] {
    std::array<uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i)
      t[i] = static_cast<uint8_t>(i >= 'a' && i <= 'z' ? i - 'a' + 'A' : i);
    return t;
  }();
  return table;
}

std::array<size_t, 256> BuildShiftTable(std::string_view pattern, bool caseSensitive) {
  if (pattern.empty()) throw std::invalid_argument("BufferLen is 0");
  const auto& upper = UpperCaseTable();
  std::array<size_t, 256> table;
  table.fill(pattern.size());
  for (size_t k = 0; k + 1 < pattern.size(); ++k) {
    const auto byte = static_cast<uint8_t>(pattern[k]);
    table[caseSensitive ? byte : upper[byte]] = pattern.size() - 1 - k;
  }
  return table;
}

std::string ReplaceAll(std::string_view source, std::string_view pattern,
                       std::string_view replacement, bool caseSensitive) {
  if (source.empty()) return std::string();
  const std::array<size_t, 256> shift = BuildShiftTable(pattern, caseSensitive);
  const auto& upper = UpperCaseTable();
  auto key = [&](char c) {
    const auto byte = static_cast<uint8_t>(c);
    return caseSensitive ? byte : upper[byte];
  };
  const size_t n = source.size();
  const size_t m = pattern.size();

  // Pre-sized for the worst case, but never more than a megabyte beyond the
  // source: a long replacement of a short pattern in a large text would
  // otherwise reserve memory out of all proportion to the actual result.
  size_t capacity = n;
  if (replacement.size() > m) {
    const long double worst = static_cast<long double>(n) * replacement.size() / m;
    capacity = worst > static_cast<long double>(n + (1u << 20)) ? n + (1u << 20)
                                                                : static_cast<size_t>(worst);
  }
  std::string out(capacity, '\0');
  size_t written = 0;
  auto put = [&](const char* data, size_t length) {
    if (written + length > out.size()) {
      size_t grown = out.size();
      while (written + length > grown) grown = grown + grown / 2 + 1;
      out.resize(grown);
    }
    out.replace(written, length, data, length);
    written += length;
  };

  size_t window = 0;
  size_t copied = 0;
  while (window + m <= n) {
    size_t j = m;
    while (j > 0 && key(source[window + j - 1]) == key(pattern[j - 1])) --j;
    if (j == 0) {
      put(source.data() + copied, window - copied);
      put(replacement.data(), replacement.size());
      window += m;
      copied = window;
    } else {
      window += shift[key(source[window + m - 1])];
    }
  }
  put(source.data() + copied, n - copied);
  out.resize(written);
  return out;
}

std::string EscapeNewLines(std::string_view text, bool encode) {
  if (text.empty()) return std::string();
  if (encode) return ReplaceAll(text, "\r\n", "\\n", true);
  const bool drivePath = text.size() >= 3 && text.substr(1, 2) == ":\\";
  const bool networkPath = text.size() >= 2 && text.substr(0, 2) == "\\\\";
  if (drivePath || networkPath) return std::string(text);
  return ReplaceAll(text, "\\n", "\r\n", false);
}

std::string NormalizeGuidText(std::string_view text, bool stripBraces) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<uint8_t>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<uint8_t>(text[end - 1]) <= ' ') --end;
  std::string result(text.substr(begin, end - begin));
  const auto& upper = UpperCaseTable();
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
