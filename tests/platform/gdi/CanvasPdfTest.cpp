// The same canvas on a device without pixels: a PDF writer. Everything the
// raster tests draw goes through the device's own scaling and clipping here.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QPageSize>
#include <QPdfWriter>

#include <algorithm>

#include "tests/platform/gdi/GdiTestSupport.h"

using namespace labelplu::gdi;

namespace {

TEST(CanvasPdf, PaintsEveryKindOfElementOnAPrinterLikeDevice) {
  gditest::EnsureGuiApp();
  QBuffer out;
  out.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&out);
    writer.setResolution(203);
    writer.setPageSize(QPageSize(QSizeF(58, 40), QPageSize::Millimeter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    Canvas canvas(writer);
    EXPECT_EQ(canvas.GetDeviceCaps(LOGPIXELSX), 203);
    EXPECT_GT(canvas.GetDeviceCaps(HORZRES), 400);
    canvas.SetPageMetrics(PageMetrics{500, 340, 12, 10});
    EXPECT_EQ(canvas.GetDeviceCaps(PHYSICALOFFSETY), 10);
    EXPECT_EQ(canvas.GetPixel(1, 1), CLR_INVALID);

    const POINT outline[] = {{10, 10}, {300, 10}, {300, 200}, {10, 200}};
    const Region region = Region::CreatePolygonRgn(outline);
    canvas.SelectClipRgn(&region);
    canvas.SelectPen(Pen{PS_SOLID, 8, 0});
    canvas.Polygon(outline);
    canvas.SetROP2(R2_XORPEN);  // no raster operations here: plain painting
    canvas.SelectPen(Pen{PS_DASHDOT, 1, RGB(128, 128, 128)});
    canvas.Rectangle(20, 20, 100, 80);
    LOGFONT font;
    font.lfHeight = -23;
    font.lfEscapement = 900;
    canvas.SelectFont(font);
    canvas.TextOut(150, 180, "Цена");
    // A colour picture and a black-and-white one (a barcode's kind).
    Dib colour(2, 2, 24);
    colour.ScanLine(0)[2] = 255;
    colour.ScanLine(1)[4] = 200;
    canvas.StretchDIBits(40, 40, 60, 60, 0, 0, 2, 2, colour.Ref());
    Dib bars(4, 1, 24);
    std::fill(bars.ScanLine(0), bars.ScanLine(0) + 6, uint8_t{255});
    canvas.SetStretchBltMode(HALFTONE);
    canvas.StretchDIBits(100, 40, -60, 60, 0, 0, 4, 1, bars.Ref());
    canvas.End();
  }
  const QByteArray pdf = out.data();
  EXPECT_TRUE(pdf.startsWith("%PDF-"));
  // Source copies keep their pixels: nothing goes through lossy JPEG, and
  // the black-and-white picture is a one-bit image.
  EXPECT_FALSE(pdf.contains("/DCTDecode"));
  EXPECT_TRUE(pdf.contains("/BitsPerComponent 1"));
  EXPECT_TRUE(pdf.contains("/BitsPerComponent 8"));
}

}  // namespace
