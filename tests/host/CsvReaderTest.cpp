#include "host/CsvReader.h"

#include <gtest/gtest.h>

#include "host/HostError.h"

namespace labelplu::host {
namespace {

struct CsvCase {
  const char* text;
  CsvRows rows;
};

TEST(CsvReader, SplitsRecordsAndFields) {
  const CsvCase cases[] = {
      {"", {}},
      {"a,b\r\nc,d\r\n", {{"a", "b"}, {"c", "d"}}},
      {"a,b", {{"a", "b"}}},
      {"\xEF\xBB\xBFИмя,Цена\n", {{"Имя", "Цена"}}},
      {"\"x,y\",\"he said \"\"hi\"\"\"\n", {{"x,y", "he said \"hi\""}}},
      {"\"line 1\r\nline 2\",z", {{"line 1\r\nline 2", "z"}}},
      {"\"\",x", {{"", "x"}}},
      {"a,\n,b", {{"a", ""}, {"", "b"}}},
      {"x,", {{"x", ""}}},
      {"a\n\nb\n", {{"a"}, {""}, {"b"}}},
      {"a\rb", {{"a"}, {"b"}}},
      {"one\ntwo,three,four\n", {{"one"}, {"two", "three", "four"}}},
  };
  for (const CsvCase& c : cases) {
    EXPECT_EQ(ParseCsv(c.text, "t.csv"), c.rows) << c.text;
  }
}

// Blanks around unquoted fields are what a person types after a separator
// or a spreadsheet leaves after a number; inside quotes they are data.
TEST(CsvReader, TrimsBlanksOutsideQuotes) {
  const struct {
    const char* text;
    char delimiter;
    CsvRows rows;
  } cases[] = {
      {"Наименование; Цена \n Хлеб ;45\n", ';', {{"Наименование", "Цена"}, {"Хлеб", "45"}}},
      {"a,\tb\t, c d ", ',', {{"a", "b", "c d"}}},
      {"\xC2\xA0"
       "a\xC2\xA0,b\xC2\xA0\xC2\xA0\xC2\xA0",
       ',',
       {{"a", "b"}}},
      {"\" a \",\"\t\"", ',', {{" a ", "\t"}}},
      {"  \"x;y\"  ;  \"\"  ", ';', {{"x;y", ""}}},
      {"a, ,b\n   \n", ',', {{"a", "", "b"}, {""}}},
      // With tab between the fields a tab is a separator, never a blank.
      {"a\t\tb \n\t c", '\t', {{"a", "", "b"}, {"", "c"}}},
      {"1\xC2\xA0"
       "234,5",
       ',',
       {{"1\xC2\xA0"
         "234",
         "5"}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseCsv(c.text, "t.csv", c.delimiter), c.rows) << c.text;
  }
}

TEST(CsvReader, DelimiterIsJudgedByTheHeader) {
  const struct {
    const char* text;
    char delimiter;
  } cases[] = {
      {"a,b,c\nx;y;z;w", ','},
      {"a;b,c;d\n", ';'},
      {"a;b,c\n", ','},
      {"\"a;b;c\",d\n", ','},
      {"Наименование\tЦена\n", '\t'},
      {"Цена, руб\tКол-во\n", '\t'},
      {"a\tb;c;d\n", ';'},
      {"single\n", ','},
      {"\uFEFFa\tb", '\t'},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DetectCsvDelimiter(c.text), c.delimiter) << c.text;
  }
}

TEST(CsvReader, DecodesUtf8AndWindows1251) {
  // "Цена" in Windows-1251; "Ёж №1" holds bytes above 0xA0 and below 0xC0.
  const std::string cp1251 = "\xD6\xE5\xED\xE0";
  const std::string hedgehog =
      "\xA8\xE6 \xB9"
      "1";
  const struct {
    std::string bytes;
    CsvEncoding encoding;
    std::string text;
    CsvEncoding chosen;
  } cases[] = {
      {"Цена", CsvEncoding::Auto, "Цена", CsvEncoding::Utf8},
      {"\xEF\xBB\xBFЦена", CsvEncoding::Auto, "Цена", CsvEncoding::Utf8},
      {"plain", CsvEncoding::Auto, "plain", CsvEncoding::Utf8},
      {cp1251, CsvEncoding::Auto, "Цена", CsvEncoding::Cp1251},
      {hedgehog, CsvEncoding::Auto, "Ёж №1", CsvEncoding::Cp1251},
      {"\xEF\xBB\xBFЦена", CsvEncoding::Utf8, "Цена", CsvEncoding::Utf8},
      {cp1251, CsvEncoding::Cp1251, "Цена", CsvEncoding::Cp1251},
      // Told so, valid UTF-8 bytes are read as Windows-1251 too.
      {"Ц", CsvEncoding::Cp1251, "Р¦", CsvEncoding::Cp1251},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    CsvEncoding chosen = CsvEncoding::Auto;
    EXPECT_EQ(DecodeCsv(c.bytes, c.encoding, "t.csv", &chosen), c.text);
    EXPECT_EQ(chosen, c.chosen);
  }
  try {
    DecodeCsv("Наименование,Цена\r\nМолоко," + cp1251 + "\n", CsvEncoding::Utf8, "t.csv");
    ADD_FAILURE() << "accepted";
  } catch (const HostError& e) {
    EXPECT_STREQ(e.what(),
                 "CSV file \"t.csv\", line 2: byte 0xD6 is not UTF-8 (a file saved in "
                 "Windows-1251 reads with --encoding cp1251 or auto)");
  }
}

TEST(CsvReader, EncodingNames) {
  EXPECT_EQ(CsvEncodingFromName("auto"), CsvEncoding::Auto);
  EXPECT_EQ(CsvEncodingFromName("UTF-8"), CsvEncoding::Utf8);
  EXPECT_EQ(CsvEncodingFromName("utf8"), CsvEncoding::Utf8);
  EXPECT_EQ(CsvEncodingFromName("cp1251"), CsvEncoding::Cp1251);
  EXPECT_EQ(CsvEncodingFromName("Windows-1251"), CsvEncoding::Cp1251);
  EXPECT_EQ(CsvEncodingFromName("koi8-r"), std::nullopt);
  EXPECT_EQ(CsvEncodingFromName(""), std::nullopt);
}

TEST(CsvReader, MalformedTextNamesTheLine) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"a\"b", "CSV file \"t.csv\", line 1: a quote inside an unquoted field"},
      {"ok\n\"ab\"c", "CSV file \"t.csv\", line 2: unexpected character after a closing quote"},
      {"x\n\"never", "CSV file \"t.csv\", line 2: a quoted field is never closed"},
      {"\"a\nb\"\nc\"d", "CSV file \"t.csv\", line 3: a quote inside an unquoted field"},
  };
  for (const auto& c : cases) {
    try {
      ParseCsv(c.text, "t.csv");
      ADD_FAILURE() << "no error for " << c.text;
    } catch (const HostError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

TEST(CsvReader, MissingFileIsNamed) {
  try {
    ReadCsvFile("/nonexistent/data.csv");
    FAIL();
  } catch (const HostError& e) {
    EXPECT_NE(std::string(e.what()).find("\"/nonexistent/data.csv\""), std::string::npos);
  }
}

}  // namespace
}  // namespace labelplu::host
