// labelplu XML DOM: helpers shared by the template and settings code.
#include "platform/xml/XmlHelpers.h"

#include <cstdio>
#include <stdexcept>

namespace labelplu::xml {

// ---- Documents ----

XmlDocument CreateXmlDocument() {
  XmlDocument doc;
  doc.setProperty("SelectionLanguage", "XPath");
  return doc;
}

XmlDocument NewXmlDocument(std::string_view rootName, std::string_view declaration) {
  XmlDocument doc = CreateXmlDocument();
  if (!declaration.empty())
    doc.insertBefore(doc.createProcessingInstruction("xml", declaration), doc.documentElement());
  if (!rootName.empty()) doc.setDocumentElement(doc.createElement(rootName));
  doc.setAsync(false);
  return doc;
}

std::string Utf16Declaration() {
  return "version=\"1.0\" encoding=\"UTF-16\"";
}

// ---- Text ----

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
    for (size_t i = 0; i < t.size(); ++i)
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

}  // namespace labelplu::xml
