// Device-independent bitmaps and their transfer to the canvas: row order,
// palettes, nearest-pixel stretching, clipping, and bad bitmaps.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tests/platform/gdi/GdiTestSupport.h"

using namespace labelplu::gdi;

namespace {

constexpr QRgb kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF;

// The 2 × 2 picture red, green over blue, white, as 24-bit rows.
Dib TwoByTwo(bool bottomUp) {
  Dib dib(2, bottomUp ? 2 : -2, 24);
  const uint8_t top[] = {0, 0, 255, 0, 255, 0};         // B, G, R: red, green
  const uint8_t bottom[] = {255, 0, 0, 255, 255, 255};  // blue, white
  std::copy(std::begin(top), std::end(top), dib.ScanLine(0));
  std::copy(std::begin(bottom), std::end(bottom), dib.ScanLine(1));
  return dib;
}

QRgb At(const QImage& image, int x, int y) {
  return image.pixel(x, y) & 0xFFFFFF;
}

TEST(DibLayout, RowsAreBottomUpWithFourByteStride) {
  EXPECT_EQ(DibStride(3, 24), 12u);
  EXPECT_EQ(DibStride(4, 24), 12u);
  EXPECT_EQ(DibStride(2, 24), 8u);
  EXPECT_EQ(DibStride(9, 1), 4u);
  EXPECT_EQ(DibStride(5, 8), 8u);
  const Dib dib = TwoByTwo(true);
  // In memory the bottom row (blue, white) comes first.
  EXPECT_EQ(dib.Bits()[0], 255);
  EXPECT_EQ(dib.Bits()[2], 0);
  EXPECT_EQ(dib.Bits()[8 + 2], 255);  // the top row's red
  const QImage image = dib.ToImage();
  EXPECT_EQ(At(image, 0, 0), kRed);
  EXPECT_EQ(At(image, 1, 1), kWhite);
}

TEST(DibTransfer, StretchByThreeGivesBlocksTheRightWayUp) {
  const Dib bottomUp = TwoByTwo(true);
  const Dib topDown = TwoByTwo(false);
  QImage asImage(2, 2, QImage::Format_RGB32);
  asImage.setPixel(0, 0, kRed);
  asImage.setPixel(1, 0, kGreen);
  asImage.setPixel(0, 1, kBlue);
  asImage.setPixel(1, 1, kWhite);
  const std::pair<const char*, std::function<void(Canvas&)>> sources[] = {
      {"bottom-up", [&](Canvas& c) { c.StretchDIBits(1, 2, 6, 6, 0, 0, 2, 2, bottomUp.Ref()); }},
      {"top-down", [&](Canvas& c) { c.StretchDIBits(1, 2, 6, 6, 0, 0, 2, 2, topDown.Ref()); }},
      {"image", [&](Canvas& c) { c.StretchDrawImage(1, 2, 6, 6, asImage); }},
  };
  for (int dpi : {203, 300}) {
    for (const auto& [name, paint] : sources) {
      SCOPED_TRACE(std::string(name) + " at " + std::to_string(dpi));
      QImage image = CreateRasterImage(10, 10, dpi);
      image.fill(Qt::black);
      {
        Canvas canvas(image);
        paint(canvas);
      }
      for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
          QRgb want = 0;
          if (x >= 1 && x < 7 && y >= 2 && y < 8) {
            const bool right = x >= 4;
            const bool lower = y >= 5;
            want = lower ? (right ? kWhite : kBlue) : (right ? kGreen : kRed);
          }
          ASSERT_EQ(At(image, x, y), want) << x << "," << y;
        }
      }
    }
  }
}

TEST(DibTransfer, NearestPixelDropsEliminatedLinesAndMirrors) {
  // Five columns 0..4 of grey levels shrunk to two: the centres fall on
  // columns 1 and 3.
  Dib dib(5, 1, 8);
  for (int i = 0; i < 5; ++i) {
    dib.Colors()[static_cast<size_t>(i)] =
        RGBQUAD{static_cast<uint8_t>(i * 50), static_cast<uint8_t>(i * 50),
                static_cast<uint8_t>(i * 50), 0};
    dib.ScanLine(0)[i] = static_cast<uint8_t>(i);
  }
  QImage image = CreateRasterImage(6, 1, 203);
  Canvas canvas(image);
  canvas.StretchDIBits(0, 0, 2, 1, 0, 0, 5, 1, dib.Ref());
  EXPECT_EQ(canvas.GetPixel(0, 0), RGB(50, 50, 50));
  EXPECT_EQ(canvas.GetPixel(1, 0), RGB(150, 150, 150));
  // A negative width mirrors, from the point itself leftwards.
  canvas.StretchDIBits(5, 0, -2, 1, 0, 0, 5, 1, dib.Ref());
  EXPECT_EQ(canvas.GetPixel(5, 0), RGB(50, 50, 50));
  EXPECT_EQ(canvas.GetPixel(4, 0), RGB(150, 150, 150));
  EXPECT_EQ(canvas.GetPixel(3, 0), RGB(255, 255, 255));
}

// One 3 × 2 picture in 1, 4 and 8 bits per pixel: index 1 is the palette's
// orange, index 0 its teal; with 8 bits, index 200 a third colour.
TEST(DibTransfer, PaletteBitmapsTransferTheirPaletteColours) {
  const RGBQUAD teal{128, 128, 0, 0};
  const RGBQUAD orange{0, 165, 255, 0};
  const RGBQUAD plum{221, 160, 221, 0};
  struct Case {
    uint16_t bits;
    std::vector<uint8_t> rows;  // bottom-up, padded to four bytes
    QRgb pixels[2][3];          // top row first
  };
  const QRgb tealPixel = 0x008080, orangePixel = 0xFFA500, plumPixel = 0xDDA0DD;
  const Case cases[] = {
      {1,
       {0b01000000, 0, 0, 0, 0b10100000, 0, 0, 0},
       {{orangePixel, tealPixel, orangePixel}, {tealPixel, orangePixel, tealPixel}}},
      {4,
       {0x01, 0x00, 0, 0, 0x10, 0x10, 0, 0},
       {{orangePixel, tealPixel, orangePixel}, {tealPixel, orangePixel, tealPixel}}},
      {8,
       {0, 1, 200, 0, 1, 0, 1, 0},
       {{orangePixel, tealPixel, orangePixel}, {tealPixel, orangePixel, plumPixel}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bits);
    Dib dib(3, 2, c.bits);
    ASSERT_EQ(dib.Bits().size(), c.rows.size());
    dib.Bits() = c.rows;
    dib.Colors()[0] = teal;
    dib.Colors()[1] = orange;
    if (c.bits == 8) dib.Colors()[200] = plum;
    QImage image = CreateRasterImage(6, 5, 203);
    {
      Canvas canvas(image);
      EXPECT_EQ(canvas.SetDIBitsToDevice(2, 1, 3, 2, 0, 0, dib.Ref()), 2);
    }
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 3; ++x)
        EXPECT_EQ(At(image, 2 + x, 1 + y), c.pixels[y][x]) << x << "," << y;
    }
    EXPECT_EQ(At(image, 1, 1), kWhite);
    EXPECT_EQ(At(image, 5, 1), kWhite);
    EXPECT_EQ(At(image, 2, 3), kWhite);
  }
}

TEST(DibTransfer, RespectsTheClipAndBoundsTheWork) {
  const Dib dib = TwoByTwo(true);
  QImage image = CreateRasterImage(40, 40, 300);
  // Computing every pixel of the destination would not finish before
  // ctest's timeout.
  {
    Canvas canvas(image);
    const Region clip = Region::CreateRectRgn(0, 0, 20, 40);
    canvas.SelectClipRgn(&clip);
    // A destination thousands of times larger than the device: only the
    // visible pixels are computed. The top-left quarter covers the device.
    canvas.StretchDIBits(0, 0, 2000000000, 2000000000, 0, 0, 2, 2, dib.Ref());
  }
  EXPECT_EQ(At(image, 0, 0), kRed);
  EXPECT_EQ(At(image, 19, 39), kRed);
  EXPECT_EQ(At(image, 20, 0), kWhite);
}

TEST(DibTransfer, RefusesBadBitmaps) {
  const Dib good = TwoByTwo(true);
  auto broken = [&](auto change) {
    DibRef ref = good.Ref();
    change(ref);
    return ref;
  };
  const DibRef bad[] = {
      broken([&](DibRef& r) { r.bits = r.bits.first(15); }),  // one byte short
      broken([](DibRef& r) { r.header.biBitCount = 7; }),
      broken([](DibRef& r) { r.header.biCompression = 1; }),
      broken([](DibRef& r) { r.header.biPlanes = 2; }),
      broken([](DibRef& r) { r.header.biWidth = 0; }),
      broken([](DibRef& r) { r.header.biHeight = 100000; }),
      broken([](DibRef& r) { r.header.biSize = 12; }),
  };
  QImage image = CreateRasterImage(4, 4, 203);
  Canvas canvas(image);
  for (const DibRef& ref : bad) {
    EXPECT_THROW(canvas.StretchDIBits(0, 0, 4, 4, 0, 0, 2, 2, ref), GdiError);
    EXPECT_THROW(DibToImage(ref), GdiError);
  }
  EXPECT_THROW(Dib(0, 5, 24), GdiError);
  EXPECT_THROW(Dib(5, 5, 12), GdiError);
  EXPECT_THROW(Dib::FromImage(QImage(), 24), GdiError);
}

TEST(DibConversion, ImagesRoundTrip) {
  QImage image(5, 3, QImage::Format_RGB32);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) image.setPixel(x, y, qRgb(x * 40, y * 80, 200 - x * 30));
  }
  image.setDotsPerMeterX(DotsPerMetre(203));
  const Dib rgb = Dib::FromImage(image, 24);
  EXPECT_GT(rgb.Header().biHeight, 0);
  EXPECT_EQ(rgb.Header().biXPelsPerMeter, DotsPerMetre(203));
  EXPECT_EQ(rgb.ToImage(), image);

  QImage indexed(3, 2, QImage::Format_Indexed8);
  indexed.setColorTable({qRgb(1, 2, 3), qRgb(250, 0, 7)});
  indexed.fill(1);
  indexed.setPixel(0, 0, 0);
  const Dib eight = Dib::FromImage(indexed, 8);
  EXPECT_EQ(eight.Colors()[1], (RGBQUAD{7, 0, 250, 0}));
  EXPECT_EQ(eight.ScanLine(0)[0], 0);
  EXPECT_EQ(eight.ScanLine(1)[2], 1);
  EXPECT_EQ(eight.ToImage().pixel(0, 0) & 0xFFFFFF, 0x010203u);
}

}  // namespace
