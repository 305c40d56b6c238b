// The label on a 203-dpi raster: the clip of its inner area, the label
// origin, update blocks and modes.
#include <gtest/gtest.h>

#include "label/LabelItem.h"
#include "tests/label/LabelFixture.h"
#include "tests/label/ProbeItems.h"

using namespace labelplu;
using namespace labelplu::test;

namespace {

// A black probe that covers a 20 × 10 mm label completely.
LabelItem& AddBlackBox(Label& label) {
  label.SetWidth(20);
  label.SetHeight(10);
  LabelItem& p = label.AddItem(ProbeClass());
  p.SetWidth(20);
  p.SetHeight(10);
  p.SetDrawBrush(gdi::Brush{gdi::BS_SOLID, gdi::RGB(0, 0, 0)});
  return p;
}

TEST(LabelPaint, ItemsNeverMarkTheOuterMillimetre) {
  // 203 dpi: 1 mm = 7.99 px; the inner area is round(7.99) = 8 ..
  // round(19 × 7.99) = 152 (exclusive) across, 8 .. round(9 × 7.99) = 72 down.
  RasterLabel r(200, 100, 203);
  AddBlackBox(r.label);
  r.label.Invalidate(false);
  EXPECT_EQ(r.repaints, 1);
  EXPECT_FALSE(r.canvas->HasClip());
  const struct {
    int x, y;
    QRgb colour;
  } probes[] = {{7, 40, RasterLabel::kGrey},    {8, 40, RasterLabel::kBlack},
                {151, 40, RasterLabel::kBlack}, {152, 40, RasterLabel::kGrey},
                {80, 7, RasterLabel::kGrey},    {80, 8, RasterLabel::kBlack},
                {80, 71, RasterLabel::kBlack},  {80, 72, RasterLabel::kGrey}};
  for (const auto& p : probes) EXPECT_EQ(r.Pixel(p.x, p.y), p.colour) << p.x << "," << p.y;
}

TEST(LabelPaint, TheLabelOriginMovesOutlineAndClip) {
  RasterLabel r(300, 200, 203);
  LabelItem& box = AddBlackBox(r.label);
  r.label.SetMode(kModePrinter);
  r.label.BeginUpdate();
  r.label.SetLeft(10);  // 79.92 -> 80 px
  r.label.SetTop(5);    // 39.96 -> 40 px
  r.label.EndUpdate(true);
  EXPECT_EQ(box.BoxOutline().Points()[0], (gdi::POINT{80, 40}));
  EXPECT_EQ(box.BoxOutline().Points()[2], (gdi::POINT{80 + 160, 40 + 80}));
  EXPECT_EQ(r.Pixel(80 + 7, 60), RasterLabel::kGrey);
  EXPECT_EQ(r.Pixel(80 + 8, 60), RasterLabel::kBlack);
  EXPECT_EQ(r.Pixel(100, 40 + 7), RasterLabel::kGrey);
  EXPECT_EQ(r.Pixel(100, 40 + 8), RasterLabel::kBlack);
}

TEST(LabelPaint, InnerAreaIsWhiteUnderTheItems) {
  RasterLabel r(200, 100, 203);
  LabelItem& box = AddBlackBox(r.label);
  box.SetWidth(5);  // 40 px wide; the rest of the inner area is white
  r.label.Invalidate(true);
  EXPECT_EQ(r.Pixel(20, 40), RasterLabel::kBlack);
  EXPECT_EQ(r.Pixel(100, 40), RasterLabel::kWhite);
  EXPECT_EQ(r.Pixel(100, 3), RasterLabel::kGrey);
}

TEST(LabelPaint, UpdateBlocksNestAndRepaintOnceOutsideModeZero) {
  struct Case {
    uint8_t mode;
    int repaints;  // after two nested blocks closed with repaint
  };
  for (const Case c : {Case{kModeOffScreen, 0}, Case{kModePrinter, 1}, Case{kModePreview, 1}}) {
    RasterLabel r(200, 100, 203);
    AddBlackBox(r.label);
    r.label.SetMode(c.mode);
    r.repaints = 0;
    r.label.BeginUpdate();
    r.label.BeginUpdate();
    r.label.Item(0).SetLeft(3);
    r.label.Paint();  // nothing while a block is open
    r.label.EndUpdate(true);
    EXPECT_EQ(r.repaints, 0);
    r.label.EndUpdate(true);
    EXPECT_EQ(r.repaints, c.repaints) << int(c.mode);
    r.label.EndUpdate(true);  // no block open: stays at 0, repaints again
    EXPECT_EQ(r.label.UpdateCount(), 0);
    EXPECT_EQ(r.repaints, 2 * c.repaints) << int(c.mode);
    if (c.mode == kModeOffScreen) {
      EXPECT_EQ(r.Pixel(40, 40), RasterLabel::kGrey);
    }
  }
}

TEST(LabelPaint, AForcedRepaintRecomputesEveryItemAndPaintsOnce) {
  RasterLabel r(200, 100, 203);
  AddBlackBox(r.label);
  r.label.AddItem(ProbeClass());
  r.label.SetMode(kModePrinter);
  r.label.Invalidate(false);
  r.repaints = 0;
  r.label.PrepareAll(true);  // the caller paints afterwards
  EXPECT_EQ(r.repaints, 0);
  r.label.Invalidate(true);
  EXPECT_EQ(r.repaints, 1);
  EXPECT_FALSE(r.label.Item(0).Changed());
  EXPECT_FALSE(r.label.Item(1).Changed());
}

TEST(LabelPaint, PrinterModeResetsTheZoom) {
  RasterLabel r(10, 10, 203);
  r.view.SetZoomX(2);
  r.view.SetZoomY(3);
  r.label.SetMode(kModePreview);
  EXPECT_EQ(r.view.ZoomX(), 2.0);
  r.label.SetMode(kModePrinter);
  EXPECT_EQ(r.view.ZoomX(), 1.0);
  EXPECT_EQ(r.view.ZoomY(), 1.0);
}

TEST(LabelPaint, SizeChangesReachTheViewAndItemsCanBeDeleted) {
  RasterLabel r(200, 100, 203);
  LabelItem& box = AddBlackBox(r.label);
  const int layouts = r.view.layouts;
  r.label.SetWidth(0.3);  // the label's own size is neither snapped nor raised
  EXPECT_EQ(r.label.Width(), 0.3);
  EXPECT_EQ(r.view.layouts, layouts + 1);
  r.label.DeleteItem(nullptr);
  r.label.DeleteItem(&box);
  EXPECT_EQ(r.label.ItemCount(), 0);
}

TEST(LabelPaint, NoViewOrNoCanvasPaintsNothing) {
  Label label;
  LabelItem& p = label.AddItem(ProbeClass());
  label.SetMode(kModePrinter);
  label.Invalidate(true);  // no view: nothing to map to
  EXPECT_TRUE(p.Changed());
  CanvasView view(nullptr, 203, 203);
  label.SetView(&view);
  label.Invalidate(true);  // a scale but no canvas: prepared, not painted
  EXPECT_FALSE(p.Changed());
  label.SetView(nullptr);
}

}  // namespace
