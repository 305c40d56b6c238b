// Page layout of the page layout printer: label positions by alignment, margins
// and mode, labels that fit, the scale and the work bitmap.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/print/PageLayoutTestSupport.h"

namespace labelplu::test {
namespace {

using Point = std::pair<double, double>;

std::vector<Point> PositionsOf(const PageLayoutPrinter& view) {
  std::vector<Point> points;
  points.reserve(static_cast<size_t>(view.Positions.Count()));
  for (int32_t i = 0; i < view.Positions.Count(); ++i)
    points.emplace_back(view.Positions.Item(i).MmX, view.Positions.Item(i).MmY);
  return points;
}

struct LayoutCase {
  const char* name;
  uint8_t mode;
  int32_t across, down, hAlign, vAlign;
  std::vector<Point> expected;
};

TEST(PageLayoutGrid, PositionsFollowAlignmentMarginsAndMode) {
  const LayoutCase cases[] = {
      {"A4 3 x 2 centred",
       kModePreview,
       3,
       2,
       1,
       1,
       {{16, 107.5}, {76, 107.5}, {136, 107.5}, {16, 149.5}, {76, 149.5}, {136, 149.5}}},
      // 4 x 60 - 2 = 238 mm of labels do not fit 208 mm: never left of the margin.
      {"right, too wide", kModePreview, 4, 1, 2, 0, {{1, 1}, {61, 1}, {121, 1}, {181, 1}}},
      {"centre, too wide", kModePreview, 4, 1, 1, 0, {{1, 1}, {61, 1}, {121, 1}, {181, 1}}},
      {"right, bottom", kModePreview, 1, 1, 2, 2, {{151, 256}}},
      {"unknown alignment is left/top", kModePreview, 2, 1, 7, -1, {{1, 1}, {61, 1}}},
      // 8 rows asked, 7 fit: the block is centred on 7 rows, the 8th lies
      // beyond the paper and is still generated.
      {"rows beyond the paper",
       kModePreview,
       1,
       8,
       1,
       1,
       {{76, 2.5},
        {76, 44.5},
        {76, 86.5},
        {76, 128.5},
        {76, 170.5},
        {76, 212.5},
        {76, 254.5},
        {76, 296.5}}},
      // Printer coordinates start at the printable area (offsets 4, 5 mm).
      {"printer mode", kModePrinter, 2, 2, 0, 0, {{-3, -4}, {57, -4}, {-3, 38}, {57, 38}}},
      {"no columns", kModePreview, 0, 3, 1, 1, {}},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    ViewHarness h;
    h.Grid(c.across, c.down);
    h.view.HorizontalAlign = c.hAlign;
    h.view.VerticalAlign = c.vAlign;
    h.view.OffsetX = 4;
    h.view.OffsetY = 5;
    h.label.SetMode(c.mode);
    h.view.PositionCursor = 3;
    h.view.LayoutPage();
    EXPECT_EQ(PositionsOf(h.view), c.expected);
    EXPECT_EQ(h.view.PositionCursor, 0);
  }
}

TEST(PageLayoutGrid, TooManyPositionsAreRefused) {
  ViewHarness h;
  h.Grid(1000, 1000);
  EXPECT_THROW(h.view.LayoutPage(), std::runtime_error);
}

struct FitCase {
  const char* name;
  double paperW, paperH, labelW, labelH, gap;
  int32_t perPage, across, down;
};

TEST(PageLayoutGrid, FitAcrossAndDownAreAtLeastOne) {
  const FitCase cases[] = {
      {"A4", 210, 297, 58, 40, 2, 1, 3, 7},
      {"zero label size", 210, 297, 0, 0, 2, 1, 1, 1},
      {"paper smaller than a label", 50, 30, 58, 40, 2, 1, 1, 1},
      {"paper below 1 mm", 0.5, 0.5, 5, 5, 0, 1, 1, 1},
      {"paper not read", -1, -1, 5, 5, 0, 1, 1, 1},
      {"no labels per page", 210, 297, 58, 40, 2, 0, 1, 1},
      {"gap of minus the label", 210, 297, 58, 40, -58, 1, 1, 1},
      {"negative step", 210, 297, 58, 40, -70, 1, 1, 1},
  };
  for (const FitCase& c : cases) {
    SCOPED_TRACE(c.name);
    ViewHarness h;
    h.label.SetWidth(c.labelW);
    h.label.SetHeight(c.labelH);
    h.view.PaperWidth = c.paperW;
    h.view.PaperHeight = c.paperH;
    h.view.GapHorizontal = h.view.GapVertical = c.gap;
    h.view.LabelsPerPage = c.perPage;
    EXPECT_EQ(h.view.FitAcross(), c.across);
    EXPECT_EQ(h.view.FitDown(), c.down);
  }
}

TEST(PageLayoutGrid, ScaleComesFromTheResolutionInPrinterModeAndTheCanvasOtherwise) {
  ViewHarness h;
  EXPECT_EQ(h.view.WorkBitmap().format(), QImage::Format_Grayscale8);
  EXPECT_EQ(h.view.WorkBitmap().size(), QSize(1, 1));

  h.view.ResolutionX = 508;
  h.view.ResolutionY = 254;
  h.view.SetZoomX(2);
  h.label.SetMode(kModePrinter);  // resets the zoom
  EXPECT_EQ(h.view.ZoomX(), 1.0);
  h.view.UpdateLayout();
  EXPECT_DOUBLE_EQ(h.view.PixelsPerMmX(), 20);
  EXPECT_DOUBLE_EQ(h.view.PixelsPerMmY(), 10);
  // The work bitmap follows the scale one layout behind.
  EXPECT_EQ(h.view.WorkBitmap().size(), QSize(1, 1));
  EXPECT_EQ(h.view.Canvas(), nullptr);  // no document open

  h.label.SetMode(kModeOffScreen);
  h.view.SetZoomX(2);
  h.view.UpdateLayout();
  EXPECT_EQ(h.view.WorkBitmap().size(), QSize(1160, 400));
  EXPECT_DOUBLE_EQ(h.view.PixelsPerMmX(), 96 / 25.4 * 2);
  EXPECT_DOUBLE_EQ(h.view.PixelsPerMmY(), 96 / 25.4);
  ASSERT_NE(h.view.Canvas(), nullptr);
  EXPECT_EQ(&h.view.Canvas()->Device(), &h.view.WorkBitmap());
}

TEST(PageLayoutGrid, TheViewRegistersWithItsLabelAndDetachesWhenDestroyed) {
  Label label;
  FakePrintObject printer;
  {
    PageLayoutPrinter view(label, printer);
    EXPECT_EQ(label.View(), &view);
    EXPECT_EQ(view.PaperCode, -1);
    EXPECT_EQ(view.PaperWidth, -1.0);
    EXPECT_EQ(view.Orientation, -1);
    EXPECT_EQ(view.ResolutionX, -1);
    EXPECT_EQ(view.LabelsPerPage, 1);
    EXPECT_EQ(&view.AfterPaint(), &view);
  }
  EXPECT_EQ(label.View(), nullptr);
}

}  // namespace
}  // namespace labelplu::test
