#include "host/CsvReader.h"

#include <algorithm>

#include "base/TextUtils.h"
#include "host/FileText.h"
#include "host/HostError.h"
#include "host/HostMessages.h"
#include "platform/ole/Utf.h"

namespace labelplu::host {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kNoBreakSpace = "\xC2\xA0";

[[noreturn]] void Fail(const std::string& source, int line, const std::string& what) {
  throw HostError(Say(HostMessage::CsvLineError, source, line, what));
}

// The length of the well-formed UTF-8 sequence of two or more bytes at i; 0
// when the byte at i is ASCII or starts no such sequence.
size_t Utf8SequenceAt(std::string_view s, size_t i) {
  const auto lead = static_cast<unsigned char>(s[i]);
  size_t length = 0;
  char32_t cp = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    cp = lead & 0x1Fu;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    cp = lead & 0x0Fu;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    cp = lead & 0x07u;
  } else {
    return 0;
  }
  if (s.size() - i < length) return 0;
  for (size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(s[i + k]);
    if ((next & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (next & 0x3Fu);
  }
  static constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kShortest[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return length;
}

// How a text reads as UTF-8: its multi-byte sequences, the bytes that
// belong to none (a byte that starts no sequence counts alone, and the
// bytes after it are judged afresh), and the offset of the first such byte.
struct Utf8Census {
  size_t Sequences = 0;
  size_t StrayBytes = 0;
  size_t FirstStray = std::string_view::npos;
};

Utf8Census CountUtf8(std::string_view s) {
  Utf8Census census;
  size_t i = 0;
  while (i < s.size()) {
    if (static_cast<unsigned char>(s[i]) < 0x80) {
      ++i;
    } else if (const size_t length = Utf8SequenceAt(s, i)) {
      ++census.Sequences;
      i += length;
    } else {
      if (census.StrayBytes++ == 0) census.FirstStray = i;
      ++i;
    }
  }
  return census;
}

// Whether a text that is not all UTF-8 still holds too much UTF-8 to be
// Windows-1251. Russian text in Windows-1251 forms a valid UTF-8 sequence
// only where a capital letter (0xC2-0xDF) meets a byte of 0x80-0xBF: ё, №,
// quotes, dashes, a non-breaking space ("Мёд", "Рёбрышки", "ЖЁЛТЫЙ",
// «ООО»), and every other Cyrillic byte is stray. Product lists saved in
// Windows-1251 give one such sequence for several hundred stray bytes; a
// line of capitals packed with Ё and guillemets ("ООО «ПЧЁЛКА» — МЁД, ЛЁН,
// ЖЁЛУДИ") one for four. UTF-8 with a damaged byte (a truncated character,
// a byte pasted from another file) is the other way round: a sequence for
// every letter and a few stray bytes. At least as many sequences as stray
// bytes is far from both; such a file is damaged UTF-8 or a mix of the two
// encodings, and either reading would print wrong letters.
bool LooksLikeDamagedUtf8(const Utf8Census& census) {
  return census.Sequences > 0 && census.Sequences >= census.StrayBytes;
}

// The line (from 1) of offset: CRLF, LF and CR each end one line.
int LineAt(std::string_view text, size_t offset) {
  int line = 1;
  for (size_t i = 0; i < offset; ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && !(i + 1 < text.size() && text[i + 1] == '\n'))) {
      ++line;
    }
  }
  return line;
}

std::string HexByte(unsigned char c) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  return {kHex[c >> 4], kHex[c & 15]};
}

// The length of the blank at k (0 when there is none): a space, a
// non-breaking space, or a tab when tab does not separate the fields.
size_t BlankAt(std::string_view text, size_t k, char delimiter) {
  if (k >= text.size()) return 0;
  if (text[k] == ' ' || (text[k] == '\t' && delimiter != '\t')) return 1;
  return text.substr(k, kNoBreakSpace.size()) == kNoBreakSpace ? kNoBreakSpace.size() : 0;
}

void TrimBlankEnd(std::string& field, char delimiter) {
  for (;;) {
    if (!field.empty() && (field.back() == ' ' || (field.back() == '\t' && delimiter != '\t'))) {
      field.pop_back();
    } else if (field.ends_with(kNoBreakSpace)) {
      field.resize(field.size() - kNoBreakSpace.size());
    } else {
      return;
    }
  }
}

}  // namespace

std::optional<CsvEncoding> CsvEncodingFromName(std::string_view name) {
  if (SameTextAscii(name, "auto")) return CsvEncoding::Auto;
  if (SameTextAscii(name, "utf-8") || SameTextAscii(name, "utf8")) return CsvEncoding::Utf8;
  if (SameTextAscii(name, "cp1251") || SameTextAscii(name, "windows-1251")) {
    return CsvEncoding::Cp1251;
  }
  return std::nullopt;
}

std::string DecodeCsv(std::string_view bytes, CsvEncoding encoding, const std::string& sourceName,
                      CsvEncoding* chosen) {
  if (encoding != CsvEncoding::Cp1251) {
    std::string_view text = bytes;
    if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
    const Utf8Census census = CountUtf8(text);
    if (census.StrayBytes == 0) {
      if (chosen) *chosen = CsvEncoding::Utf8;
      return std::string(text);
    }
    const size_t bad = census.FirstStray;
    const std::string byte = HexByte(static_cast<unsigned char>(text[bad]));
    if (encoding == CsvEncoding::Utf8) {
      Fail(sourceName, LineAt(text, bad), Say(HostMessage::CsvNotUtf8, byte));
    }
    if (LooksLikeDamagedUtf8(census)) {
      Fail(sourceName, LineAt(text, bad),
           Say(HostMessage::CsvDamagedUtf8, byte, census.Sequences, census.StrayBytes));
    }
  }
  if (chosen) *chosen = CsvEncoding::Cp1251;
  return ole::Utf16ToUtf8(Cp1251ToUtf16(bytes));
}

char DetectCsvDelimiter(std::string_view text) {
  if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
  size_t commas = 0;
  size_t semicolons = 0;
  size_t tabs = 0;
  bool quoted = false;
  // Whether the line holds more than blanks and separators; lines that do
  // not are passed over, as the header is looked for below them. A text of
  // nothing else is judged by its last such line.
  bool content = false;
  bool lineEnded = false;
  for (const char c : text) {
    if (c != '\n' && c != '\r' && lineEnded) {
      commas = semicolons = tabs = 0;
      lineEnded = false;
    }
    if (c == '"') {
      quoted = !quoted;
      content = true;
    } else if (!quoted) {
      if (c == '\n' || c == '\r') {
        if (content) break;
        lineEnded = true;
      } else if (c == ',') {
        ++commas;
      } else if (c == ';') {
        ++semicolons;
      } else if (c == '\t') {
        ++tabs;
      } else if (c != ' ' && c != kNoBreakSpace[0] && c != kNoBreakSpace[1]) {
        content = true;
      }
    }
  }
  if (tabs > 0 && tabs >= commas && tabs >= semicolons) return '\t';
  return semicolons > commas ? ';' : ',';
}

CsvRows ParseCsv(std::string_view text, const std::string& sourceName, char delimiter,
                 std::vector<int>* rowLines) {
  if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
  if (rowLines) rowLines->clear();

  CsvRows rows;
  std::vector<std::string> row;
  std::string field;
  int line = 1;
  size_t i = 0;
  const size_t n = text.size();

  auto isLineEnd = [&](size_t k) { return k < n && (text[k] == '\n' || text[k] == '\r'); };
  // Steps over one line break (CRLF counts as one) at k.
  auto skipLineEnd = [&](size_t k) {
    if (text[k] == '\r' && k + 1 < n && text[k + 1] == '\n') ++k;
    ++line;
    return k + 1;
  };
  auto skipBlanks = [&] {
    while (const size_t blank = BlankAt(text, i, delimiter)) i += blank;
  };

  int rowLine = 1;
  while (i < n) {
    if (row.empty() && field.empty()) rowLine = line;
    // At the start of a field.
    skipBlanks();
    if (i < n && text[i] == '"') {
      const int startLine = line;
      ++i;
      for (;;) {
        if (i >= n) Fail(sourceName, startLine, Say(HostMessage::CsvQuoteNeverClosed));
        const char c = text[i];
        if (c == '"') {
          if (i + 1 < n && text[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        if (c == '\n' || (c == '\r' && !(i + 1 < n && text[i + 1] == '\n'))) ++line;
        field += c;
        ++i;
      }
      skipBlanks();
      if (i < n && text[i] != delimiter && !isLineEnd(i)) {
        Fail(sourceName, line, Say(HostMessage::CsvAfterClosingQuote));
      }
    } else {
      while (i < n && text[i] != delimiter && !isLineEnd(i)) {
        if (text[i] == '"') Fail(sourceName, line, Say(HostMessage::CsvQuoteInUnquotedField));
        field += text[i];
        ++i;
      }
      TrimBlankEnd(field, delimiter);
    }
    row.push_back(std::move(field));
    field.clear();
    if (i >= n) break;
    if (text[i] == delimiter) {
      ++i;
      // A separator at the very end of the text still opens an empty field.
      if (i >= n) row.emplace_back();
      continue;
    }
    i = skipLineEnd(i);
    if (rowLines) rowLines->push_back(rowLine);
    rows.push_back(std::move(row));
    row.clear();
  }
  if (!row.empty()) {
    if (rowLines) rowLines->push_back(rowLine);
    rows.push_back(std::move(row));
  }
  return rows;
}

CsvRows ReadCsvFile(const std::string& path, CsvEncoding encoding, CsvEncoding* chosen) {
  const std::string text = DecodeCsv(ReadFileBytes(path), encoding, path, chosen);
  return ParseCsv(text, path, DetectCsvDelimiter(text));
}

PrintTables TablesFromCsv(std::string_view bytes, const std::string& sourceName,
                          CsvEncoding encoding, CsvEncoding* chosen) {
  const std::string text = DecodeCsv(bytes, encoding, sourceName, chosen);
  std::vector<int> lines;
  CsvRows rows = ParseCsv(text, sourceName, DetectCsvDelimiter(text), &lines);
  // Spreadsheets and hand edits leave empty lines (or lines of separators)
  // above the header; taken as the header they would name no field.
  const auto isBlank = [](const std::vector<std::string>& row) {
    return std::ranges::all_of(row, [](const std::string& cell) { return cell.empty(); });
  };
  size_t header = 0;
  while (header < rows.size() && isBlank(rows[header])) ++header;
  if (header == rows.size()) throw HostError(Say(HostMessage::CsvNoHeader, sourceName));
  PrintTables tables;
  tables.FieldNames = std::move(rows[header]);
  for (size_t i = header + 1; i < rows.size(); ++i) {
    if (rows[i].size() == 1 && rows[i][0].empty()) continue;
    if (rows[i].size() != tables.FieldNames.size()) {
      Fail(sourceName, lines[i],
           Say(HostMessage::CsvFieldCount, rows[i].size(), tables.FieldNames.size()));
    }
    // Moved, not copied: a large file is held once.
    tables.Records.push_back(std::move(rows[i]));
  }
  return tables;
}

}  // namespace labelplu::host
