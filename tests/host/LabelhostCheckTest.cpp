// `labelhost check`, and the same check that `labelhost print` runs before
// the plug-in prints: the mistakes a shop's spreadsheet and template hold,
// each ending in a message that says what to fix and exit 1.
#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/host/LabelhostRun.h"
#include "tests/support/TempDir.h"

namespace labelplu::test {
namespace {

namespace fs = std::filesystem;

std::string Fixture(const std::string& name) {
  return SourcePath("tests/host/fixtures/check/" + name);
}

struct CheckCase {
  const char* templ;     // under tests/host/fixtures/check, or samples/templates/NAME.lb3
  const char* data;      // under tests/host/fixtures/check, samples/data/NAME, or "" for none
  const char* expected;  // a substring of standard output
  int exitCode;
};

std::string TemplatePath(const std::string& name) {
  return name.find('/') == std::string::npos ? Fixture(name) : SourcePath(name);
}

void PrintTo(const CheckCase& c, std::ostream* out) {
  *out << c.templ << " with " << (*c.data ? c.data : "no data");
}

class LabelhostCheck : public testing::TestWithParam<CheckCase> {};

TEST_P(LabelhostCheck, SaysWhatToFix) {
  const CheckCase& c = GetParam();
  std::vector<std::string> args = {"check", TemplatePath(c.templ)};
  if (*c.data) {
    args.emplace_back("--data");
    args.push_back(TemplatePath(c.data));
  }
  const ProcessResult run = Labelhost(args, "", {}, "C.UTF-8");
  EXPECT_EQ(run.exitCode, c.exitCode) << run.out << run.err;
  EXPECT_NE(run.out.find(c.expected), std::string::npos) << run.out << run.err;
}

// The mistakes: each names the item, the line of the template and what to
// write instead. The good files pass clean.
INSTANTIATE_TEST_SUITE_P(
    Mistakes, LabelhostCheck,
    testing::Values(
        CheckCase{"price-utf8-undeclared.lb3", "goods.csv",
                  "price-utf8-undeclared.lb3:5: error: the file is saved as UTF-8", 1},
        CheckCase{"price.lb3", "no-price.csv",
                  "price.lb3:12: error: TextGraphic #2 (dsPrice): no column feeds data source "
                  "dsPrice, so every label prints the template's value \"99,90\"; name a column "
                  "\"Цена\" or \"dsPrice\"",
                  1},
        CheckCase{"price.lb3", "price-header-typo.csv",
                  "warning: column \"; Цена\" feeds nothing on this template", 1},
        CheckCase{"datasource-as-column-name.lb3", "goods.csv",
                  ":4: error: TextGraphic #1: DS=\"Название\" is not applied", 1},
        CheckCase{"barcode-type-misspelled.lb3", "goods.csv",
                  ":35: error: Shk #4 (dsSHK): BarCodeType=\"bcCode129\" is not applied", 1},
        CheckCase{"barcode-type-misspelled.lb3", "goods.csv", "allowed: bcUPC_A, ", 1},
        CheckCase{"datamatrix-misspelled.lb3", "goods.csv",
                  "2DShk #5 (dsSHK): BRType2D=\"br2DataMatrx\" is not applied", 1},
        CheckCase{"class-misspelled.lb3", "", ":28: error: Shq #4: unknown item class \"Shq\"", 1},
        CheckCase{"rotation-misspelled.lb3", "", "RotationFixed=\"r45\" is not applied", 1},
        CheckCase{"font-size-with-unit.lb3", "",
                  "Font.Size=\"20pt\" is not applied: property \"Size\": \"20pt\" is not an "
                  "integer",
                  1},
        CheckCase{"property-misspelled.lb3", "",
                  ":19: error: TextGraphic #2 (dsPrice): no property \"Font.Bold\"", 1},
        CheckCase{"item-off-the-label.lb3", "", "TextGraphic #3: lies wholly outside", 1},
        CheckCase{"barcode-too-narrow.lb3", "",
                  "Shk #4 (dsSHK): the barcode cannot print its value \"4607001234562\"", 1},
        CheckCase{"price.lb3", "bad-codes.csv",
                  ":28: error: Shk #4 (dsSHK): record 2, field \"ШтрихКод\" = \"4607001010372\"",
                  1},
        CheckCase{"price.lb3", "bad-codes.csv", "record 3, field \"ШтрихКод\" = \"46070010\"", 1},
        CheckCase{"price.lb3", "bad-codes.csv", "2 error(s), 1 warning(s)", 1},
        // A picture name that finds nothing prints an empty frame: the
        // template's own, and each record's (relative names are files in
        // the plug-in's folder).
        CheckCase{"picture-misspelled.lb3", "",
                  ":3: error: Image #1: no picture \"logo.bpm\": the template embeds none of "
                  "that name and there is no file ",
                  1},
        CheckCase{"picture-misspelled.lb3", "",
                  "/bin/logo.bpm; the label would print an empty "
                  "frame instead",
                  1},
        CheckCase{"picture-per-record.lb3", "pictures.csv",
                  ":10: error: Image #2 (dsImage1): record 2, field \"Картинка 1\": no picture "
                  "\"lgo.bmp\"",
                  1},
        CheckCase{"picture-per-record.lb3", "pictures.csv", "1 error(s), 0 warning(s)", 1},
        CheckCase{"picture-per-record.lb3", "pictures-good.csv", ": 0 error(s), 0 warning(s)", 0},
        // Good files: the copy count is the job's own column, not an unused one.
        CheckCase{"price.lb3", "goods.csv", "price.lb3: 0 error(s), 0 warning(s)", 0},
        CheckCase{"price-utf8-bom.lb3", "goods.csv", ": 0 error(s), 0 warning(s)", 0},
        CheckCase{"price-utf8-declared.lb3", "goods.csv", ": 0 error(s), 0 warning(s)", 0},
        CheckCase{"samples/templates/price_tag.lb3", "samples/data/goods.csv", ": 0 error(s)", 0},
        CheckCase{"samples/templates/price_tag_ean13.lb3", "samples/data/goods.csv", ": 0 error(s)",
                  0},
        CheckCase{"samples/templates/shelf_label.lb3", "samples/data/shelf_label.csv",
                  ": 0 error(s), 0 warning(s)", 0},
        CheckCase{"samples/templates/picture_label.lb3", "samples/data/goods.csv", ": 0 error(s)",
                  0},
        CheckCase{"samples/templates/symbologies_linear.lb3", "samples/data/one_label.csv",
                  ": 0 error(s), 0 warning(s)", 0},
        CheckCase{"samples/templates/symbologies_2d.lb3", "samples/data/one_label.csv",
                  ": 0 error(s), 0 warning(s)", 0},
        CheckCase{"samples/templates/rotation.lb3", "", ": 0 error(s), 0 warning(s)", 0},
        CheckCase{"samples/templates/alignment.lb3", "", ": 0 error(s), 0 warning(s)", 0},
        CheckCase{"samples/templates/negative.lb3", "", ": 0 error(s), 0 warning(s)", 0}));

TEST(LabelhostCheckCommand, SpeaksRussianUnderARussianLocale) {
  const ProcessResult run = Labelhost(
      {"check", Fixture("price.lb3"), "--data", Fixture("no-price.csv")}, "", {}, "ru_RU.UTF-8");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("price.lb3:12: ошибка: TextGraphic #2 (dsPrice): ни один столбец не "
                         "заполняет источник данных dsPrice"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("ошибок: 1, предупреждений: 0"), std::string::npos) << run.out;
}

TEST(LabelhostCheckCommand, SetValuesFeedAndWrongCommandLinesExitTwo) {
  // A common value feeds the price the data leaves out.
  const ProcessResult fed =
      Labelhost({"check", Fixture("price.lb3"), "--data", Fixture("no-price.csv"), "--set",
                 "Цена=10,00", "--set", "Склад=1"},
                "", {}, "C.UTF-8");
  EXPECT_EQ(fed.exitCode, 0) << fed.out << fed.err;
  EXPECT_NE(fed.out.find("warning: --set Склад feeds nothing"), std::string::npos) << fed.out;
  const std::vector<std::vector<std::string>> wrong = {
      {"check"},
      {"check", Fixture("price.lb3"), "--dpi", "20"},
      {"check", Fixture("price.lb3"), "--set", "=1"},
      {"check", Fixture("price.lb3"), "--bogus"},
      {"check", Fixture("none.lb3")},
      {"check", Fixture("price.lb3"), "--data", Fixture("none.csv")},
  };
  for (const std::vector<std::string>& args : wrong) {
    SCOPED_TRACE(args.back());
    const ProcessResult run = Labelhost(args, "", {}, "C.UTF-8");
    EXPECT_EQ(run.exitCode, 2) << run.out << run.err;
    EXPECT_FALSE(run.err.empty());
  }
}

// A bar is never narrower than one dot: the EAN-13's 95 modules fit the
// 36 mm box at 300 dpi but need more dots than the box has at 50.
TEST(LabelhostCheckCommand, BarcodesAreCheckedAtTheResolutionAsked) {
  const auto checkAt = [](const char* dpi) {
    return Labelhost({"check", Fixture("price.lb3"), "--dpi", dpi}, "", {}, "C.UTF-8");
  };
  EXPECT_EQ(checkAt("300").exitCode, 0);
  const ProcessResult low = checkAt("50");
  EXPECT_EQ(low.exitCode, 1) << low.out;
  EXPECT_NE(low.out.find("Shk #4 (dsSHK): the barcode cannot print its value"), std::string::npos)
      << low.out;
}

TEST(LabelhostCheckPrint, ErrorsStopTheJobBeforeAnythingIsPrintedUnlessForced) {
  TempDir dir;
  const fs::path pdf = dir.Path() / "labels.pdf";
  const std::vector<std::string> job = {"--settings",
                                        (dir.Path() / "s.xml").string(),
                                        "print",
                                        "--template",
                                        Fixture("price.lb3"),
                                        "--data",
                                        Fixture("price-header-typo.csv"),
                                        "--output",
                                        pdf.string()};
  const ProcessResult stopped = Labelhost(job, "", {}, "C.UTF-8");
  EXPECT_EQ(stopped.exitCode, 1) << stopped.out << stopped.err;
  EXPECT_NE(stopped.err.find("error: TextGraphic #2 (dsPrice): no column feeds data source"),
            std::string::npos)
      << stopped.err;
  EXPECT_NE(stopped.err.find("nothing printed: the 1 error(s) above"), std::string::npos)
      << stopped.err;
  EXPECT_EQ(stopped.out.find("printed"), std::string::npos) << stopped.out;
  EXPECT_FALSE(fs::exists(pdf));

  std::vector<std::string> forcedJob = job;
  forcedJob.emplace_back("--force");
  const ProcessResult forced = Labelhost(forcedJob, "", {}, "C.UTF-8");
  EXPECT_EQ(forced.exitCode, 0) << forced.out << forced.err;
  EXPECT_NE(forced.err.find("printing anyway (--force) despite 1 error(s)"), std::string::npos)
      << forced.err;
  EXPECT_TRUE(fs::exists(pdf));
}

TEST(LabelhostCheckPrint, WarningsGoToStandardErrorAndDoNotStop) {
  TempDir dir;
  const fs::path pdf = dir.Path() / "labels.pdf";
  const ProcessResult run = Labelhost(
      {"--settings", (dir.Path() / "s.xml").string(), "print", "--template", Fixture("price.lb3"),
       "--data", Fixture("goods.csv"), "--set", "Склад=1", "--output", pdf.string()},
      "", {}, "C.UTF-8");
  EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
  EXPECT_NE(run.err.find("price.lb3: warning: --set Склад feeds nothing"), std::string::npos)
      << run.err;
  EXPECT_EQ(run.out.find("warning"), std::string::npos) << run.out;
  EXPECT_TRUE(fs::exists(pdf));
}

// A template saved as UTF-8, with a byte-order mark or a declaration naming
// UTF-8, prints dot for dot what its Windows-1251 twin prints.
TEST(LabelhostCheckPrint, Utf8TemplatesPrintAsTheirWindows1251Twin) {
  TempDir dir;
  const auto pages = [&](const std::string& templ) {
    const fs::path folder = dir.Path() / templ;
    fs::create_directory(folder);
    const ProcessResult run =
        Labelhost({"--settings", (dir.Path() / "s.xml").string(), "print", "--template",
                   Fixture(templ), "--data", Fixture("goods.csv"), "--printer",
                   "labelplu Raster; file=" + (folder / "p").string() + "; dpi=203; paper=58x40"},
                  "", {}, "C.UTF-8");
    EXPECT_EQ(run.exitCode, 0) << templ << run.out << run.err;
    std::vector<QImage> images;
    for (const std::string& file : FilesIn(folder))
      images.emplace_back(
          QImage(QString::fromStdString(file)).convertToFormat(QImage::Format_RGB32));
    return images;
  };
  const std::vector<QImage> twin = pages("price.lb3");
  ASSERT_EQ(twin.size(), 4u);  // one record asks for two copies
  for (const char* templ : {"price-utf8-bom.lb3", "price-utf8-declared.lb3"}) {
    SCOPED_TRACE(templ);
    EXPECT_TRUE(pages(templ) == twin);
  }
}

// A record whose picture name finds nothing stops the job; printed anyway,
// its label shows an empty frame, never the picture of the label before.
TEST(LabelhostCheckPrint, MissingPictureStopsTheJobAndNeverRepeatsThePreviousOne) {
  TempDir dir;
  const fs::path folder = dir.Path() / "pages";
  fs::create_directory(folder);
  std::vector<std::string> job = {
      "--settings",
      (dir.Path() / "s.xml").string(),
      "print",
      "--template",
      Fixture("picture-per-record.lb3"),
      "--data",
      Fixture("pictures.csv"),
      "--printer",
      "labelplu Raster; file=" + (folder / "p").string() + "; dpi=203; paper=58x40"};
  const ProcessResult stopped = Labelhost(job, "", {}, "C.UTF-8");
  EXPECT_EQ(stopped.exitCode, 1) << stopped.out << stopped.err;
  EXPECT_NE(stopped.err.find("record 2, field \"Картинка 1\": no picture \"lgo.bmp\""),
            std::string::npos)
      << stopped.err;
  EXPECT_TRUE(FilesIn(folder).empty());

  job.emplace_back("--force");
  const ProcessResult forced = Labelhost(job, "", {}, "C.UTF-8");
  EXPECT_EQ(forced.exitCode, 0) << forced.out << forced.err;
  const std::vector<std::string> files = FilesIn(folder);
  ASSERT_EQ(files.size(), 3u);
  // The picture's 16 mm box at 3 mm from the corner, at 203 dpi.
  const QRect box(24, 24, 128, 128);
  const auto picture = [&](size_t page) {
    return QImage(QString::fromStdString(files[page]))
        .convertToFormat(QImage::Format_RGB32)
        .copy(box);
  };
  EXPECT_TRUE(picture(0) == picture(2));
  EXPECT_FALSE(picture(1) == picture(0));
}

}  // namespace
}  // namespace labelplu::test
