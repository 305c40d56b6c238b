// Shapes on a raster canvas: rectangles, frames clipped to their outline,
// lines and their excluded end pixel, dash patterns, mix modes; a row
// repeated down an image.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QPdfWriter>

#include <set>
#include <utility>

#include "tests/platform/gdi/GdiTestSupport.h"

using namespace labelplu::gdi;
using gditest::PixelMap;

namespace {

constexpr COLORREF kGrey = RGB(128, 128, 128);

class CanvasShapes : public ::testing::TestWithParam<int> {
 protected:
  QImage m_image = CreateRasterImage(32, 24, GetParam());
};

TEST_P(CanvasShapes, DeviceReportsItsResolutionAndSize) {
  Canvas canvas(m_image);
  EXPECT_EQ(canvas.GetDeviceCaps(LOGPIXELSX), GetParam());
  EXPECT_EQ(canvas.GetDeviceCaps(LOGPIXELSY), GetParam());
  EXPECT_EQ(canvas.GetDeviceCaps(HORZRES), 32);
  EXPECT_EQ(canvas.GetDeviceCaps(VERTRES), 24);
  EXPECT_EQ(canvas.GetDeviceCaps(PHYSICALWIDTH), 32);
  EXPECT_EQ(canvas.GetDeviceCaps(PHYSICALOFFSETX), 0);
}

TEST_P(CanvasShapes, OnePixelRectangleCoversItsBorderRightAndBottomExclusive) {
  {
    Canvas canvas(m_image);
    canvas.SelectBrush(Brush{BS_SOLID, kGrey});
    canvas.Rectangle(2, 3, 10, 8);
  }
  EXPECT_EQ(PixelMap(m_image, QRect(0, 1, 12, 9)),
            "............\n"
            "............\n"
            "..########..\n"
            "..#oooooo#..\n"
            "..#oooooo#..\n"
            "..#oooooo#..\n"
            "..########..\n"
            "............\n"
            "............\n");
}

// Every pixel of the image: pen band, brush inside, or untouched.
struct FrameCase {
  const char* name;
  Pen pen;
  QRect band;    // outer edge of the pen's band
  QRect inside;  // the brush's part
};

TEST_P(CanvasShapes, WidePensLieWhereTheirStyleSays) {
  const FrameCase cases[] = {
      // Inside the bounds 4..19 × 4..15, four pixels wide.
      {"inside frame", Pen{PS_INSIDEFRAME, 4, 0}, QRect(QPoint(4, 4), QPoint(19, 15)),
       QRect(QPoint(8, 8), QPoint(15, 11))},
      // Centred on the one-pixel outline: two pixels out, one in.
      {"solid", Pen{PS_SOLID, 4, 0}, QRect(QPoint(2, 2), QPoint(21, 17)),
       QRect(QPoint(6, 6), QPoint(17, 13))},
  };
  for (const FrameCase& c : cases) {
    SCOPED_TRACE(c.name);
    m_image.fill(Qt::white);
    {
      Canvas canvas(m_image);
      canvas.SelectPen(c.pen);
      canvas.SelectBrush(Brush{BS_SOLID, kGrey});
      canvas.Rectangle(4, 4, 20, 16);
    }
    for (int y = 0; y < m_image.height(); ++y) {
      for (int x = 0; x < m_image.width(); ++x) {
        const QRgb want = c.inside.contains(x, y) ? qRgb(128, 128, 128)
                          : c.band.contains(x, y) ? qRgb(0, 0, 0)
                                                  : qRgb(255, 255, 255);
        ASSERT_EQ(m_image.pixel(x, y) & 0xFFFFFF, want & 0xFFFFFF) << "pixel " << x << "," << y;
      }
    }
  }
}

// The frame item's way: a polygon with a pen of twice the frame width,
// clipped to the polygon's own region, leaves a frame inside the box.
TEST_P(CanvasShapes, DoublePenClippedToItsOutlineLeavesTheFrameInside) {
  for (int frame : {1, 4}) {
    SCOPED_TRACE(frame);
    m_image.fill(QColor(0, 128, 255));
    const POINT outline[] = {{5, 5}, {25, 5}, {25, 19}, {5, 19}};
    {
      Canvas canvas(m_image);
      const Region region = Region::CreatePolygonRgn(outline);
      canvas.SelectClipRgn(&region);
      canvas.SelectPen(Pen{PS_SOLID, frame * 2, 0});
      canvas.SelectBrush(Brush{BS_SOLID, RGB(255, 255, 255)});
      canvas.Polygon(outline);
    }
    const QRect box(QPoint(5, 5), QPoint(24, 18));
    const QRect inner = box.adjusted(frame, frame, -frame, -frame);
    for (int y = 0; y < m_image.height(); ++y) {
      for (int x = 0; x < m_image.width(); ++x) {
        const QRgb want = !box.contains(x, y)    ? qRgb(0, 128, 255)
                          : inner.contains(x, y) ? qRgb(255, 255, 255)
                                                 : qRgb(0, 0, 0);
        ASSERT_EQ(m_image.pixel(x, y) & 0xFFFFFF, want & 0xFFFFFF) << "pixel " << x << "," << y;
      }
    }
  }
}

std::set<std::pair<int, int>> Painted(const QImage& image) {
  std::set<std::pair<int, int>> out;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if ((image.pixel(x, y) & 0xFFFFFF) == 0) out.insert({x, y});
    }
  }
  return out;
}

std::set<std::pair<int, int>> DrawLine(QImage& image, POINT a, POINT b) {
  image.fill(Qt::white);
  {
    Canvas canvas(image);
    canvas.MoveTo(a.x, a.y);
    canvas.LineTo(b.x, b.y);
  }
  return Painted(image);
}

TEST_P(CanvasShapes, LineToLeavesOutItsEndPixel) {
  using Pixels = std::set<std::pair<int, int>>;
  EXPECT_EQ(DrawLine(m_image, {2, 2}, {8, 2}),
            (Pixels{{2, 2}, {3, 2}, {4, 2}, {5, 2}, {6, 2}, {7, 2}}));
  EXPECT_EQ(DrawLine(m_image, {8, 2}, {2, 2}),
            (Pixels{{8, 2}, {7, 2}, {6, 2}, {5, 2}, {4, 2}, {3, 2}}));
  EXPECT_EQ(DrawLine(m_image, {3, 1}, {3, 4}), (Pixels{{3, 1}, {3, 2}, {3, 3}}));
  EXPECT_EQ(DrawLine(m_image, {2, 2}, {6, 6}), (Pixels{{2, 2}, {3, 3}, {4, 4}, {5, 5}}));
  EXPECT_TRUE(DrawLine(m_image, {5, 5}, {5, 5}).empty());
  // Either way along a slanted line, the same pixels apart from the end.
  for (const auto& [a, b] :
       {std::pair<POINT, POINT>{{1, 1}, {21, 8}}, {{3, 20}, {9, 2}}, {{30, 4}, {0, 13}}}) {
    Pixels forward = DrawLine(m_image, a, b);
    Pixels backward = DrawLine(m_image, b, a);
    EXPECT_EQ(forward.count({b.x, b.y}), 0u);
    forward.insert({b.x, b.y});
    backward.insert({a.x, a.y});
    EXPECT_EQ(forward, backward);
  }
}

TEST_P(CanvasShapes, LinesAcrossTheClipKeepTheirPixels) {
  // A line clipped by the canvas paints what the whole line paints there.
  const POINT a{-999990, -299997};
  const POINT b{1000010, 300013};
  const auto whole = DrawLine(m_image, a, b);
  EXPECT_FALSE(whole.empty());
  std::set<std::pair<int, int>> expected;
  for (const auto& p : whole) {
    if (p.first >= 10 && p.first < 20) expected.insert(p);
  }
  m_image.fill(Qt::white);
  {
    Canvas canvas(m_image);
    const Region clip = Region::CreateRectRgn(10, 0, 20, 24);
    canvas.SelectClipRgn(&clip);
    canvas.MoveTo(a.x, a.y);
    canvas.LineTo(b.x, b.y);
  }
  EXPECT_EQ(Painted(m_image), expected);
}

TEST_P(CanvasShapes, DashedPensPaintTheirPatternAndGapsByBackgroundMode) {
  struct Case {
    int32_t style;
    Brush brush;  // selecting it sets the background mode and colour
    const char* row;
  };
  const Case cases[] = {
      {PS_DOT, Brush{BS_NULL, 0}, "###...###...###...###...#......\n"},
      {PS_DOT, Brush{BS_SOLID, kGrey}, "###ooo###ooo###ooo###ooo#......\n"},
      {PS_DASHDOT, Brush{BS_NULL, 0}, "#########......###......#......\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    m_image.fill(Qt::white);
    {
      Canvas canvas(m_image);
      canvas.SelectPen(Pen{c.style, 1, 0});
      canvas.SelectBrush(c.brush);
      canvas.MoveTo(0, 0);
      canvas.LineTo(12, 0);
      canvas.LineTo(25, 0);  // the pattern runs on along connected lines
    }
    EXPECT_EQ(PixelMap(m_image, QRect(0, 0, 31, 1)), c.row);
  }
}

TEST_P(CanvasShapes, XorRectangleTwiceRestoresThePicture) {
  m_image.fill(QColor(10, 200, 30));
  const QImage before = m_image.copy();
  Canvas canvas(m_image);
  canvas.SelectPen(Pen{PS_DASHDOT, 1, RGB(128, 128, 128)});
  canvas.SelectBrush(Brush{BS_NULL, 0});
  canvas.SetROP2(R2_XORPEN);
  canvas.Rectangle(3, 3, 28, 20);
  EXPECT_EQ(canvas.GetPixel(3, 3), RGB(10 ^ 128, 200 ^ 128, 30 ^ 128));
  EXPECT_EQ(canvas.GetPixel(3, 19), RGB(10 ^ 128, 200 ^ 128, 30 ^ 128));
  EXPECT_EQ(canvas.GetPixel(10, 10), RGB(10, 200, 30));
  canvas.Rectangle(3, 3, 28, 20);
  canvas.End();
  EXPECT_EQ(m_image, before);
}

INSTANTIATE_TEST_SUITE_P(Dpi, CanvasShapes, ::testing::Values(203, 300));

TEST(CanvasRepeatTopRow, CopiesTheTopRowDownWithinTheDeviceOnly) {
  for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_BGR888}) {
    SCOPED_TRACE(format);
    QImage image = CreateRasterImage(20, 12, 203, format);
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x * 10, y * 20, 7));
    }
    const QImage before = image.copy();
    {
      Canvas canvas(image);
      canvas.SetViewportOrgEx(4, 2);
      // Logical rows 1..14 are device rows 3..16: the image ends at row 11,
      // and columns right of the image are left out.
      ASSERT_TRUE(canvas.RepeatTopRow(RECT{-1, 1, 30, 15}));
      EXPECT_FALSE(canvas.RepeatTopRow(RECT{0, 20, 5, 25}));  // top row below the image
      EXPECT_FALSE(canvas.RepeatTopRow(RECT{0, -3, 5, 5}));   // top row above it
    }
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        const bool copied = y > 3 && x >= 3;
        EXPECT_EQ(image.pixel(x, y), before.pixel(x, copied ? 3 : y)) << x << "," << y;
      }
    }
  }
}

TEST(CanvasRepeatTopRow, DeclinesWithAClipOrWithoutPixels) {
  QImage image = CreateRasterImage(10, 10, 203);
  image.fill(Qt::white);
  {
    Canvas canvas(image);
    canvas.SetPixel(2, 0, RGB(0, 0, 0));
    const Region clip = Region::CreateRectRgn(0, 0, 10, 10);
    canvas.SelectClipRgn(&clip);
    EXPECT_FALSE(canvas.RepeatTopRow(RECT{0, 0, 10, 10}));
  }
  EXPECT_EQ(image.pixel(2, 1), qRgb(255, 255, 255));
  QBuffer out;
  out.open(QIODevice::WriteOnly);
  QPdfWriter writer(&out);
  Canvas pdf(writer);
  EXPECT_FALSE(pdf.RepeatTopRow(RECT{0, 0, 10, 10}));
}

TEST(RasterTarget, RefusesWhatCannotBePainted) {
  EXPECT_THROW(CreateRasterImage(0, 10, 203), GdiError);
  EXPECT_THROW(CreateRasterImage(10, 70000, 203), GdiError);
  EXPECT_THROW(CreateRasterImage(60000, 60000, 203), GdiError);
  EXPECT_THROW(CreateRasterImage(10, 10, 0), GdiError);
  EXPECT_THROW(CreateRasterImage(10, 10, 203, QImage::Format_Mono), GdiError);
  QImage mono(8, 8, QImage::Format_Mono);
  EXPECT_THROW(Canvas{mono}, GdiError);
  QImage null;
  EXPECT_THROW(Canvas{null}, GdiError);
  QImage image = CreateRasterImage(8, 8, 203);
  Canvas canvas(image);
  canvas.End();
  EXPECT_THROW(canvas.LineTo(3, 3), GdiError);
  EXPECT_THROW(canvas.SelectPen(Pen{42, 1, 0}), GdiError);
}

TEST(MulDiv, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDiv(8, 203, 72), 23);  // 22.56
  EXPECT_EQ(MulDiv(3, 3, 2), 5);      // 4.5
  EXPECT_EQ(MulDiv(-3, 3, 2), -5);
  EXPECT_EQ(MulDiv(7, 300, 72), 29);  // 29.17
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
  EXPECT_EQ(MulDiv(0x7FFFFFFF, 4, 1), -1);
}

}  // namespace
