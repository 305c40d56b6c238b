// Rectangles and lines on 203 and 300 dpi rasters: frame widths inside the
// box, lines on the row of their LineTop, quarter turns about the box
// centre; and the setters that tie a line's box to its line fields.
#include <gtest/gtest.h>

#include <cmath>

#include "label/LineItem.h"
#include "label/PixelRound.h"
#include "label/PropText.h"
#include "label/RectangleItem.h"
#include "tests/label/ItemTestSupport.h"

using namespace labelplu;
using namespace labelplu::test;

namespace {

int Px(double mm, double ppm) {
  return RoundPx(mm * ppm);
}

TEST(ShapeItems, RectangleFrameLiesInsideTheBoxWithItsPenWidth) {
  struct Case {
    int dpi;
    double penWidth;
    int frame;  // visible frame in pixels
  };
  // 203 dpi: 7.99 px/mm; 300 dpi: 11.81 px/mm.
  for (const Case c : {Case{203, 0.1, 1}, Case{203, 0.5, 4}, Case{203, 0.05, 1}, Case{300, 0.1, 1},
                       Case{300, 0.5, 6}}) {
    SCOPED_TRACE(testing::Message() << c.dpi << " dpi, PenWidth " << c.penWidth);
    PaintedLabel p(c.dpi);
    auto& rect = static_cast<RectangleItem&>(p.Add("Rectangle"));
    SetPropText(&rect, "Left", "10");
    SetPropText(&rect, "Top", "10");
    SetPropText(&rect, "Width", "20");
    SetPropText(&rect, "Height", "10");
    SetPropText(&rect, "PenWidth", FormatRealText(c.penWidth));
    EXPECT_EQ(rect.PenWidth(), std::max(c.penWidth, 0.1));
    const QImage& img = p.Render();
    const double s = p.Ppm();
    const int left = Px(10, s), right = Px(30, s), top = Px(10, s), bottom = Px(20, s);
    const int midY = (top + bottom) / 2, midX = (left + right) / 2;
    for (int i = 0; i < c.frame; ++i) {
      EXPECT_TRUE(IsInk(img, left + i, midY)) << "left " << i;
      EXPECT_TRUE(IsInk(img, right - 1 - i, midY)) << "right " << i;
      EXPECT_TRUE(IsInk(img, midX, top + i)) << "top " << i;
      EXPECT_TRUE(IsInk(img, midX, bottom - 1 - i)) << "bottom " << i;
    }
    // Outside the box nothing; inside the frame the white fill.
    EXPECT_FALSE(IsInk(img, left - 1, midY));
    EXPECT_FALSE(IsInk(img, right, midY));
    EXPECT_FALSE(IsInk(img, midX, top - 1));
    EXPECT_FALSE(IsInk(img, midX, bottom));
    EXPECT_FALSE(IsInk(img, left + c.frame, midY));
    EXPECT_FALSE(IsInk(img, right - 1 - c.frame, midY));
    EXPECT_FALSE(IsInk(img, midX, top + c.frame));
    EXPECT_FALSE(IsInk(img, midX, bottom - 1 - c.frame));
    // The corners are closed.
    EXPECT_TRUE(IsInk(img, left, top));
    EXPECT_TRUE(IsInk(img, right - 1, bottom - 1));
  }
}

TEST(ShapeItems, RectangleFillCoversWhatWasPaintedBefore) {
  PaintedLabel p(203);
  LabelItem& line = p.Add("Line");
  SetPropText(&line, "LineLeft", "5");
  SetPropText(&line, "LineTop", "15");
  SetPropText(&line, "LineLength", "40");
  LabelItem& rect = p.Add("Rectangle");
  SetPropText(&rect, "Left", "10");
  SetPropText(&rect, "Top", "10");
  const QImage& img = p.Render();
  const int row = Px(15, p.Ppm());
  EXPECT_TRUE(IsInk(img, Px(7, p.Ppm()), row));
  EXPECT_FALSE(IsInk(img, Px(15, p.Ppm()), row));  // under the rectangle's white inside
  EXPECT_TRUE(IsInk(img, Px(25, p.Ppm()), row));
}

TEST(ShapeItems, LineSettersKeepTheBoxTwoMillimetresHighAroundTheLine) {
  PaintedLabel p(203);
  auto& line = static_cast<LineItem&>(p.Add("Line"));
  EXPECT_EQ(line.Caption(), "Линия");
  EXPECT_EQ(line.Height(), 2.0);
  SetPropText(&line, "LineLeft", "10");
  SetPropText(&line, "LineTop", "20");
  SetPropText(&line, "LineLength", "30");
  EXPECT_EQ((std::array{line.Left(), line.Top(), line.Width(), line.Height()}),
            (std::array{10.0, 19.0, 30.0, 2.0}));
  // The box snaps; LineTop follows the snapped box when the height is
  // set again.
  SetPropText(&line, "LineTop", "12,4");
  EXPECT_EQ(line.Top(), 11.0);
  EXPECT_EQ(line.LineTop(), 12.0);
  SetPropText(&line, "LineLeft", "3,4");
  EXPECT_EQ(line.Left(), 3.0);
  EXPECT_EQ(line.LineLeft(), 3.4);
  // SetHeight puts the line at half the requested height below Top.
  line.SetTop(10);
  line.SetHeight(8);
  EXPECT_EQ(line.Top(), 13.0);
  EXPECT_EQ(line.LineTop(), 14.0);
  EXPECT_EQ(line.Height(), 2.0);
  line.SetWidth(12.6);
  EXPECT_EQ(line.Width(), 13.0);
  EXPECT_EQ(line.LineLength(), 12.6);
}

TEST(ShapeItems, LineLiesOnTheRowOfLineTop) {
  struct Case {
    int dpi;
    double penWidth;
  };
  for (const Case c : {Case{203, 0.1}, Case{300, 0.1}, Case{203, 0.5}, Case{300, 0.5}}) {
    SCOPED_TRACE(testing::Message() << c.dpi << " dpi, PenWidth " << c.penWidth);
    PaintedLabel p(c.dpi);
    LabelItem& line = p.Add("Line");
    SetPropText(&line, "LineLeft", "10");
    SetPropText(&line, "LineTop", "20");
    SetPropText(&line, "LineLength", "30");
    SetPropText(&line, "PenWidth", FormatRealText(c.penWidth));
    const QImage& img = p.Render();
    const double s = p.Ppm();
    const int row = Px(20, s);
    const int x0 = Px(10, s), x1 = Px(40, s);
    const int g = RoundPx(s * c.penWidth);
    if (g == 1) {
      // A plain one-pixel line without its end pixel.
      const QRect ink = InkBox(img, img.rect());
      EXPECT_EQ(ink, QRect(QPoint(x0, row), QPoint(x1 - 1, row)));
    } else {
      // A quadrilateral of half-thickness h on each side of the row, its
      // outline included.
      const int h = RoundPx(s * c.penWidth / 2);
      const QRect ink = InkBox(img, img.rect());
      EXPECT_EQ(ink, QRect(QPoint(x0, row - h), QPoint(x1, row + h)));
      for (int y = row - h; y <= row + h; ++y) EXPECT_TRUE(IsInk(img, (x0 + x1) / 2, y)) << y;
    }
  }
}

TEST(ShapeItems, QuarterTurnsTurnLinesAndFramesAboutTheBoxCentre) {
  for (const int dpi : {203, 300}) {
    SCOPED_TRACE(dpi);
    // A line 30 mm long at y = 20 from x = 10, turned by 90°: vertical at
    // x = 25 mm from y = 5 to 35 mm.
    PaintedLabel p(dpi);
    LabelItem& line = p.Add("Line");
    SetPropText(&line, "LineLeft", "10");
    SetPropText(&line, "LineTop", "20");
    SetPropText(&line, "LineLength", "30");
    SetPropText(&line, "RotationFixed", "r90");
    // A frame 20 × 10 mm at (30, 10) turned by 270° (not published for
    // rectangles, but the base turns every item): 10 × 20 mm at (35, 5).
    LabelItem& rect = p.Add("Rectangle");
    SetPropText(&rect, "Left", "30");
    SetPropText(&rect, "Top", "10");
    SetPropText(&rect, "Width", "20");
    SetPropText(&rect, "Height", "10");
    rect.SetRotationFixed(r270);
    const QImage& img = p.Render();
    const double s = p.Ppm();
    const QRect lineInk = InkBox(img, QRect(0, 0, Px(30, s), img.height()));
    EXPECT_EQ(lineInk, QRect(QPoint(Px(25, s), Px(5, s)), QPoint(Px(25, s), Px(35, s) - 1)));
    const QRect frameInk = InkBox(img, QRect(Px(30, s), 0, img.width() - Px(30, s), img.height()));
    EXPECT_EQ(frameInk, QRect(QPoint(Px(35, s), Px(5, s)), QPoint(Px(45, s) - 1, Px(25, s) - 1)));
  }
}

TEST(ShapeItems, ThickLinesTurnWithTheirBox) {
  // 0.5 mm at 203 dpi: a filled band, turned by 180° onto itself and by 90°
  // into a column of the same thickness.
  PaintedLabel straight(203), turned(203);
  for (PaintedLabel* p : {&straight, &turned}) {
    LabelItem& line = p->Add("Line");
    SetPropText(&line, "LineLeft", "10");
    SetPropText(&line, "LineTop", "20");
    SetPropText(&line, "LineLength", "30");
    SetPropText(&line, "PenWidth", "0.5");
    if (p == &turned) SetPropText(&line, "RotationFixed", "r90");
  }
  const QRect a = InkBox(straight.Render(), straight.image.rect());
  const QRect b = InkBox(turned.Render(), turned.image.rect());
  EXPECT_EQ(a.height(), b.width());
  EXPECT_NEAR(a.width(), b.height(), 1);
  const double s = straight.Ppm();
  EXPECT_NEAR(b.center().x(), Px(25, s), 1);
  EXPECT_NEAR(b.center().y(), Px(20, s), 1);
}

}  // namespace

namespace {

TEST(ShapeItems, AbsurdPenWidthsStayInsideTheirBoxOrTheLabel) {
  PaintedLabel p(300);
  LabelItem& rect = p.Add("Rectangle");
  SetPropText(&rect, "Left", "5");
  SetPropText(&rect, "Top", "2");
  SetPropText(&rect, "PenWidth", "10000");
  LabelItem& line = p.Add("Line");
  SetPropText(&line, "LineLeft", "30");
  SetPropText(&line, "LineTop", "20");
  SetPropText(&line, "LineLength", "10");
  SetPropText(&line, "PenWidth", "10000");
  SetPropText(&line, "RotationFixed", "r90");
  EXPECT_THROW(SetPropText(&line, "PenWidth", "1e12"), PropertyError);
  const QImage& img = p.Render();
  const double s = p.Ppm();
  // The frame fills its whole box. The line turned upright runs from y = 15
  // to 25 mm and is as wide as the label's inner area lets it be.
  const int split = Px(14, s);
  EXPECT_EQ(InkBox(img, QRect(0, 0, img.width(), split)),
            QRect(QPoint(Px(5, s), Px(2, s)), QPoint(Px(15, s) - 1, Px(12, s) - 1)));
  EXPECT_EQ(InkBox(img, QRect(0, split, img.width(), img.height() - split)),
            QRect(QPoint(Px(1, s), Px(15, s)), QPoint(Px(57, s) - 1, Px(25, s))));
}

}  // namespace
