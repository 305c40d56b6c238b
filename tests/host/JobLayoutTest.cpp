// The sheet of a print job as labelhost's options give it: paper names,
// built-in printers' papers, --grid and whether a grid stays on the paper.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "host/JobLayout.h"

namespace labelplu::host {
namespace {

TEST(JobLayout, PaperNamesAndSizes) {
  const struct {
    std::string text;
    std::optional<PaperSize> paper;
  } cases[] = {
      {"A4", PaperSize{210, 297}},
      {"a4", PaperSize{210, 297}},
      {"A5", PaperSize{148, 210}},
      {"a6", PaperSize{105, 148}},
      {"LETTER", PaperSize{215.9, 279.4}},
      {"Letter", PaperSize{215.9, 279.4}},
      {"58x40", PaperSize{58, 40}},
      {"100X150", PaperSize{100, 150}},
      {"58,5x40.5", PaperSize{58.5, 40.5}},
      {"5000x1", PaperSize{5000, 1}},
      {"A3", std::nullopt},
      {"label", std::nullopt},
      {"58x", std::nullopt},
      {"x40", std::nullopt},
      {"0x40", std::nullopt},
      {"58x5001", std::nullopt},
      {"-58x40", std::nullopt},
      {"58x40x2", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<PaperSize> paper = PaperByName(c.text);
    ASSERT_EQ(paper.has_value(), c.paper.has_value());
    if (!paper) continue;
    EXPECT_DOUBLE_EQ(paper->WidthMm, c.paper->WidthMm);
    EXPECT_DOUBLE_EQ(paper->HeightMm, c.paper->HeightMm);
  }
}

TEST(JobLayout, OnlyBuiltinPrintersHaveAKnownPaper) {
  const struct {
    std::string printer;
    std::optional<PaperSize> paper;
  } cases[] = {
      {"labelplu PDF", PaperSize{210, 297}},
      {"labelplu PDF; file=/tmp/a.pdf", PaperSize{210, 297}},
      {"LABELPLU pdf ; file=/tmp/a.pdf; paper=58x40", PaperSize{58, 40}},
      {"labelplu Raster; dpi=203; paper=100 x 150mm", PaperSize{100, 150}},
      {"labelplu Raster; PAPER=215.9x279.4", PaperSize{215.9, 279.4}},
      {"labelplu PDF; paper=wide", std::nullopt},
      {"Zebra_GK420t", std::nullopt},
      {"", std::nullopt},
      {"labelplu PDFX", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.printer);
    const std::optional<PaperSize> paper = BuiltinPrinterPaper(c.printer);
    ASSERT_EQ(paper.has_value(), c.paper.has_value());
    if (!paper) continue;
    EXPECT_DOUBLE_EQ(paper->WidthMm, c.paper->WidthMm);
    EXPECT_DOUBLE_EQ(paper->HeightMm, c.paper->HeightMm);
  }
}

TEST(JobLayout, GridOption) {
  const struct {
    std::string text;
    bool valid;
    bool automatic;
    int32_t across, down;
  } cases[] = {
      {"auto", true, true, 0, 0},    {"AUTO", true, true, 0, 0},     {"3x7", true, false, 3, 7},
      {"1X1", true, false, 1, 1},    {"99x99", true, false, 99, 99}, {"0x7", false, false, 0, 0},
      {"3x100", false, false, 0, 0}, {"3", false, false, 0, 0},      {"3x", false, false, 0, 0},
      {"-1x2", false, false, 0, 0},  {"2.5x3", false, false, 0, 0},  {"", false, false, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::optional<GridOption> grid = ParseGrid(c.text);
    ASSERT_EQ(grid.has_value(), c.valid);
    if (!grid) continue;
    EXPECT_EQ(grid->Automatic, c.automatic);
    if (c.automatic) continue;
    EXPECT_EQ(grid->Counts.Across, c.across);
    EXPECT_EQ(grid->Counts.Down, c.down);
  }
}

TEST(JobLayout, AGridFitsWhenItsBlockLiesBetweenTheMargins) {
  // A4, margins 1 mm, gaps 2 mm: 208 x 295 mm between the margins.
  SheetGeometry sheet{.PaperWidthMm = 210,
                      .PaperHeightMm = 297,
                      .LabelWidthMm = 68,
                      .LabelHeightMm = 40,
                      .GapHorizontalMm = 2,
                      .GapVerticalMm = 2,
                      .MarginLeftMm = 1,
                      .MarginRightMm = 1,
                      .MarginTopMm = 1,
                      .MarginBottomMm = 1};
  // 3 x 68 + 2 x 2 = 208 fits to the millimetre, though the automatic
  // placement, which counts a gap after every label, makes it 2.
  EXPECT_TRUE(GridFitsSheet(sheet, {3, 7}));
  EXPECT_EQ(AutomaticGrid(sheet).Across, 2);
  EXPECT_FALSE(GridFitsSheet(sheet, {4, 1}));
  EXPECT_FALSE(GridFitsSheet(sheet, {1, 8}));
  // One label per line always passes, even one larger than the paper.
  sheet.LabelWidthMm = 300;
  sheet.LabelHeightMm = 400;
  EXPECT_TRUE(GridFitsSheet(sheet, {1, 1}));
  EXPECT_FALSE(GridFitsSheet(sheet, {2, 1}));
}

TEST(JobLayout, MillimetresAsShown) {
  EXPECT_EQ(MmText(58), "58");
  EXPECT_EQ(MmText(215.9), "215.9");
  EXPECT_EQ(MmText(40.25), "40.25");
  EXPECT_EQ(MmText(0.001), "0");
}

}  // namespace
}  // namespace labelplu::host
