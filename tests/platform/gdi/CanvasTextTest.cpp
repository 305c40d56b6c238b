// Text on a raster canvas: the cell TextOut fills, escapement, font heights
// and metrics, and the missing GUI application.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/platform/gdi/GdiTestSupport.h"

using namespace labelplu::gdi;
using gditest::EnsureGuiApp;
using gditest::PaintedBox;

namespace {

constexpr QRgb kBackground =
    qRgb(0, 128, 255);  // neither text nor cell colour, nor a blend of them

class CanvasText : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    EnsureGuiApp();
    m_image = CreateRasterImage(600, 600, GetParam());
    m_image.fill(kBackground);
  }

  // The font of an 8-point text at the target's resolution, as the text
  // items build it.
  LOGFONT EightPoint(int32_t escapement = 0) const {
    LOGFONT font;
    font.lfFaceName = "Arial";
    font.lfHeight = -MulDiv(8, GetParam(), 72);
    font.lfEscapement = escapement;
    font.lfQuality = ANTIALIASED_QUALITY;
    font.lfCharSet = RUSSIAN_CHARSET;
    return font;
  }

  QImage m_image;
};

TEST_P(CanvasText, OpaqueTextFillsExactlyItsCellAtTheReferencePoint) {
  SIZE cell;
  {
    Canvas canvas(m_image);
    canvas.SelectFont(EightPoint());
    canvas.SelectBrush(Brush{BS_SOLID, RGB(0, 0, 0)});
    canvas.SetTextColor(RGB(255, 255, 255));
    cell = canvas.GetTextExtentPoint32("Цена 123,45");
    EXPECT_EQ(cell.cy, canvas.GetTextMetrics().tmHeight);
    canvas.TextOut(37, 51, "Цена 123,45");
  }
  EXPECT_GT(cell.cx, cell.cy);
  EXPECT_EQ(PaintedBox(m_image, kBackground), QRect(37, 51, cell.cx, cell.cy));
  // Glyphs show in white on the black cell.
  int white = 0;
  for (int y = 51; y < 51 + cell.cy; ++y) {
    for (int x = 37; x < 37 + cell.cx; ++x) white += (m_image.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
  }
  EXPECT_GT(white, cell.cy);
}

TEST_P(CanvasText, TransparentTextStaysInsideItsCell) {
  SIZE cell;
  {
    Canvas canvas(m_image);
    canvas.SelectFont(EightPoint());
    canvas.SelectBrush(Brush{BS_NULL, 0});
    cell = canvas.GetTextExtentPoint32("Артикул");
    canvas.TextOut(20, 30, "Артикул");
  }
  const QRect painted = PaintedBox(m_image, kBackground);
  ASSERT_FALSE(painted.isNull());
  EXPECT_TRUE(QRect(20, 30, cell.cx, cell.cy).contains(painted))
      << painted.x() << "," << painted.y() << " " << painted.width() << "x" << painted.height();
}

// The cell turns about the reference point: 900 reads bottom-to-top, so the
// cell rises above the point; 2700 reads top-to-bottom.
TEST_P(CanvasText, EscapementTurnsTheCellAboutTheReferencePoint) {
  const int originX = 300;
  const int originY = 300;
  struct Case {
    int32_t escapement;
    QRect (*box)(int x, int y, SIZE cell);
  };
  const Case cases[] = {
      {900, [](int x, int y, SIZE c) { return QRect(x, y - c.cx, c.cy, c.cx); }},
      {1800, [](int x, int y, SIZE c) { return QRect(x - c.cx, y - c.cy, c.cx, c.cy); }},
      {2700, [](int x, int y, SIZE c) { return QRect(x - c.cy, y, c.cy, c.cx); }},
      {-900, [](int x, int y, SIZE c) { return QRect(x - c.cy, y, c.cy, c.cx); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.escapement);
    m_image.fill(kBackground);
    SIZE cell;
    {
      Canvas canvas(m_image);
      canvas.SelectFont(EightPoint(c.escapement));
      canvas.SelectBrush(Brush{BS_SOLID, RGB(255, 255, 255)});
      cell = canvas.GetTextExtentPoint32("Наименование");
      canvas.TextOut(originX, originY, "Наименование");
    }
    EXPECT_EQ(PaintedBox(m_image, kBackground), c.box(originX, originY, cell));
  }
}

// Reading bottom-to-top: a text that starts with a tall letter and ends with
// spaces has its ink at the bottom of the turned cell.
TEST_P(CanvasText, EscapementReadsBottomToTop) {
  SIZE cell;
  {
    Canvas canvas(m_image);
    canvas.SelectFont(EightPoint(900));
    canvas.SelectBrush(Brush{BS_NULL, 0});
    cell = canvas.GetTextExtentPoint32("H        ");
    canvas.TextOut(200, 200, "H        ");
  }
  const QRect ink = PaintedBox(m_image, kBackground);
  ASSERT_FALSE(ink.isNull());
  EXPECT_GT(ink.top(), 200 - cell.cx / 2);
  EXPECT_LE(ink.bottom(), 200);
  EXPECT_GE(ink.left(), 200);
}

INSTANTIATE_TEST_SUITE_P(Dpi, CanvasText, ::testing::Values(203, 300));

TEST(CanvasFont, NegativeHeightIsTheCharacterPositiveTheCell) {
  EnsureGuiApp();
  QImage image = CreateRasterImage(10, 10, 203);
  Canvas canvas(image);
  for (int32_t h : {-23, -33, -100}) {
    SCOPED_TRACE(h);
    LOGFONT font;
    font.lfHeight = h;
    canvas.SelectFont(font);
    const TEXTMETRIC tm = canvas.GetTextMetrics();
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, -h);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);
    // "Arial" resolves to a face with Arial's proportions: ascent 1854 and
    // descent 434 of 2048 units.
    EXPECT_EQ(tm.tmAscent, std::lround(-h * 1854.0 / 2048));
    EXPECT_EQ(tm.tmDescent, std::lround(-h * 434.0 / 2048));
  }
  for (int32_t h : {26, 37, 112}) {
    SCOPED_TRACE(h);
    LOGFONT font;
    font.lfHeight = h;
    canvas.SelectFont(font);
    const TEXTMETRIC tm = canvas.GetTextMetrics();
    EXPECT_EQ(tm.tmHeight, h);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, std::lround(h * 2048.0 / 2288));
    EXPECT_EQ(canvas.GetTextExtentPoint32("x").cy, h);
  }
  // A bigger character height gives a wider text.
  LOGFONT small;
  small.lfHeight = -20;
  LOGFONT big = small;
  big.lfHeight = -40;
  canvas.SelectFont(small);
  const int32_t narrow = canvas.GetTextExtentPoint32("Штрихкод").cx;
  const LOGFONT previous = canvas.SelectFont(big);
  EXPECT_EQ(previous, small);
  EXPECT_NEAR(canvas.GetTextExtentPoint32("Штрихкод").cx, 2 * narrow, 1);
  // Bold is wider than regular.
  big.lfWeight = FW_BOLD;
  canvas.SelectFont(big);
  EXPECT_GT(canvas.GetTextExtentPoint32("Штрихкод").cx, 2 * narrow + 1);
}

TEST(CanvasFont, RefusesAbsurdFonts) {
  EnsureGuiApp();
  QImage image = CreateRasterImage(10, 10, 203);
  Canvas canvas(image);
  LOGFONT font;
  font.lfHeight = -1000000;
  EXPECT_THROW(canvas.SelectFont(font), GdiError);
  font.lfHeight = -10;
  font.lfWeight = 5000;
  EXPECT_THROW(canvas.SelectFont(font), GdiError);
  EXPECT_EQ(canvas.GetFont().lfWeight, FW_NORMAL);  // the failed selection changed nothing
}

// Without a GUI application Qt would abort the process on the first font;
// the canvas refuses instead. Runs in a fresh child process that never made
// an application.
TEST(CanvasFontDeathTest, NeedsAGuiApplication) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        QImage image = CreateRasterImage(10, 10, 203);
        Canvas canvas(image);
        canvas.Rectangle(1, 1, 5, 5);  // shapes need no application
        int code = 1;
        try {
          canvas.TextOut(0, 0, "x");
        } catch (const GdiError&) {
          code = HasGuiApplication() ? 2 : 0;
        }
        std::exit(code);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
