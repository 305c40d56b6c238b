#include "host/CsvReader.h"

#include <gtest/gtest.h>

#include <map>

#include "base/TextUtils.h"
#include "host/HostError.h"
#include "platform/ole/Utf.h"
#include "tests/support/TempDir.h"

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
      // Lines of only blanks and separators above the header are passed over.
      {"\n\r\n \xC2\xA0\nA;B\n", ';'},
      {";;;\n,\t\nA\tB,C\n", '\t'},
      {"\n\"\"\nA;B\n", ','},
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

// utf8 as a spreadsheet on Windows saves it: every character in its
// Windows-1251 byte (the table is the reader's own one, turned round).
std::string ToCp1251(std::string_view utf8) {
  static const std::map<char16_t, char> bytes = [] {
    std::map<char16_t, char> table;
    for (int b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      table.emplace(Cp1251ToUtf16(std::string_view(&byte, 1)).at(0), byte);
    }
    return table;
  }();
  std::string out;
  for (const char16_t c : ole::Utf8ToUtf16(utf8)) out += bytes.at(c);
  return out;
}

// Under auto, a file with valid UTF-8 sequences and stray bytes is refused
// only when the sequences are a real share: Windows-1251 text forms some
// sequences by chance (a capital before ё or a guillemet), damaged UTF-8
// keeps one for every letter.
TEST(CsvReader, AutoRefusesDamagedUtf8AndReadsWindows1251) {
  const std::string goods = "Наименование;Цена\nМолоко 3,2%;89,90\nКефир;59,90\n";
  const struct {
    const char* what;
    std::string bytes;
    const char* refusal;  // a part of the message; nullptr: read as Windows-1251
  } cases[] = {
      {"Windows-1251 with a valid pair (Рё)", ToCp1251("Наименование;Цена\nРёбрышки свиные;399\n"),
       nullptr},
      {"Windows-1251, keys as headers, two valid pairs",
       ToCp1251("dsName;dsPrice\nМёд;279\nРёбрышки;399\n"), nullptr},
      {"Windows-1251 in capitals with Ё, guillemets and a dash",
       ToCp1251("ООО «ПЧЁЛКА» — МЁД, ЛЁН, ЖЁЛУДИ\n"), nullptr},
      {"Windows-1251, mostly digits", ToCp1251("Артикул;Цена\n1;2\n3;4\n"), nullptr},
      {"UTF-8 with a byte pasted from Windows-1251 (a non-breaking space)",
       "Наименование;Цена\nМолоко;1\xA0"
       "089,90\n",
       "line 2: byte 0xA0 is not UTF-8"},
      {"UTF-8 cut in the middle of a letter", goods + "Хлеб;4\n\xD0", "line 5: byte 0xD0"},
      {"UTF-8 with a stray continuation byte", "\xEF\xBB\xBF" + goods + "Сы\x80р;189\n",
       "line 4: byte 0x80"},
      {"a UTF-8 header over Windows-1251 records", "Наименование;Цена\n" + ToCp1251("Сметана;45\n"),
       "line 2: byte 0xD1"},
      // № once in UTF-8, once in Windows-1251: a tie is refused.
      {"as many sequences as stray bytes",
       "SKU;Price\n№1;5\n\xB9"
       "2;6\n",
       "line 3: byte 0xB9"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CsvEncoding chosen = CsvEncoding::Auto;
    try {
      const std::string text = DecodeCsv(c.bytes, CsvEncoding::Auto, "t.csv", &chosen);
      EXPECT_EQ(c.refusal, nullptr) << "read as " << text;
      EXPECT_EQ(chosen, CsvEncoding::Cp1251);
      EXPECT_EQ(ToCp1251(text), c.bytes);
    } catch (const HostError& e) {
      ASSERT_NE(c.refusal, nullptr) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.refusal), std::string::npos) << e.what();
    }
  }
  // Refused files stay readable when the user names the encoding.
  const std::string damaged =
      "Наименование;Цена\nМолоко;1\xA0"
      "089,90\n";
  EXPECT_EQ(ToCp1251(DecodeCsv(damaged, CsvEncoding::Cp1251, "t.csv")), damaged);
  try {
    DecodeCsv(damaged, CsvEncoding::Auto, "t.csv");
    ADD_FAILURE() << "accepted";
  } catch (const HostError& e) {
    EXPECT_STREQ(e.what(),
                 "CSV file \"t.csv\", line 2: byte 0xA0 is not UTF-8, though the file holds UTF-8 "
                 "text (characters beyond ASCII: 22, bytes that are not UTF-8: 1): it is damaged "
                 "UTF-8 or a mix of encodings. Repair the file and choose --encoding utf-8, or "
                 "choose --encoding cp1251 if it was saved in Windows-1251");
  }
}

// {"csv": PATH} values of scripts are decoded by the same rule.
TEST(CsvReader, ReadingAFileRefusesDamagedUtf8) {
  test::TempDir dir;
  const auto path = dir.Write("goods.csv", "Наименование,Цена\nМолоко,\xD6\n").string();
  try {
    ReadCsvFile(path);
    ADD_FAILURE() << "accepted";
  } catch (const HostError& e) {
    EXPECT_NE(
        std::string(e.what()).find("\"" + path + "\", line 2: byte 0xD6 is not UTF-8, though"),
        std::string::npos)
        << e.what();
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
