// `labelhost print` and the driver's print methods through the real module.
#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/host/LabelhostRun.h"
#include "tests/support/Scanner.h"
#include "tests/support/TempDir.h"

namespace labelplu::test {
namespace {

namespace fs = std::filesystem;

std::string Run(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    pclose(pipe);
  }
  return text;
}

std::string PdfInfo(const fs::path& pdf, const std::string& key) {
  std::istringstream lines(Run("pdfinfo '" + pdf.string() + "' 2>/dev/null"));
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with(key + ":")) {
      line.erase(0, key.size() + 1);
      line.erase(0, line.find_first_not_of(' '));
      return line;
    }
  }
  return "<none>";
}

// The barcodes goods.csv asks for, each as often as its copy count.
std::vector<std::string> ExpectedCodes() {
  std::vector<std::string> codes;
  std::istringstream lines(FileText(SourcePath("samples/data/goods.csv")));
  std::string line;
  std::getline(lines, line);  // the header
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // The last two fields are never quoted: the code and the copy count.
    const size_t copiesAt = line.rfind(',');
    const size_t codeAt = line.rfind(',', copiesAt - 1);
    const std::string code = line.substr(codeAt + 1, copiesAt - codeAt - 1);
    const std::string copies = line.substr(copiesAt + 1);
    for (int i = copies.empty() ? 1 : std::stoi(copies); i > 0; --i) codes.push_back(code);
  }
  return codes;
}

TEST(LabelhostPrintTest, PrintsTheSampleIntoAPdfOfLabelSize) {
  TempDir dir;
  const fs::path pdf = dir.Path() / "labels.pdf";
  const fs::path settings = dir.Path() / "settings.xml";
  const ProcessResult run =
      Labelhost({"--settings", settings.string(), "print", "--template",
                 SourcePath("samples/templates/price_tag.lb3"), "--data",
                 SourcePath("samples/data/goods.csv"), "--output", pdf.string(), "--paper", "label",
                 "--set", "ДатаУпаковки=01.02.2027"});
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_NE(run.out.find("Result 0: Операция выполнена успешно"), std::string::npos) << run.out;
  EXPECT_EQ(PdfInfo(pdf, "Pages"), std::to_string(ExpectedCodes().size()));
  EXPECT_EQ(PdfInfo(pdf, "Page size"), "164 x 113 pts");
  // The run changed nothing that is kept.
  EXPECT_FALSE(fs::exists(settings));
}

TEST(LabelhostPrintTest, EveryBarcodeOnARasterPrinterDecodesToItsRecord) {
  TempDir dir;
  fs::create_directory(dir.Path() / "pages");
  const ProcessResult run = Labelhost(
      {"--settings", (dir.Path() / "s.xml").string(), "print", "--template",
       SourcePath("samples/templates/price_tag_ean13.lb3"), "--data",
       SourcePath("samples/data/goods.csv"), "--printer",
       "labelplu Raster; file=" + (dir.Path() / "pages/page").string() + "; dpi=203; paper=58x40"});
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  const std::vector<std::string> files = FilesIn(dir.Path() / "pages");
  std::vector<std::string> read;
  for (const std::string& file : files) {
    const QImage page(QString::fromStdString(file));
    read.push_back(Decode(page, Reader::Zbar, Symbology::Ean13));
  }
  EXPECT_EQ(read, ExpectedCodes());
}

// The shelf label's Code 128 carries the article and its DataMatrix the
// EAN, record by record, with the data the demo gives it.
TEST(LabelhostPrintTest, ShelfLabelsWithTheirSampleDataDecode) {
  TempDir dir;
  fs::create_directory(dir.Path() / "pages");
  const std::string data = SourcePath("samples/data/shelf_label.csv");
  const ProcessResult run = Labelhost(
      {"--settings", (dir.Path() / "s.xml").string(), "print", "--template",
       SourcePath("samples/templates/shelf_label.lb3"), "--data", data, "--printer",
       "labelplu Raster; file=" + (dir.Path() / "pages/page").string() + "; dpi=203; paper=58x40"});
  ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
  const std::vector<std::string> files = FilesIn(dir.Path() / "pages");

  std::istringstream lines(FileText(data));
  std::string line;
  std::getline(lines, line);  // the header
  size_t page = 0;
  while (std::getline(lines, line)) {
    // Name (maybe quoted, with commas), article, price (quoted), EAN.
    const std::string code = line.substr(line.rfind(',') + 1);
    const size_t articleEnd = line.rfind(",\"");
    const std::string article = line.substr(line.rfind(',', articleEnd - 1) + 1,
                                            articleEnd - line.rfind(',', articleEnd - 1) - 1);
    ASSERT_LT(page, files.size());
    SCOPED_TRACE(files[page]);
    const QImage image(QString::fromStdString(files[page++]));
    EXPECT_EQ(Decode(image, Reader::Zxing, Symbology::Code128), article);
    EXPECT_EQ(Decode(image, Reader::Zbar, Symbology::Code128), article);
    EXPECT_EQ(Decode(image, Reader::Zxing, Symbology::DataMatrix), code);
  }
  EXPECT_EQ(page, files.size());
  EXPECT_GT(page, 0u);
}

TEST(LabelhostPrintTest, MalformedDataPrintsNothing) {
  TempDir dir;
  const fs::path pdf = dir.Path() / "out.pdf";
  struct Case {
    std::string csv;
    std::string message;
  };
  const Case cases[] = {
      {"Наименование,ШтрихКод\nМолоко,4607001010005\nХлеб\n", "line 3"},
      {"Наименование;ШтрихКод\n\"Молоко;4607001010005\n", "line 2"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.csv);
    const fs::path csv = dir.Write("bad.csv", c.csv);
    const ProcessResult run =
        Labelhost({"--settings", (dir.Path() / "s.xml").string(), "print", "--template",
                   SourcePath("samples/templates/price_tag.lb3"), "--data", csv.string(),
                   "--output", pdf.string()});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(pdf));
  }
  const ProcessResult missing = Labelhost({"--settings", (dir.Path() / "s.xml").string(), "print",
                                           "--template", (dir.Path() / "none.lb3").string(),
                                           "--data", SourcePath("samples/data/goods.csv")});
  EXPECT_EQ(missing.exitCode, 2);
}

// A printer that is not there, a misspelled built-in one included, ends the
// run with a failure that names it and lists the printers there are; no
// PDF appears in the built-in printer's default folder instead.
TEST(LabelhostPrintTest, UnknownPrinterFailsNamingItAndPrintsNothing) {
  TempDir dir;
  const fs::path documents = dir.Path() / "documents";
  for (const std::string printer : {"Zebra_GK42d", "labelplu PFD"}) {
    SCOPED_TRACE(printer);
    const ProcessResult run =
        Labelhost({"--settings", (dir.Path() / "s.xml").string(), "print", "--template",
                   SourcePath("samples/templates/price_tag.lb3"), "--data",
                   SourcePath("samples/data/goods.csv"), "--printer", printer},
                  "", {{"XDG_DOCUMENTS_DIR", documents.string()}});
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    const std::string named = "printer \"" + printer + "\" is not installed; the printers are ";
    EXPECT_NE(run.out.find("Result 10: Ошибка! " + named), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"labelplu PDF\", \"labelplu Raster\""), std::string::npos) << run.out;
    EXPECT_NE(run.err.find(named), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("printed"), std::string::npos) << run.out;
    EXPECT_FALSE(fs::exists(documents / "labelplu")) << "a PDF was written instead";
  }
}

TEST(LabelhostPrintTest, PrintMethodsAnswerBySwitchState) {
  TempDir dir;
  const std::string script =
      R"(["call", "AddDevice", "<Устройство/>"]
["call", "ChoiceDevice", 1]
["call", "CheckLabelTemplate", "any.lb3"]
["call", "GetIDsOfVariables", "any.lb3"]
["call", "SendToDevice", "^XA^XZ"]
["call", "ExecutePrint", [[null], [null], [null]]]
["call", "SwitchOn", 0]
["call", "CheckLabelTemplate", "any.lb3"]
["call", "GetIDsOfVariables", "any.lb3"]
["call", "SendToDevice", "^XA^XZ"]
["call", "SendToDevice", 5]
["call", "ExecutePrint", "text"]
["call", "ExecutePrint", [["a", "b"], ["c", "d"], ["e", "f"]]]
)";
  const ProcessResult run =
      Labelhost({"--settings", (dir.Path() / "s.xml").string(), "run", "-"}, script);
  const std::vector<std::string> lines = Lines(run.out);
  const std::vector<std::string> expected = {R"("ok":true)",
                                             R"("ok":true)",
                                             R"("code":3)",
                                             R"("code":3)",
                                             R"("code":3)",
                                             R"("code":3)",
                                             R"("ok":true)",
                                             R"({"ok":true,"result":0,"args":[null]})",
                                             R"({"ok":true,"result":0,"args":[null]})",
                                             R"("code":-2)",
                                             R"("code":4)",
                                             R"("code":4)",
                                             R"("code":20028)"};
  ASSERT_EQ(lines.size(), expected.size()) << run.out << run.err;
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_NE(lines[i].find(expected[i]), std::string::npos)
        << "line " << i + 1 << ": " << lines[i];
  }
}

}  // namespace
}  // namespace labelplu::test
