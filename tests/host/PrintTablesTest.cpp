// The tables of `labelhost print` from CSV text, and a template's size.
#include <gtest/gtest.h>

#include "host/HostError.h"
#include "host/PrintCommand.h"
#include "tests/support/TempDir.h"

namespace labelplu::host {
namespace {

using Rows = std::vector<std::vector<std::string>>;

TEST(PrintTablesTest, ReadsCommaAndSemicolonFilesAlike) {
  struct Case {
    const char* what;
    std::string text;
  };
  const Case cases[] = {
      {"comma, LF", "Наименование,Цена\nМолоко,\"89,90\"\n\"Хлеб \"\"x\"\"\",45\n"},
      {"semicolon, BOM, CRLF",
       "\xEF\xBB\xBFНаименование;Цена\r\nМолоко;89,90\r\n\"Хлеб \"\"x\"\"\";45"},
      {"blank lines are skipped",
       "Наименование,Цена\n\nМолоко,\"89,90\"\n\n\"Хлеб \"\"x\"\"\",45\n\n"},
      {"tab, blanks around the fields",
       "Наименование \t Цена\nМолоко\t 89,90 \n \"Хлеб \"\"x\"\"\"\t45\n"},
      {"Windows-1251",
       "\xCD\xE0\xE8\xEC\xE5\xED\xEE\xE2\xE0\xED\xE8\xE5;"
       "\xD6\xE5\xED\xE0\r\n\xCC\xEE\xEB\xEE\xEA\xEE;89,90\r\n\"\xD5\xEB\xE5\xE1 "
       "\"\"x\"\"\";45\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const PrintTables tables = TablesFromCsv(c.text, "goods.csv");
    EXPECT_EQ(tables.FieldNames, (std::vector<std::string>{"Наименование", "Цена"}));
    EXPECT_EQ(tables.Records, (Rows{{"Молоко", "89,90"}, {"Хлеб \"x\"", "45"}}));
  }
  // A quoted field may span lines.
  const PrintTables multiline = TablesFromCsv("A,B\n\"one\ntwo\",3\n", "x.csv");
  EXPECT_EQ(multiline.Records, (Rows{{"one\ntwo", "3"}}));
}

TEST(PrintTablesTest, AHeaderWithoutRecordsGivesNoRecords) {
  for (const char* text :
       {"Наименование,Цена\n", "Наименование,Цена", "Наименование;Цена\r\n\r\n \n"}) {
    SCOPED_TRACE(text);
    const PrintTables tables = TablesFromCsv(text, "head.csv");
    EXPECT_EQ(tables.FieldNames, (std::vector<std::string>{"Наименование", "Цена"}));
    EXPECT_TRUE(tables.Records.empty());
  }
}

// Spreadsheets and hand edits leave empty lines above the header; the
// header below them still names the fields and judges the separator.
TEST(PrintTablesTest, BlankLinesAboveTheHeaderAreSkipped) {
  // "Наименование;Цена", "Молоко;89,90" in Windows-1251 below a blank line.
  const char* const kWindows1251 =
      "\r\n\xCD\xE0\xE8\xEC\xE5\xED\xEE\xE2\xE0\xED\xE8\xE5;"
      "\xD6\xE5\xED\xE0\r\n\xCC\xEE\xEB\xEE\xEA\xEE;89,90\r\n";
  const char* const texts[] = {
      "\n\nНаименование;Цена\nМолоко;89,90\n",
      "\r\n   \r\n\xC2\xA0\t\r\nНаименование\tЦена\r\nМолоко\t89,90\r\n",
      ";;\n ; ;\nНаименование;Цена\n\nМолоко;89,90",
      "\xEF\xBB\xBF\n\"Наименование\",\"Цена\"\nМолоко,\"89,90\"\n",
      kWindows1251,
  };
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    const PrintTables tables = TablesFromCsv(text, "goods.csv");
    EXPECT_EQ(tables.FieldNames, (std::vector<std::string>{"Наименование", "Цена"}));
    EXPECT_EQ(tables.Records, (Rows{{"Молоко", "89,90"}}));
  }
}

TEST(PrintTablesTest, MalformedFilesNameTheirLine) {
  struct Case {
    std::string text;
    std::string line;
  };
  const Case cases[] = {
      {"A,B\n1,2\n3,4,5\n", "line 3"},     // too many fields
      {"A,B\n\"x\ny\",2\n3\n", "line 4"},  // the row after a two-line field
      {"A,B\n1,2\n3,\"open\n", "line 3"},  // a quote never closed
      {"A,B\n1,x\"y\n", "line 2"},         // a quote inside a field
      {"", "no header"},
      {"\n \n;;\r\n", "no header"},                       // only blank lines
      {"\n \nA;B\n1;2\n\n3\n", "line 6"},                 // lines above the header count
      {"\r\n\"\"\r\nA,B\r\n\"x\ny\",2,3\r\n", "line 4"},  // the row's first line
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      TablesFromCsv(c.text, "bad.csv");
      ADD_FAILURE() << "accepted";
    } catch (const HostError& e) {
      EXPECT_NE(std::string(e.what()).find(c.line), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find("bad.csv"), std::string::npos) << e.what();
    }
  }
}

TEST(PrintTablesTest, TemplateSizeAsTheDriverReadsIt) {
  test::TempDir dir;
  struct Case {
    std::string root;
    double width, height;
  };
  const Case cases[] = {
      {"<Label Width=\"58\" Height=\"40\">", 58, 40},
      {"<Label Width=\"43,5\" Height=\"25.5\">", 43.5, 25.5},
      {"<Label Height=\"x\">", 50, 50},
      {"<Label Width=\"-3\" Height=\"1e9\">", 50, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.root);
    // Windows-1251 text after the root ("Цена" in that encoding).
    const auto path = dir.Write("t.lb3", "<?xml version=\"1.0\" encoding=\"windows-1251\"?>" +
                                             c.root + "<Item>\xD6\xE5\xED\xE0</Item></Label>");
    double width = 0, height = 0;
    TemplateSize(path.string(), width, height);
    EXPECT_DOUBLE_EQ(width, c.width);
    EXPECT_DOUBLE_EQ(height, c.height);
  }
  double width = 0, height = 0;
  // A template saved as UTF-8 with a byte order mark, as the driver reads it.
  TemplateSize(dir.Write("u.lb3",
                         "\xEF\xBB\xBF<?xml version=\"1.0\"?><Label Width=\"30\" "
                         "Height=\"20\"><Item>Цена</Item></Label>")
                   .string(),
               width, height);
  EXPECT_DOUBLE_EQ(width, 30);
  EXPECT_DOUBLE_EQ(height, 20);
  EXPECT_THROW(TemplateSize(dir.Write("n.lb3", "<Other/>").string(), width, height), HostError);
  EXPECT_THROW(TemplateSize((dir.Path() / "none.lb3").string(), width, height), HostError);
}

}  // namespace
}  // namespace labelplu::host
