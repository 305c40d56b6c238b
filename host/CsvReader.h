// labelplu host: reading comma-separated values (RFC 4180).
#ifndef LABELPLU_HOST_CSVREADER_H
#define LABELPLU_HOST_CSVREADER_H

#include <string>
#include <string_view>
#include <vector>

namespace labelplu::host {

using CsvRows = std::vector<std::vector<std::string>>;

// Splits UTF-8 text into rows of cells. Every record of the text is a row,
// the first (header) row included. Fields are separated by delimiter; records end
// with CRLF, LF or CR; a field enclosed in double quotes may hold commas, line
// breaks and doubled quotes (""), which stand for one quote. A leading UTF-8
// byte order mark is dropped; a line break at the very end adds no row; an
// empty line inside the text is a row with one empty cell. Rows may differ in
// length.
//
// Throws HostError, naming sourceName and the line, for a quote inside an
// unquoted field, a character other than ',' or a line break after a closing
// quote, and a quoted field that is never closed. rowLines, when given,
// receives the line (from 1) on which each row starts.
CsvRows ParseCsv(std::string_view text, const std::string& sourceName, char delimiter = ',',
                 std::vector<int>* rowLines = nullptr);

// The delimiter of a CSV text judged by its first record: ';' when it holds
// more semicolons than commas outside quoted fields, else ','.
char DetectCsvDelimiter(std::string_view text);

// ParseCsv of the whole file at path. Throws HostError naming the file when
// it cannot be read.
CsvRows ReadCsvFile(const std::string& path);

}  // namespace labelplu::host

#endif  // LABELPLU_HOST_CSVREADER_H
