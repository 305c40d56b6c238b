// labelplu host: reading comma-separated values as spreadsheets write them
// (RFC 4180, in UTF-8 or Windows-1251, with ',' ';' or tab between fields).
#ifndef LABELPLU_HOST_CSVREADER_H
#define LABELPLU_HOST_CSVREADER_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace labelplu::host {

using CsvRows = std::vector<std::vector<std::string>>;

// The character encoding of a CSV file.
enum class CsvEncoding {
  // Valid UTF-8 (with or without a byte order mark) is UTF-8, text with
  // hardly any valid UTF-8 sequences Windows-1251; text in between (as many
  // valid multi-byte sequences as bytes that are not UTF-8, or more) is
  // damaged UTF-8 or a mix and is refused.
  Auto,
  Utf8,
  Cp1251,
};

// The encoding a command line names: "auto", "utf-8" or "utf8", "cp1251" or
// "windows-1251", in any letter case; nullopt for another name.
std::optional<CsvEncoding> CsvEncodingFromName(std::string_view name);

// The bytes of a CSV file as UTF-8 text. Auto and Utf8 drop a leading UTF-8
// byte order mark; Cp1251 converts every byte (0x98, which the code page
// leaves undefined, becomes U+0098). chosen, when given, receives the
// encoding applied: Utf8 or Cp1251, never Auto.
//
// Throws HostError, naming sourceName and the line of the first byte that
// is not UTF-8, when encoding is Utf8 and the bytes are not valid UTF-8, and
// when encoding is Auto and the bytes hold at least as many valid multi-byte
// UTF-8 sequences as bytes that are not UTF-8 (neither encoding is safe to
// assume: the message tells the user to repair the file or choose one).
std::string DecodeCsv(std::string_view bytes, CsvEncoding encoding, const std::string& sourceName,
                      CsvEncoding* chosen = nullptr);

// Splits UTF-8 text into rows of cells. Every record of the text is a row,
// the first (header) row included. Fields are separated by delimiter; records end
// with CRLF, LF or CR; a field enclosed in double quotes may hold commas, line
// breaks and doubled quotes (""), which stand for one quote. A leading UTF-8
// byte order mark is dropped; a line break at the very end adds no row; an
// empty line inside the text is a row with one empty cell. Rows may differ in
// length.
//
// Blanks (spaces, non-breaking spaces U+00A0 and, unless tab is the
// delimiter, tabs) at either end of an unquoted field are dropped, so
// "Name; Price" names the fields "Name" and "Price". A quoted field keeps
// every character between its quotes; blanks outside the quotes are dropped.
//
// Throws HostError, naming sourceName and the line, for a quote inside an
// unquoted field, a character other than the delimiter, a blank or a line
// break after a closing quote, and a quoted field that is never closed.
// rowLines, when given, receives the line (from 1) on which each row starts.
CsvRows ParseCsv(std::string_view text, const std::string& sourceName, char delimiter = ',',
                 std::vector<int>* rowLines = nullptr);

// The delimiter of a CSV text judged by its first record (after any lines
// of only blanks and separators), outside quoted fields: tab when it holds
// at least one tab and no more commas or semicolons than tabs (header texts
// hold commas, hardly ever tabs), else ';' when it holds more semicolons
// than commas, else ','.
char DetectCsvDelimiter(std::string_view text);

// The rows of the CSV file at path: DecodeCsv, DetectCsvDelimiter and
// ParseCsv. chosen receives the encoding applied. Throws HostError naming the
// file when it cannot be read, is not in the encoding given or is malformed.
CsvRows ReadCsvFile(const std::string& path, CsvEncoding encoding = CsvEncoding::Auto,
                    CsvEncoding* chosen = nullptr);

// A print job's tables from the bytes of a CSV file: field names (the header
// row) and records (every other row). The bytes are decoded as DecodeCsv
// does (chosen receives the encoding applied) and split on the delimiter
// DetectCsvDelimiter finds. The header is the first row that holds any text:
// lines above it that are empty or hold only blanks and separators are
// skipped. Fully empty lines below it are skipped too, so a file with a
// header and only blank lines has no records. Line numbers in messages
// count every line of the file. Throws HostError naming sourceName for a
// file without a header (empty or blank), text that is not in the encoding
// given, malformed text, and a row with another cell count than the header
// (with the row's line).
struct PrintTables {
  std::vector<std::string> FieldNames;
  std::vector<std::vector<std::string>> Records;
};
PrintTables TablesFromCsv(std::string_view bytes, const std::string& sourceName,
                          CsvEncoding encoding = CsvEncoding::Auto, CsvEncoding* chosen = nullptr);

}  // namespace labelplu::host

#endif  // LABELPLU_HOST_CSVREADER_H
