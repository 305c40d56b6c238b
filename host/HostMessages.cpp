#include "host/HostMessages.h"

namespace labelplu::host {

namespace {

using enum HostMessage;

constexpr HostMessageRow kRows[] = {
    {TryHelp, "Try 'labelhost --help'.", "Справка: 'labelhost --help'."},
    {CsvLineError, "CSV file \"%s\", line %d: %s", "CSV-файл \"%s\", строка %d: %s"},
    {CsvQuoteNeverClosed, "a quoted field is never closed", "поле в кавычках не закрыто"},
    {CsvAfterClosingQuote, "unexpected character after a closing quote",
     "лишний символ после закрывающей кавычки"},
    {CsvQuoteInUnquotedField, "a quote inside an unquoted field",
     "кавычка внутри поля без кавычек"},
    {CsvNotUtf8,
     "byte 0x%s is not UTF-8 (a file saved in Windows-1251 reads with --encoding cp1251 or auto)",
     "байт 0x%s не относится к UTF-8 (файл в кодировке Windows-1251 читается с --encoding cp1251 "
     "или auto)"},
    {CsvNoHeader, "CSV file \"%s\" has no header row", "в CSV-файле \"%s\" нет строки заголовка"},
    {CsvFieldCount, "%d fields where the header has %d", "полей %d, а в заголовке %d"},
    {CsvNoRecords,
     "CSV file \"%s\" has a header and no records: nothing printed. Add one line per label "
     "below the header.",
     "в CSV-файле \"%s\" есть заголовок, но нет ни одной записи: ничего не напечатано. Добавьте "
     "под заголовком по строке на каждую этикетку."},
    {CsvReadAsCp1251, "read %s as Windows-1251 (it is not valid UTF-8)",
     "файл %s прочитан как Windows-1251 (это не UTF-8)"},
    {EncodingValues, "--encoding takes auto, utf-8 or cp1251",
     "--encoding принимает auto, utf-8 или cp1251"},
};

static_assert(std::size(kRows) == static_cast<size_t>(HostMessage::Count),
              "every host message needs its row");

}  // namespace

std::span<const HostMessageRow> HostMessageRows() {
  return kRows;
}

std::string_view HostMessagePattern(HostMessage id) {
  const HostMessageRow& row = kRows[static_cast<size_t>(id)];
  return UserLanguageIsRussian() ? row.Russian : row.English;
}

}  // namespace labelplu::host
