#include "host/CsvReader.h"

#include "host/FileText.h"
#include "host/HostError.h"

namespace labelplu::host {

namespace {

[[noreturn]] void Fail(const std::string& source, int line, const std::string& what) {
  throw HostError("CSV file \"" + source + "\", line " + std::to_string(line) + ": " + what);
}

}  // namespace

char DetectCsvDelimiter(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  size_t commas = 0;
  size_t semicolons = 0;
  bool quoted = false;
  for (const char c : text) {
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted) {
      if (c == '\n' || c == '\r') break;
      if (c == ',') ++commas;
      if (c == ';') ++semicolons;
    }
  }
  return semicolons > commas ? ';' : ',';
}

CsvRows ParseCsv(std::string_view text, const std::string& sourceName, char delimiter,
                 std::vector<int>* rowLines) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
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

  int rowLine = 1;
  while (i < n) {
    if (row.empty() && field.empty()) rowLine = line;
    // At the start of a field.
    if (text[i] == '"') {
      const int startLine = line;
      ++i;
      for (;;) {
        if (i >= n) Fail(sourceName, startLine, "a quoted field is never closed");
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
      if (i < n && text[i] != delimiter && !isLineEnd(i)) {
        Fail(sourceName, line, "unexpected character after a closing quote");
      }
    } else {
      while (i < n && text[i] != delimiter && !isLineEnd(i)) {
        if (text[i] == '"') Fail(sourceName, line, "a quote inside an unquoted field");
        field += text[i];
        ++i;
      }
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

CsvRows ReadCsvFile(const std::string& path) {
  return ParseCsv(ReadFileBytes(path), path);
}

}  // namespace labelplu::host
