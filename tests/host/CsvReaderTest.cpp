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
