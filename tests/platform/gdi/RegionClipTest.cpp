// Regions and the canvas clip: the even-odd rule, intersecting and removing
// the clip, the viewport origin, far-away coordinates.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/platform/gdi/GdiTestSupport.h"

using namespace labelplu::gdi;
using gditest::PixelMap;

namespace {

// A five-pointed star drawn in one stroke: its centre is covered twice.
std::vector<POINT> Star(int cx, int cy, int r) {
  std::vector<POINT> points;
  for (int i = 0; i < 5; ++i) {
    const double a = -M_PI / 2 + i * 4 * M_PI / 5;
    points.push_back(POINT{static_cast<int32_t>(std::lround(cx + r * std::cos(a))),
                           static_cast<int32_t>(std::lround(cy + r * std::sin(a)))});
  }
  return points;
}

TEST(Region, PolygonHoldsThePixelsInsideItsEdges) {
  const POINT square[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  const Region region = Region::CreatePolygonRgn(square);
  EXPECT_EQ(region.Box(), (RECT{0, 0, 10, 10}));
  EXPECT_EQ(region.Kind(), SIMPLEREGION);
  EXPECT_TRUE(region.PtInRegion(0, 0));
  EXPECT_TRUE(region.PtInRegion(9, 9));
  EXPECT_FALSE(region.PtInRegion(10, 5));
  EXPECT_FALSE(region.PtInRegion(5, 10));
  EXPECT_TRUE(Region::CreatePolygonRgn(std::span(square, 2)).IsEmpty());
  EXPECT_THROW(Region::CreatePolygonRgn(square, 7), GdiError);
}

TEST(Region, EvenOddStarLeavesItsCentreOut) {
  const auto star = Star(50, 50, 40);
  const Region alternate = Region::CreatePolygonRgn(star, ALTERNATE);
  const Region winding = Region::CreatePolygonRgn(star, WINDING);
  EXPECT_FALSE(alternate.PtInRegion(50, 50));
  EXPECT_TRUE(winding.PtInRegion(50, 50));
  EXPECT_TRUE(alternate.PtInRegion(50, 15));  // inside the top point
  EXPECT_EQ(alternate.Kind(), COMPLEXREGION);

  QImage image = CreateRasterImage(100, 100, 203);
  {
    Canvas canvas(image);
    canvas.SelectClipRgn(&alternate);
    canvas.FillRect(RECT{0, 0, 100, 100}, Brush{BS_SOLID, 0});
  }
  EXPECT_EQ(image.pixel(50, 50) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(image.pixel(50, 15) & 0xFFFFFF, 0u);
  EXPECT_EQ(image.pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);
  // Every pixel painted is a pixel of the region, and the other way round.
  for (int y = 0; y < 100; ++y) {
    for (int x = 0; x < 100; ++x) {
      ASSERT_EQ((image.pixel(x, y) & 0xFFFFFF) == 0, alternate.PtInRegion(x, y)) << x << "," << y;
    }
  }
}

TEST(Region, CombinesAsTheModeSays) {
  const Region a = Region::CreateRectRgn(0, 0, 10, 10);
  const Region b = Region::CreateRectRgn(5, 5, 15, 15);
  Region r;
  EXPECT_EQ(r.CombineRgn(a, b, RGN_AND), SIMPLEREGION);
  EXPECT_EQ(r.Box(), (RECT{5, 5, 10, 10}));
  EXPECT_EQ(r.CombineRgn(a, b, RGN_OR), COMPLEXREGION);
  EXPECT_EQ(r.Box(), (RECT{0, 0, 15, 15}));
  r.CombineRgn(a, b, RGN_DIFF);
  EXPECT_TRUE(r.PtInRegion(2, 2));
  EXPECT_FALSE(r.PtInRegion(7, 7));
  EXPECT_EQ(r.CombineRgn(a, Region::CreateRectRgn(20, 20, 30, 30), RGN_AND), NULLREGION);
  EXPECT_THROW(r.CombineRgn(a, b, 99), GdiError);
}

TEST(CanvasClip, IntersectsAndRemoves) {
  QImage image = CreateRasterImage(12, 8, 300);
  Canvas canvas(image);
  RECT box;
  EXPECT_EQ(canvas.GetClipBox(box), SIMPLEREGION);
  EXPECT_EQ(box, (RECT{0, 0, 12, 8}));

  // With no clip, intersecting makes the region the clip.
  canvas.ExtSelectClipRgn(Region::CreateRectRgn(1, 1, 8, 7), RGN_AND);
  canvas.ExtSelectClipRgn(Region::CreateRectRgn(4, 2, 11, 6), RGN_AND);
  canvas.GetClipBox(box);
  EXPECT_EQ(box, (RECT{4, 2, 8, 6}));
  canvas.SelectBrush(Brush{BS_SOLID, 0});
  canvas.SelectPen(Pen{PS_NULL, 1, 0});
  canvas.Rectangle(0, 0, 12, 8);
  EXPECT_EQ(PixelMap(image, QRect(0, 0, 12, 8)),
            "............\n"
            "............\n"
            "....####....\n"
            "....####....\n"
            "....####....\n"
            "....####....\n"
            "............\n"
            "............\n");

  canvas.RemoveClip();
  EXPECT_FALSE(canvas.HasClip());
  canvas.FillRect(RECT{0, 7, 12, 8}, Brush{BS_SOLID, RGB(128, 128, 128)});
  EXPECT_EQ(PixelMap(image, QRect(0, 7, 12, 1)), "oooooooooooo\n");

  // An empty clip lets nothing through.
  const Region empty;
  EXPECT_EQ(canvas.SelectClipRgn(&empty), NULLREGION);
  EXPECT_EQ(canvas.GetClipBox(box), NULLREGION);
  canvas.FillRect(RECT{0, 0, 12, 8}, Brush{BS_SOLID, RGB(255, 255, 255)});
  EXPECT_EQ(canvas.GetPixel(5, 3), RGB(0, 0, 0));
}

TEST(CanvasClip, ViewportOriginMovesDrawingAndClip) {
  QImage image = CreateRasterImage(12, 8, 203);
  Canvas canvas(image);
  const Region clip = Region::CreateRectRgn(0, 0, 3, 3);
  canvas.SelectClipRgn(&clip);
  canvas.SetViewportOrgEx(5, 2);
  canvas.FillRect(RECT{-5, -2, 7, 6}, Brush{BS_SOLID, 0});
  canvas.End();
  EXPECT_EQ(PixelMap(image, QRect(0, 0, 12, 8)),
            "............\n"
            "............\n"
            ".....###....\n"
            ".....###....\n"
            ".....###....\n"
            "............\n"
            "............\n"
            "............\n");
}

// Walking the far-away coordinates pixel by pixel would not finish before
// ctest's timeout.
TEST(CanvasClip, FarAwayCoordinatesStayCheap) {
  const POINT huge[] = {{-2000000000, -2000000000},
                        {2000000000, -2000000000},
                        {2000000000, 2000000000},
                        {-2000000000, 2000000000}};
  const Region region = Region::CreatePolygonRgn(huge);
  EXPECT_TRUE(region.PtInRegion(0, 0));
  EXPECT_EQ(region.Box(), (RECT{-kRegionLimit, -kRegionLimit, kRegionLimit, kRegionLimit}));

  QImage image = CreateRasterImage(20, 20, 203);
  {
    Canvas canvas(image);
    canvas.SelectBrush(Brush{BS_SOLID, RGB(128, 128, 128)});
    canvas.SelectPen(Pen{PS_SOLID, 3, 0});
    canvas.Polygon(huge);
    canvas.Rectangle(-2000000000, -2000000000, 2000000000, 2000000000);
    canvas.MoveTo(-2000000000, 10);
    canvas.LineTo(2000000000, 10);
    canvas.SelectPen(Pen{PS_DOT, 1, 0});
    canvas.MoveTo(-2000000000, 3);
    canvas.LineTo(2000000000, 4);
  }
  EXPECT_EQ(image.pixel(5, 15) & 0xFFFFFF, 0x808080u);
  EXPECT_EQ(image.pixel(5, 10) & 0xFFFFFF, 0u);
}

}  // namespace
