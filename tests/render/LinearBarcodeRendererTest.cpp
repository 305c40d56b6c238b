// Painting: module sizes at the target resolution, the text band, the
// error text and the empty code, measured in the pixels of a raster target.
#include <gtest/gtest.h>

#include <QImage>

#include <string>

#include "platform/gdi/RasterTarget.h"
#include "render/LinearBarcodeRenderer.h"
#include "tests/render/BarcodeTestSupport.h"

using namespace labelplu;

namespace {

bool Dark(const QImage& image, int x, int y) {
  return qGray(image.pixel(x, y)) < 128;
}

// Dark pixels in [x0, x1) × [y0, y1).
int DarkCount(const QImage& image, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) n += Dark(image, x, y) ? 1 : 0;
  }
  return n;
}

QImage Paint(LinearBarcodeRenderer& bc, int32_t width, int32_t height, int32_t dpi) {
  QImage image = gdi::CreateRasterImage(width, height, dpi);
  gdi::Canvas canvas(image);
  bc.RenderTo(canvas, gdi::RECT{0, 0, width, height});
  canvas.End();
  return image;
}

TEST(LinearBarcodeRenderer, ModulesAreWholeDotsFromTheBarWidthInMils) {
  test::EnsureGuiApplication();
  struct Case {
    int32_t dpi;
    double mils;
    int32_t module;
  };
  const Case cases[] = {
      {96, 12.0, 1},  {203, 12.0, 2},
      {300, 12.0, 4}, {300, 7.5, 3},  // raised to the 0.01 × dpi minimum
      {203, 20.0, 4},                 // 4.06
      {200, 12.5, 2},                 // 2.5: halves to even
      {600, 10.0, 6},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ComputeBarModules(c.mils, c.dpi), (BarModules{c.module, c.module})) << c.dpi;
    LinearBarcodeRenderer bc;
    bc.SetBarCodeType(bcEAN_13);
    bc.SetCode("590123412345");
    bc.SetBarWidth(c.mils);
    bc.SetShowCode(false);
    const QImage image = Paint(bc, 100 * c.module, 50, c.dpi);
    // Guard "101": a bar, a space and a bar of one module each; 95 modules in all.
    const int y = 25;
    for (int x = 0; x < 3 * c.module; ++x) {
      EXPECT_EQ(Dark(image, x, y), x < c.module || x >= 2 * c.module) << c.dpi << " x=" << x;
    }
    EXPECT_TRUE(Dark(image, 95 * c.module - 1, y)) << c.dpi;
    EXPECT_EQ(DarkCount(image, 95 * c.module, 0, 100 * c.module, 50), 0) << c.dpi;
  }
  EXPECT_EQ(ComputeBarModules(12.0, 203, 2.0), (BarModules{2, 1}));
  EXPECT_EQ(ComputeBarModules(-1.0, 300, 0.0), ComputeBarModules(12.0, 300, 1.0));
  EXPECT_EQ(ComputeBarModules(1e300, 300).Bar, 1000);
}

TEST(LinearBarcodeRenderer, TextBandLeavesAQuarterOfTheTextHeightBelowTheBars) {
  test::EnsureGuiApplication();
  LinearBarcodeRenderer bc;
  bc.SetBarCodeType(bcEAN_13);
  bc.SetCode("590123412345");
  gdi::LOGFONT font;
  font.lfHeight = 20;  // a 20-pixel cell
  bc.SetFont(font);
  const QImage image = Paint(bc, 200, 100, 203);
  // The image's band: 10 % off at top and bottom gives 10..90; the bars
  // end 25 pixels above 90 and the text cell starts 5 pixels below them.
  EXPECT_FALSE(Dark(image, 0, 9));
  EXPECT_TRUE(Dark(image, 0, 10));
  EXPECT_TRUE(Dark(image, 0, 64));
  EXPECT_FALSE(Dark(image, 0, 65));
  EXPECT_EQ(DarkCount(image, 0, 65, 200, 70), 0);
  EXPECT_GT(DarkCount(image, 0, 70, 190, 90), 50);
  EXPECT_EQ(DarkCount(image, 0, 90, 200, 100), 0);
}

TEST(LinearBarcodeRenderer, UpcAShowsTheCheckDigitRightOfTheBars) {
  test::EnsureGuiApplication();
  LinearBarcodeRenderer bc;  // UPC-A by default
  bc.SetCode("03600029145");
  gdi::LOGFONT font;
  font.lfHeight = 20;
  bc.SetFont(font);
  const QImage image = Paint(bc, 260, 100, 203);
  const int total = 95 * 2;
  // The check digit stands right of the bars, bottom-aligned with them.
  EXPECT_GT(DarkCount(image, total, 45, 260, 65), 10);
  EXPECT_EQ(DarkCount(image, total, 0, 260, 40), 0);
}

TEST(LinearBarcodeRenderer, BadDataPaintsTheErrorTextAndNoBars) {
  test::EnsureGuiApplication();
  LinearBarcodeRenderer bc;
  bc.SetBarCodeType(bcEAN_13);
  bc.SetCode("12345678901A");
  ASSERT_TRUE(bc.ErrorFlag());
  gdi::LOGFONT font;
  font.lfHeight = 20;
  bc.SetFont(font);
  const QImage image = Paint(bc, 300, 100, 203);
  EXPECT_GT(DarkCount(image, 0, 10, 300, 30), 50);
  EXPECT_EQ(DarkCount(image, 0, 30, 300, 100), 0);
  EXPECT_EQ(DarkCount(image, 0, 0, 300, 10), 0);

  QImage expected = gdi::CreateRasterImage(300, 100, 203);
  {
    gdi::Canvas canvas(expected);
    canvas.SelectFont(font);
    canvas.SetBkMode(gdi::TRANSPARENT);
    const int32_t w = canvas.GetTextExtentPoint32(kBarCodeErrorText).cx;
    canvas.TextOut(4 + (296 - w) / 2, 10, kBarCodeErrorText);
  }
  EXPECT_EQ(image, expected);
}

TEST(LinearBarcodeRenderer, EmptyCodePaintsNothingAndTheCanvasIsRestored) {
  test::EnsureGuiApplication();
  LinearBarcodeRenderer bc;
  bc.SetCode("");
  QImage image = gdi::CreateRasterImage(200, 80, 203);
  gdi::Canvas canvas(image);
  const gdi::Brush brush{gdi::BS_SOLID, gdi::RGB(1, 2, 3)};
  canvas.SelectBrush(brush);
  canvas.SetBkMode(gdi::OPAQUE);
  bc.RenderTo(canvas, gdi::RECT{0, 0, 200, 80});
  EXPECT_EQ(canvas.GetBrush(), brush);
  EXPECT_EQ(canvas.GetBkMode(), gdi::OPAQUE);
  canvas.End();
  EXPECT_EQ(DarkCount(image, 0, 0, 200, 80), 0);
  EXPECT_FALSE(bc.ErrorFlag());
}

}  // namespace

TEST(LinearBarcodeRenderer, BarsWiderThanTheRectanglePaintTheErrorInsteadOfACutSymbol) {
  test::EnsureGuiApplication();
  gdi::LOGFONT font;
  font.lfHeight = 20;
  LinearBarcodeRenderer bc;
  bc.SetBarCodeType(bcEAN_13);
  bc.SetCode("590123412345");
  bc.SetFont(font);
  // 95 modules of 2 dots at 203 dpi: 190 dots fit exactly.
  const QImage fits = Paint(bc, 190, 100, 203);
  EXPECT_EQ(bc.ErrorMessage(), "");
  EXPECT_TRUE(Dark(fits, 189, 20));

  const QImage cut = Paint(bc, 189, 100, 203);
  EXPECT_FALSE(bc.ErrorFlag());  // the data is good; the rectangle is not
  EXPECT_EQ(bc.ErrorMessage(), "Штрихкод не помещается в поле: 190 точек при ширине 189");
  // The same picture as for data that cannot be encoded.
  LinearBarcodeRenderer bad;
  bad.SetBarCodeType(bcEAN_13);
  bad.SetCode("59012341234A");
  bad.SetFont(font);
  EXPECT_EQ(cut, Paint(bad, 189, 100, 203));

  // A new encode forgets the rectangle's verdict until the next painting.
  bc.SetCode("5901234123457");
  EXPECT_EQ(bc.ErrorMessage(), "");
  Paint(bc, 190, 100, 203);
  EXPECT_EQ(bc.ErrorMessage(), "");
}
