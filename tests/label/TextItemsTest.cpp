// The text items: defaults and published properties, negative cells,
// quarter turns clockwise about the box centre, and the clip to the turned
// box and to the label's inner area, on 203 and 300 dpi rasters.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "label/GraphicTextItem.h"
#include "label/PixelRound.h"
#include "label/PropText.h"
#include "label/TextItem.h"
#include "tests/label/ItemTestSupport.h"

using namespace labelplu;
using namespace labelplu::test;

namespace {

int Px(double mm, double ppm) {
  return RoundPx(mm * ppm);
}

std::vector<std::string> PublishedNames(const LabelItem& p) {
  std::vector<std::string> names;
  for (const PropertyInfo& info : p.Properties()) names.emplace_back(info.Name);
  return names;
}

// A negative text of one line at (10, 10) mm, 20 × 5 mm, turned by r.
LabelItem& AddNegativeText(PaintedLabel& p, Rotation r, const char* text = "ШЖШ") {
  LabelItem& t = p.Add("TextSimple");
  SetPropText(&t, "Value", text);
  SetPropText(&t, "Left", "10");
  SetPropText(&t, "Top", "10");
  SetPropText(&t, "Negative", "True");
  t.SetRotationFixed(r);
  return t;
}

TEST(TextItems, DefaultsAndPublishedProperties) {
  PaintedLabel p(203);
  auto& simple = static_cast<TextItem&>(p.Add("TextSimple"));
  auto& graphic = static_cast<GraphicTextItem&>(p.Add("TextGraphic"));
  EXPECT_EQ(simple.GetValue(), "Текст простой");
  EXPECT_EQ(graphic.GetValue(), "Текст графический");
  EXPECT_EQ(graphic.Caption(), "Текст графический");
  EXPECT_EQ((std::array{simple.Width(), simple.Height(), graphic.Width(), graphic.Height()}),
            (std::array{20.0, 5.0, 25.0, 5.0}));
  EXPECT_EQ(simple.Font().Size(), 8);
  EXPECT_EQ(graphic.Font().Size(), 7);
  EXPECT_EQ(graphic.Font().Name(), "Arial");
  EXPECT_EQ(simple.MaxSymbols(), 100);
  EXPECT_EQ(graphic.DrawPen().style, gdi::PS_NULL);
  EXPECT_EQ(
      (std::array{graphic.HAlign() == haLeft, graphic.VAlign() == vaTop, !graphic.Negative()}),
      (std::array{true, true, true}));

  EXPECT_EQ(PublishedNames(simple),
            (std::vector<std::string>{"DS", "Value", "Left", "Top", "Width", "Height",
                                      "RotationFixed", "FontSize", "Negative", "MaxSymbols"}));
  EXPECT_EQ(PublishedNames(graphic),
            (std::vector<std::string>{"DS", "Value", "Left", "Top", "Width", "Height",
                                      "RotationFixed", "Font", "VAlign", "HAlign", "Negative"}));
  EXPECT_EQ(PublishedNames(p.Add("Rectangle")),
            (std::vector<std::string>{"Left", "Top", "Width", "Height", "PenWidth"}));
  EXPECT_EQ(
      PublishedNames(p.Add("Line")),
      (std::vector<std::string>{"LineLeft", "LineTop", "LineLength", "RotationFixed", "PenWidth"}));
}

TEST(TextItems, FontSizeSelectsOneOfFivePointSizes) {
  PaintedLabel p(203);
  auto& simple = static_cast<TextItem&>(p.Add("TextSimple"));
  const struct {
    const char* fontSize;
    int points;
  } cases[] = {{"1", 4}, {"2", 5}, {"4", 10}, {"3", 8}, {"5", 14}, {"7", 14}, {"0", 14}};
  for (const auto& c : cases) {
    SetPropText(&simple, "FontSize", c.fontSize);
    EXPECT_EQ(simple.Font().Size(), c.points) << c.fontSize;
  }
  EXPECT_EQ(simple.FontSize(), 0);  // stored even where the font stays
}

TEST(TextItems, NegativeSwapsFontAndBrushColours) {
  PaintedLabel p(203);
  auto& t = static_cast<GraphicTextItem&>(p.Add("TextGraphic"));
  SetPropText(&t, "Negative", "True");
  EXPECT_EQ(t.Font().Color(), kColorWhite);
  EXPECT_EQ(t.DrawBrush().color, gdi::RGB(0, 0, 0));
  SetPropText(&t, "Negative", "False");
  EXPECT_EQ(t.Font().Color(), kColorBlack);
  EXPECT_EQ(t.DrawBrush().color, gdi::RGB(255, 255, 255));
}

TEST(TextItems, NegativeTextIsWhiteOnBlackCellsAndLeavesTheRestOfTheBox) {
  for (const int dpi : {203, 300}) {
    SCOPED_TRACE(dpi);
    PaintedLabel p(dpi);
    auto& t = static_cast<TextItemBase&>(AddNegativeText(p, r0));
    // The cell the canvas measures for this text with the item's font.
    gdi::SIZE cell;
    {
      QImage scratch = gdi::CreateRasterImage(4, 4, dpi);
      gdi::Canvas measure(scratch);
      measure.SelectFont(t.DeviceFont());
      cell = measure.GetTextExtentPoint32("ШЖШ");
    }
    const QImage& img = p.Render();
    const double s = p.Ppm();
    const int left = Px(10, s), top = Px(10, s);
    ASSERT_LT(cell.cy + 1, Px(5, s));
    // The cell starts one pixel right of and below the box's corner.
    EXPECT_EQ(InkBox(img, img.rect()), QRect(left + 1, top + 1, cell.cx, cell.cy));
    // White glyphs inside the black cell.
    int white = 0;
    for (int y = top + 1; y < top + 1 + cell.cy; ++y)
      for (int x = left + 1; x < left + 1 + cell.cx; ++x) white += IsInk(img, x, y) ? 0 : 1;
    EXPECT_GT(white, cell.cx * cell.cy / 10);
  }
}

TEST(TextItems, QuarterTurnsWriteClockwiseAboutTheBoxCentre) {
  for (const int dpi : {203, 300}) {
    PaintedLabel straight(dpi);
    AddNegativeText(straight, r0);
    const QRect cell = InkBox(straight.Render(), straight.image.rect());
    const double s = straight.Ppm();
    // The centre the lines turn about: the box's device rectangle's middle.
    const int left = Px(10, s), top = Px(10, s);
    const int cx = left + (Px(30, s) - left) / 2;
    const int cy = top + (Px(15, s) - top) / 2;
    for (const Rotation r : {r90, r180, r270}) {
      SCOPED_TRACE(testing::Message() << dpi << " dpi, r" << 90 * r);
      PaintedLabel turned(dpi);
      AddNegativeText(turned, r);
      const QRect ink = InkBox(turned.Render(), turned.image.rect());
      // The unturned cell's corners turned clockwise about the centre
      // (pixel edges), then one pixel right and down as every line.
      double x0 = cell.left() - 1, y0 = cell.top() - 1;
      double x1 = cell.right() + 1 - 1, y1 = cell.bottom() + 1 - 1;
      RotatePoint(cx, cy, 90 * r, x0, y0);
      RotatePoint(cx, cy, 90 * r, x1, y1);
      const QRect expected(
          QPoint(static_cast<int>(std::min(x0, x1)) + 1, static_cast<int>(std::min(y0, y1)) + 1),
          QPoint(static_cast<int>(std::max(x0, x1)), static_cast<int>(std::max(y0, y1))));
      EXPECT_NEAR(ink.left(), expected.left(), 1);
      EXPECT_NEAR(ink.top(), expected.top(), 1);
      EXPECT_NEAR(ink.right(), expected.right(), 1);
      EXPECT_NEAR(ink.bottom(), expected.bottom(), 1);
    }
  }
}

TEST(TextItems, TextIsClippedToTheTurnedBoxAndTheLabelsInnerArea) {
  for (const int dpi : {203, 300}) {
    SCOPED_TRACE(dpi);
    PaintedLabel p(dpi);
    // A 10 × 4 mm box at (20, 10) turned by 90°: 4 × 10 mm at (23, 7). The
    // first letter's cell alone is larger than the box.
    LabelItem& big = p.Add("TextGraphic");
    SetPropText(&big, "Value", "ШШШШ ШШШШ");
    SetPropText(&big, "Left", "20");
    SetPropText(&big, "Top", "10");
    SetPropText(&big, "Width", "10");
    SetPropText(&big, "Height", "4");
    SetPropText(&big, "Font.Size", "40");
    SetPropText(&big, "Negative", "True");
    SetPropText(&big, "RotationFixed", "r90");
    // A text in the label's corner: the outer millimetre stays clear.
    LabelItem& corner = p.Add("TextSimple");
    SetPropText(&corner, "Value", "ШШШ");
    SetPropText(&corner, "Left", "0");
    SetPropText(&corner, "Top", "0");
    SetPropText(&corner, "FontSize", "5");
    SetPropText(&corner, "Negative", "True");
    const QImage& img = p.Render();
    const double s = p.Ppm();
    const QRect turnedBox(QPoint(Px(23, s), Px(7, s)), QPoint(Px(27, s) - 1, Px(17, s) - 1));
    const QRect bigInk = InkBox(img, QRect(Px(18, s), 0, img.width() - Px(18, s), img.height()));
    EXPECT_TRUE(turnedBox.contains(bigInk))
        << bigInk.x() << "," << bigInk.y() << " " << bigInk.width() << "x" << bigInk.height();
    EXPECT_GE(bigInk.width(), turnedBox.width() - 1);
    EXPECT_GE(bigInk.height(), turnedBox.height() - 1);
    const QRect cornerInk = InkBox(img, QRect(0, 0, Px(18, s), img.height()));
    EXPECT_EQ(cornerInk.topLeft(), QPoint(Px(1, s), Px(1, s)));
  }
}

}  // namespace

namespace {

TEST(TextItems, HugeFontsAndLongTextsStayInTheBox) {
  PaintedLabel p(300);
  LabelItem& t = p.Add("TextGraphic");
  SetPropText(&t, "Value", std::string(2000, 'W') + " " + std::string(500, 'i'));
  SetPropText(&t, "Left", "10");
  SetPropText(&t, "Top", "10");
  SetPropText(&t, "Width", "20");
  SetPropText(&t, "Height", "10");
  SetPropText(&t, "Font.Size", "1000");
  SetPropText(&t, "Negative", "True");  // black cells show where text went
  SetPropText(&t, "RotationFixed", "r270");
  const QImage& img = p.Render();
  const double s = p.Ppm();
  // Turned by 270°: 10 × 20 mm at (15, 5).
  const QRect turnedBox(QPoint(Px(15, s), Px(5, s)), QPoint(Px(25, s) - 1, Px(25, s) - 1));
  const QRect ink = InkBox(img, img.rect());
  EXPECT_TRUE(turnedBox.contains(ink));
  EXPECT_GE(ink.width(), turnedBox.width() - 1);
  EXPECT_GE(ink.height(), turnedBox.height() - 1);
}

}  // namespace
