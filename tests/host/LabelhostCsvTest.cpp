// `labelhost print` with CSV files as spreadsheets save them: what the
// labels carry is read back from the PDF's text.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "tests/host/LabelhostRun.h"
#include "tests/support/TempDir.h"

namespace labelplu::test {
namespace {

namespace fs = std::filesystem;

std::string PdfText(const fs::path& pdf) {
  std::string text;
  if (FILE* pipe = popen(("pdftotext -layout '" + pdf.string() + "' - 2>/dev/null").c_str(), "r")) {
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    pclose(pipe);
  }
  return text;
}

ProcessResult PrintPriceTags(const TempDir& dir, const fs::path& csv, const fs::path& pdf,
                             std::vector<std::string> extra = {}) {
  std::vector<std::string> args = {"--settings", dir.File("s.xml"), "print", "--template",
                                   SourcePath("samples/templates/price_tag.lb3"), "--data",
                                   csv.string(), "--output", pdf.string(), "--paper", "label",
                                   // Values the data files here do not carry: every
                                   // bound item is fed, so the check lets the job print.
                                   "--set", "Дата упаковки=01.12.2026", "--set", "Артикул=А-0000"};
  args.insert(args.end(), extra.begin(), extra.end());
  return Labelhost(args, "", {}, "C.UTF-8");
}

// A file a spreadsheet on Windows saves: Windows-1251, ';', a blank after
// each separator, CRLF. Its Russian headers bind and its values print; the
// template's sample values (the name of milk, 129,90) do not.
TEST(LabelhostCsvTest, AWindows1251FileBindsItsRussianHeaders) {
  TempDir dir;
  const fs::path pdf = dir.Path() / "labels.pdf";
  const fs::path csv = SourcePath("tests/host/data/goods-cp1251.csv");
  const ProcessResult run = PrintPriceTags(dir, csv, pdf);
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_NE(run.err.find("labelhost: read " + csv.string() +
                         " as Windows-1251 (it is not valid UTF-8)\n"),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.out.find("2 record(s) printed"), std::string::npos) << run.out;
  const std::string text = PdfText(pdf);
  for (const char* printed : {"Сметана 20% 300 г", "45,50", "Сыр \"Российский\" 200 г", "189,00"}) {
    EXPECT_NE(text.find(printed), std::string::npos) << printed << " in\n" << text;
  }
  for (const char* sample : {"Молоко", "129,90", "\uFFFD"}) {
    EXPECT_EQ(text.find(sample), std::string::npos) << sample << " in\n" << text;
  }
}

TEST(LabelhostCsvTest, DataFilesAndWhatTheyPrint) {
  const std::string cp1251 = FileText(SourcePath("tests/host/data/goods-cp1251.csv"));
  struct Case {
    const char* what;
    std::string csv;
    std::vector<std::string> extra;
    int exitCode;
    std::string err;                   // a part of standard error ("": no message of labelhost)
    std::vector<std::string> printed;  // texts on the labels; empty: no PDF
  };
  const Case cases[] = {
      {"UTF-8 with a byte order mark, tabs, blanks",
       "\xEF\xBB\xBFНаименование\t Цена \r\n Кефир 1%\t 59,90\r\n",
       {},
       0,
       "",
       {"Кефир 1%", "59,90"}},
      {"blank lines above the header",
       "\r\n;\r\nНаименование;Цена\r\nКефир 1%;59,90\r\n",
       {},
       0,
       "",
       {"Кефир 1%", "59,90"}},
      {"told Windows-1251", cp1251, {"--encoding", "cp1251"}, 0, "", {"Сметана 20% 300 г"}},
      {"told UTF-8, given Windows-1251",
       cp1251,
       {"--encoding=utf-8"},
       2,
       "line 1: byte 0xCD is not UTF-8 (a file saved in Windows-1251 reads with --encoding "
       "cp1251 or auto)",
       {}},
      {"an encoding it does not know",
       cp1251,
       {"--encoding", "koi8-r"},
       2,
       "labelhost: --encoding takes auto, utf-8 or cp1251",
       {}},
      {"UTF-8 with a byte pasted from Windows-1251",
       "Наименование;Цена\nКефир 1%;59,90\nМолоко;1\xA0"
       "089,90\n",
       {},
       2,
       "data.csv\", line 3: byte 0xA0 is not UTF-8, though the file holds UTF-8 text",
       {}},
      {"a header only", "Наименование;Цена\r\n", {}, 1, "has a header and no records", {}},
      {"a header and blank lines", "Наименование;Цена\n\n  \n\n", {}, 1, "nothing printed", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const fs::path pdf = dir.Path() / "out.pdf";
    const ProcessResult run = PrintPriceTags(dir, dir.Write("data.csv", c.csv), pdf, c.extra);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.out << run.err;
    if (c.err.empty()) {
      EXPECT_EQ(run.err.find("labelhost:"), std::string::npos) << run.err;
    } else {
      EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    }
    if (c.printed.empty()) {
      EXPECT_FALSE(fs::exists(pdf));
      EXPECT_EQ(run.out.find("printed"), std::string::npos) << run.out;
      continue;
    }
    const std::string text = PdfText(pdf);
    for (const std::string& printed : c.printed) {
      EXPECT_NE(text.find(printed), std::string::npos) << printed << " in\n" << text;
    }
    EXPECT_EQ(text.find("129,90"), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace labelplu::test
