// `labelhost print --grid auto` against the settings dialog's automatic
// placement: for a table of papers and label sizes, with the same gaps and
// margins, labelhost places as many labels across and down as the dialog,
// built here on Qt's offscreen platform, shows. Then what --paper and
// --grid make of a job: its pages, the hint when the paper holds more, and
// the stops before anything is printed.
#include <gtest/gtest.h>

#include <QSpinBox>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/host/LabelhostRun.h"
#include "tests/support/PrinterDeviceFixture.h"
#include "tests/support/TempDir.h"
#include "ui/Application.h"
#include "ui/SettingsDialog.h"

namespace labelplu::test {
namespace {

struct Counts {
  int across = 0;
  int down = 0;
};

std::string TemplateXml(double width, double height) {
  std::ostringstream xml;
  xml << "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<Label Width=\"" << width
      << "\" Height=\"" << height << "\"/>\n";
  return xml.str();
}

// What the dialog's automatic placement shows for a device printing on the
// built-in PDF printer's paper, with the settings a new device has (gaps
// 2 mm, margins 1 mm) and the margins as stored, not from the printer.
Counts DialogPlacement(const std::string& paper, double width, double height) {
  PrinterDeviceFixture devices;
  devices.AddTemplate("label.lb3", TemplateXml(width, height));
  devices.Set({{"PrinterName", "labelplu PDF; paper=" + paper},
               {"ШаблонПоУмолчанию", "label.lb3"},
               {"AutoPosition", "1"},
               {"AutoPaperMargin", "0"}});
  SettingsDialog dialog(nullptr, devices.Device());
  const auto count = [&](const char* name) {
    const auto* edit = dialog.findChild<QSpinBox*>(QString::fromLatin1(name));
    return edit ? edit->value() : -1;
  };
  return {count("acrossCountEdit"), count("downCountEdit")};
}

// The grid labelhost reports for --grid auto, and the pages it printed.
Counts LabelhostPlacement(const TempDir& dir, const std::string& paper, double width, double height,
                          std::string& output) {
  const std::string label = dir.Write("label.lb3", TemplateXml(width, height)).string();
  const std::string data = dir.Write("one.csv", "Name\nx\n").string();
  const ProcessResult run = Labelhost(
      {"--settings", (dir.Path() / "s.xml").string(), "print", "--template", label, "--data", data,
       "--output", (dir.Path() / "out.pdf").string(), "--paper", paper, "--grid", "auto"},
      "", {}, "C.UTF-8");
  output = run.out + run.err;
  Counts counts;
  const size_t at = run.out.find("Labels per page: ");
  if (run.exitCode != 0 || at == std::string::npos) return counts;
  std::istringstream words(run.out.substr(at + 17));
  char times = 0;
  words >> counts.across >> times >> counts.down;
  return counts;
}

TEST(LabelhostGrid, AutoEqualsTheDialogsAutomaticPlacement) {
  EnsureApplication();
  const char* papers[][2] = {{"A4", "210x297"},         {"A5", "148x210"},  {"A6", "105x148"},
                             {"Letter", "215.9x279.4"}, {"58x40", "58x40"}, {"100x150", "100x150"}};
  const double labels[][2] = {{58, 40}, {43, 25}, {70, 36}, {30, 20}, {400, 500}};
  for (const auto& [name, size] : papers) {
    for (const auto& [width, height] : labels) {
      SCOPED_TRACE(std::string(name) + ", label " + std::to_string(width) + " x " +
                   std::to_string(height));
      const Counts dialog = DialogPlacement(size, width, height);
      const TempDir dir;
      std::string output;
      const Counts host = LabelhostPlacement(dir, name, width, height, output);
      EXPECT_GE(dialog.across, 1);
      EXPECT_EQ(host.across, dialog.across) << output;
      EXPECT_EQ(host.down, dialog.down) << output;
    }
  }
  // A spot check of the table's meaning: 58 x 40 on A4 is 3 x 7.
  EXPECT_EQ(DialogPlacement("210x297", 58, 40).across, 3);
  EXPECT_EQ(DialogPlacement("210x297", 58, 40).down, 7);
}

// The page count pdfinfo reads from a PDF; -1 when it reads none.
int PdfPages(const std::filesystem::path& pdf) {
  std::string text;
  if (FILE* pipe = popen(("pdfinfo '" + pdf.string() + "' 2>/dev/null").c_str(), "r")) {
    char buffer[4096];
    for (size_t n = 0; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    pclose(pipe);
  }
  const size_t at = text.find("Pages:");
  return at == std::string::npos ? -1 : std::stoi(text.substr(at + 6));
}

TEST(LabelhostGrid, PaperAndGridShapeTheJobsPages) {
  const struct {
    // The device's counts stored before the job with labelhost param
    // (MaxHorizontal, MaxVertical); empty: a new device.
    std::vector<std::string> stored;
    std::vector<std::string> options;
    int records;
    int exitCode;
    int pages;        // -1: no file written
    std::string out;  // part of standard output; "" for no check
    std::string err;  // part of standard error; "" for none at all
  } cases[] = {
      {{}, {"--paper", "A4", "--grid", "auto"}, 22, 0, 2, "Labels per page: 3 x 7.", ""},
      {{},
       {"--paper", "a4"},
       3,
       0,
       3,
       "3 record(s) printed",
       "hint: the 210 x 297 mm paper holds 3 x 7 labels of 58 x 40 mm, the job places 1 x 1 per "
       "page; --grid auto fills the page"},
      {{}, {"--paper", "A4", "--grid", "2x2"}, 5, 0, 2, "Labels per page: 2 x 2.", "hint: "},
      {{}, {"--paper", "LETTER", "--grid", "3x6"}, 18, 0, 1, "Labels per page: 3 x 6.", ""},
      {{}, {"--paper", "58x40"}, 2, 0, 2, "2 record(s) printed", ""},
      {{},
       {"--paper", "A6", "--grid", "2x4"},
       1,
       2,
       -1,
       "",
       "--grid 2x4 puts labels beyond the edge of the 105 x 148 mm paper: labels of 58 x 40 mm "
       "with the device's gaps and margins fit 1 x 3 there (--grid auto)"},
      {{},
       {"--printer", "Zebra_GK420t", "--grid", "auto"},
       1,
       2,
       -1,
       "",
       "--grid auto needs the paper, and the paper of printer \"Zebra_GK420t\" is set in its "
       "queue"},
      {{},
       {"--printer", "Zebra_GK420t", "--paper", "A4"},
       1,
       2,
       -1,
       "",
       "--paper applies to --output"},
      {{}, {"--paper", "A3"}, 1, 2, -1, "", "--paper takes A4, A5, A6, Letter, WxH"},
      {{}, {"--grid", "0x1"}, 1, 2, -1, "", "--grid takes CxR"},
      {{"2", "4"},
       {"--paper", "A6"},
       1,
       1,
       -1,
       "",
       "the device's counts MaxHorizontal x MaxVertical = 2 x 4 put labels beyond the edge of the "
       "105 x 148 mm paper: labels of 58 x 40 mm with the device's gaps and margins fit 1 x 3 "
       "there. Print with --grid auto, store smaller counts with 'labelhost param MaxHorizontal N' "
       "and 'labelhost param MaxVertical N', or print anyway with --force"},
      {{"4", "1"}, {"--paper", "A4"}, 1, 1, -1, "", "MaxVertical = 4 x 1 put labels beyond"},
      {{"2", "4"},
       {"--paper", "A6", "--force"},
       8,
       0,
       1,
       "8 record(s) printed",
       "printing anyway (--force): the labels beyond the paper's edge are lost"},
      {{"2", "4"}, {"--paper", "A6", "--grid", "auto"}, 4, 0, 2, "Labels per page: 1 x 3.", ""},
      {{"3", "7"}, {"--paper", "A4"}, 21, 0, 1, "21 record(s) printed", ""},
  };
  const std::string label = SourcePath("samples/templates/price_tag.lb3");
  for (const auto& c : cases) {
    std::string shown;
    for (const std::string& option : c.options) shown += " " + option;
    SCOPED_TRACE(shown);
    const TempDir dir;
    // Every bound item of the price tag has its column, so the check passes.
    std::string csv = "Наименование,Артикул,Цена,Дата упаковки\n";
    for (int i = 0; i < c.records; ++i)
      csv += "Товар,А-1," + std::to_string(i + 1) + ",01.12.2026\n";
    const std::filesystem::path pdf = dir.Path() / "out.pdf";
    const std::string settings = (dir.Path() / "s.xml").string();
    if (!c.stored.empty()) {
      ASSERT_EQ(Labelhost({"--settings", settings, "add"}).exitCode, 0);
      ASSERT_EQ(Labelhost({"--settings", settings, "param", "MaxHorizontal", c.stored[0]}).exitCode,
                0);
      ASSERT_EQ(Labelhost({"--settings", settings, "param", "MaxVertical", c.stored[1]}).exitCode,
                0);
    }
    std::vector<std::string> args = {"--settings",
                                     settings,
                                     "print",
                                     "--template",
                                     label,
                                     "--data",
                                     dir.Write("data.csv", csv).string()};
    if (std::find(c.options.begin(), c.options.end(), "--printer") == c.options.end()) {
      args.insert(args.end(), {"--output", pdf.string()});
    }
    args.insert(args.end(), c.options.begin(), c.options.end());
    const ProcessResult run = Labelhost(args, "", {}, "C.UTF-8");
    EXPECT_EQ(run.exitCode, c.exitCode) << run.out << run.err;
    EXPECT_NE(run.out.find(c.out), std::string::npos) << run.out;
    if (c.err.empty()) {
      EXPECT_EQ(run.err.find("hint"), std::string::npos) << run.err;
    } else {
      EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    }
    if (c.pages < 0) {
      EXPECT_FALSE(std::filesystem::exists(pdf));
    } else {
      EXPECT_EQ(PdfPages(pdf), c.pages);
    }
  }
}

}  // namespace
}  // namespace labelplu::test
