// `labelhost print --verify`: the barcodes of every label are read back
// before anything is printed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/host/LabelhostRun.h"
#include "tests/support/TempDir.h"

namespace labelplu::test {
namespace {

namespace fs = std::filesystem;

// A 58 × 40 mm label with one Code 128 symbol in a 20 mm box: "A1" fits,
// a longer value does not and prints as "ОШИБКА!" instead of a symbol.
constexpr const char* kNarrowCode128 = R"(<?xml version="1.0" encoding="windows-1251"?>
<Label Width="58" Height="40">
  <Item ClassName="Shk">
    <Property Name="DS" Value="dsSHK"/>
    <Property Name="Left" Value="5"/>
    <Property Name="Top" Value="10"/>
    <Property Name="Width" Value="20"/>
    <Property Name="Height" Value="15"/>
    <Property Name="BarCodeType" Value="bcCode128"/>
    <Property Name="AddCheckChar" Value="True"/>
  </Item>
</Label>
)";

TEST(LabelhostVerifyTest, ASymbolCutOffByItsBoxStopsTheJobBeforeAnythingIsPrinted) {
  TempDir dir;
  const fs::path templ = dir.Write("narrow.lb3", kNarrowCode128);
  const fs::path csv = dir.Write("codes.csv", "ШтрихКод\nA1\nPART-0042-XYZ\nB2\n");
  const std::string settings = (dir.Path() / "s.xml").string();
  const fs::path pdf = dir.Path() / "labels.pdf";
  const fs::path pages = dir.Path() / "pages";
  const std::vector<std::string> job = {"--settings",   settings, "print",     "--template",
                                        templ.string(), "--data", csv.string()};
  const auto with = [&](std::vector<std::string> more) {
    std::vector<std::string> args = job;
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  // The switch of the command line and the option of the printer's name.
  // --force takes the job past labelhost's own check, which finds the same
  // symbol from the template alone.
  const std::vector<std::vector<std::string>> checked = {
      with({"--output", pdf.string(), "--verify", "--force"}),
      with({"--printer", "labelplu Raster; file=" + (pages / "p").string() + "; verify=1",
            "--force"}),
  };
  for (const std::vector<std::string>& args : checked) {
    SCOPED_TRACE(args.back());
    const ProcessResult run = Labelhost(args);
    EXPECT_EQ(run.exitCode, 1) << run.out << run.err;
    // The result's text, which the host reads, says why as well.
    EXPECT_NE(run.out.find("Result 10: Ошибка! Barcode check failed: record 2"), std::string::npos)
        << run.out;
    EXPECT_NE(run.err.find("Barcode check failed: record 2, field \"Штрихкод\" (dsSHK), Code 128: "
                           "nothing could be read where \"PART-0042-XYZ\" was expected"),
              std::string::npos)
        << run.err;
    EXPECT_FALSE(fs::exists(pdf));
    EXPECT_EQ(FilesIn(pages), std::vector<std::string>{});
  }
  // Without --verify labelhost's check stops it too, naming the record;
  // forced past every check, the same job prints its three labels, the cut
  // one too.
  const ProcessResult plain = Labelhost(with({"--output", pdf.string()}));
  EXPECT_EQ(plain.exitCode, 1) << plain.out << plain.err;
  EXPECT_NE(plain.err.find("\"PART-0042-XYZ\""), std::string::npos) << plain.err;
  EXPECT_FALSE(fs::exists(pdf));
  const ProcessResult forced = Labelhost(with({"--output", pdf.string(), "--force"}));
  EXPECT_EQ(forced.exitCode, 0) << forced.out << forced.err;
  EXPECT_TRUE(fs::exists(pdf));
}

TEST(LabelhostVerifyTest, AGoodJobPrintsTheSamePagesWithTheCheck) {
  TempDir dir;
  std::vector<std::vector<std::string>> contents;
  for (const bool verify : {false, true}) {
    const fs::path pages = dir.Path() / (verify ? "checked" : "plain");
    std::vector<std::string> args = {
        "--settings",
        (dir.Path() / "s.xml").string(),
        "print",
        "--template",
        SourcePath("samples/templates/price_tag_ean13.lb3"),
        "--data",
        SourcePath("samples/data/goods.csv"),
        "--printer",
        "labelplu Raster; file=" + (pages / "page").string() + "; dpi=203; paper=58x40"};
    if (verify) args.emplace_back("--verify");
    const ProcessResult run = Labelhost(args);
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    std::vector<std::string> bytes;
    for (const std::string& file : FilesIn(pages)) bytes.push_back(FileText(file));
    contents.push_back(std::move(bytes));
  }
  EXPECT_GT(contents[0].size(), 40U);
  EXPECT_TRUE(contents[0] == contents[1]) << "the pages differ";
}

}  // namespace
}  // namespace labelplu::test
