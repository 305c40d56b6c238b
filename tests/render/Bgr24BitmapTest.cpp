// The fast bitmap: geometry, resampling, rotation, canvas and transfers.
#include "render/Bgr24Bitmap.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/gdi/RasterTarget.h"

using namespace labelplu;
using gdi::COLORREF;
using gdi::RGB;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

// A picture whose every pixel differs: red = column, green = row, blue = 7.
void FillDistinct(Bgr24Bitmap& bmp) {
  for (int32_t r = 0; r < bmp.Height(); ++r)
    for (int32_t c = 0; c < bmp.Width(); ++c)
      bmp.SetPixel(c, r, RGB(static_cast<uint8_t>(c), static_cast<uint8_t>(r), 7));
}

COLORREF Distinct(int32_t c, int32_t r) {
  return RGB(static_cast<uint8_t>(c), static_cast<uint8_t>(r), 7);
}

// Every destination pixel against expected(c, r) (rows from the bottom).
void ExpectPixels(const Bgr24Bitmap& bmp,
                  const std::function<COLORREF(int32_t, int32_t)>& expected) {
  for (int32_t r = 0; r < bmp.Height(); ++r)
    for (int32_t c = 0; c < bmp.Width(); ++c)
      ASSERT_EQ(bmp.Pixel(c, r), expected(c, r)) << "column " << c << ", row " << r;
}

}  // namespace

TEST(Bgr24Bitmap, StrideRowSlackAndByteSizeFollowTheWidth) {
  struct Case {
    int32_t width, height, stride, slack;
  };
  for (const Case& k : {Case{1, 2, 4, 1}, Case{3, 5, 12, 3}, Case{4, 5, 12, 0}, Case{5, 1, 16, 1},
                        Case{0, 0, 0, 0}}) {
    Bgr24Bitmap bmp(k.width, k.height);
    EXPECT_EQ(bmp.Stride(), k.stride) << k.width;
    EXPECT_EQ(bmp.RowSlack(), k.slack) << k.width;
    EXPECT_EQ(bmp.ByteSize(), k.stride * k.height) << k.width;
    if (k.height > 1) {
      EXPECT_EQ(bmp.Row(0) - bmp.Row(1), k.stride);  // the bottom row lies after the top one
    }
  }
}

TEST(Bgr24Bitmap, SetSizeKeepsPixelsOnlyForTheSameSize) {
  Bgr24Bitmap bmp(3, 2);
  bmp.Fill(RGB(1, 2, 3));
  bmp.SetSize(3, 2);
  ExpectPixels(bmp, [](int32_t, int32_t) { return RGB(1, 2, 3); });
  bmp.SetSize(2, 3);
  ExpectPixels(bmp, [](int32_t, int32_t) { return RGB(0, 0, 0); });
  EXPECT_EQ(bmp.Pixel(2, 0), gdi::CLR_INVALID);
}

TEST(Bgr24Bitmap, SetSizeRefusesAbsurdSizesAndKeepsThePicture) {
  Bgr24Bitmap bmp(2, 2);
  bmp.Fill(kWhite);
  for (auto [w, h] : {std::pair{-1, 5}, {5, -1}, {70000, 1}, {60000, 60000}}) {
    EXPECT_THROW(bmp.SetSize(w, h), gdi::GdiError) << w << " x " << h;
  }
  EXPECT_EQ(bmp.Width(), 2);
  EXPECT_EQ(bmp.Pixel(1, 1), kWhite);
}

TEST(Bgr24Bitmap, ResizeNearestEnlargesShrinksAndMixes) {
  struct Case {
    int32_t w, h, dw, dh;
    std::vector<int32_t> cols, rows;  // source column of each destination column, row likewise
  };
  const Case cases[] = {
      {1, 1, 3, 3, {0, 0, 0}, {0, 0, 0}},        // one pixel fills all nine
      {2, 2, 5, 3, {0, 0, 1, 1, 1}, {0, 1, 1}},  // overlapping spans: later wins
      {4, 4, 2, 2, {0, 2}, {0, 2}},              // 16.16 steps
      {2, 4, 4, 2, {0, 0, 1, 1}, {0, 2}},        // wider but lower: fixed point
      {3, 2, 3, 2, {0, 1, 2}, {0, 1}},           // same size: copy
  };
  for (const Case& k : cases) {
    Bgr24Bitmap src(k.w, k.h), dst(k.dw, k.dh);
    FillDistinct(src);
    src.ResizeNearest(dst);
    SCOPED_TRACE(testing::Message() << k.w << "x" << k.h << " -> " << k.dw << "x" << k.dh);
    ExpectPixels(dst, [&](int32_t c, int32_t r) {
      return Distinct(k.cols[static_cast<size_t>(c)], k.rows[static_cast<size_t>(r)]);
    });
  }
}

TEST(Bgr24Bitmap, ResizeSmoothInterpolatesBetweenTheFourPixels) {
  // Red grows to the right, blue upwards, green only in the top-right pixel:
  // at (c, r) of 4 × 4 the weights are c/4 and r/4 exactly.
  Bgr24Bitmap src(2, 2), dst(4, 4);
  src.SetPixel(0, 0, RGB(0, 0, 0));
  src.SetPixel(1, 0, RGB(128, 0, 0));
  src.SetPixel(0, 1, RGB(0, 0, 128));
  src.SetPixel(1, 1, RGB(128, 128, 128));
  src.ResizeSmooth(dst);
  ExpectPixels(dst, [](int32_t c, int32_t r) {
    return RGB(static_cast<uint8_t>(32 * c), static_cast<uint8_t>(8 * c * r),
               static_cast<uint8_t>(32 * r));
  });
}

TEST(Bgr24Bitmap, ResizeSmoothOfASingleRowOrColumnStaysInside) {
  Bgr24Bitmap row(3, 1), wide(6, 3);
  FillDistinct(row);
  row.SetPixel(2, 0, RGB(120, 0, 7));
  row.ResizeSmooth(wide);  // no next row to read: each output row is the same
  EXPECT_EQ(wide.Pixel(0, 0), Distinct(0, 0));
  ExpectPixels(wide, [&](int32_t c, int32_t) { return wide.Pixel(c, 0); });
  EXPECT_LT(wide.Pixel(2, 0) & 0xFF, wide.Pixel(4, 0) & 0xFF);

  Bgr24Bitmap column(1, 2), tall(3, 4);  // one pixel wide: nearest
  FillDistinct(column);
  column.ResizeSmooth(tall);
  ExpectPixels(tall, [](int32_t, int32_t r) { return Distinct(0, r < 2 ? 0 : 1); });
}

TEST(Bgr24Bitmap, ResizeOfOrIntoAnEmptyBitmapChangesNothing) {
  Bgr24Bitmap empty, dst(2, 2);
  dst.Fill(kWhite);
  empty.ResizeNearest(dst);
  empty.ResizeSmooth(dst);
  ExpectPixels(dst, [](int32_t, int32_t) { return kWhite; });
  Bgr24Bitmap src(2, 2), none;
  src.ResizeNearest(none);
  src.ResizeSmooth(none);
  EXPECT_TRUE(none.IsEmpty());
}

TEST(Bgr24Bitmap, RotateIntoByZeroLeavesAOnePixelWhiteBorder) {
  Bgr24Bitmap src(3, 2), dst(5, 4);
  FillDistinct(src);
  dst.Fill(kWhite);
  Bgr24Bitmap::RotateInto(src, dst, 2, 2, 0);
  ExpectPixels(dst, [](int32_t c, int32_t r) {
    return c >= 1 && c <= 3 && r >= 1 && r <= 2 ? Distinct(c - 1, r - 1) : kWhite;
  });
}

TEST(Bgr24Bitmap, RotateIntoByNinetyTurnsTheTenByFourPicture) {
  struct Case {
    double degrees;
    // Source column and row for destination (c, r); negative: stays white.
    std::function<std::pair<int32_t, int32_t>(int32_t, int32_t)> from;
  };
  const Case cases[] = {
      // -90 turns clockwise: the source's top-left corner (0, 3) lands top right.
      {-90,
       [](int32_t c, int32_t r) {
         return std::pair{11 - r, c - 4};
       }},
      {90,
       [](int32_t c, int32_t r) {
         return std::pair{r - 1, 8 - c};
       }},
  };
  for (const Case& k : cases) {
    Bgr24Bitmap src(10, 4), dst(12, 12);
    FillDistinct(src);
    dst.Fill(kWhite);
    Bgr24Bitmap::RotateInto(src, dst, 6, 6, k.degrees);
    SCOPED_TRACE(k.degrees);
    int32_t painted = 0;
    ExpectPixels(dst, [&](int32_t c, int32_t r) {
      const auto [sc, sr] = k.from(c, r);
      if (sc < 0 || sc >= 10 || sr < 0 || sr >= 4) return kWhite;
      ++painted;
      return Distinct(sc, sr);
    });
    EXPECT_EQ(painted, 40);  // a 4 × 10 picture
  }
}

TEST(Bgr24Bitmap, DrawToAndStretchDrawToCopyTheTopRowFirst) {
  Bgr24Bitmap bmp(2, 2);
  bmp.SetPixel(0, 1, RGB(255, 0, 0));  // top left
  bmp.SetPixel(1, 1, RGB(0, 255, 0));
  bmp.SetPixel(0, 0, RGB(0, 0, 255));  // bottom left
  bmp.SetPixel(1, 0, RGB(9, 9, 9));
  QImage image = gdi::CreateRasterImage(10, 10, 96);
  gdi::Canvas canvas(image);
  bmp.DrawTo(canvas, 3, 4);
  EXPECT_EQ(canvas.GetPixel(3, 4), RGB(255, 0, 0));
  EXPECT_EQ(canvas.GetPixel(4, 4), RGB(0, 255, 0));
  EXPECT_EQ(canvas.GetPixel(3, 5), RGB(0, 0, 255));
  EXPECT_EQ(canvas.GetPixel(4, 5), RGB(9, 9, 9));
  EXPECT_EQ(canvas.GetPixel(5, 5), kWhite);

  canvas.SetStretchBltMode(gdi::HALFTONE);
  bmp.StretchDrawTo(canvas, 0, 6, 4, 4);  // whole pixels, no blending
  EXPECT_EQ(canvas.SetStretchBltMode(gdi::HALFTONE), gdi::COLORONCOLOR);
  for (int32_t y = 6; y < 10; ++y)
    for (int32_t x = 0; x < 4; ++x)
      EXPECT_EQ(canvas.GetPixel(x, y), bmp.Pixel(x / 2, 1 - (y - 6) / 2)) << x << "," << y;
}

TEST(Bgr24Bitmap, ItsCanvasPaintsIntoTheSamePixels) {
  Bgr24Bitmap bmp(4, 3);
  bmp.SetResolution(203, 203);
  gdi::Canvas& canvas = bmp.Canvas();
  EXPECT_EQ(canvas.GetDeviceCaps(gdi::LOGPIXELSX), 203);
  canvas.SetPixel(0, 0, RGB(255, 0, 0));  // the canvas's top-left: the top row
  EXPECT_EQ(bmp.Pixel(0, 2), RGB(255, 0, 0));
  bmp.SetPixel(3, 0, RGB(0, 0, 255));
  EXPECT_EQ(canvas.GetPixel(3, 2), RGB(0, 0, 255));
  bmp.SetSize(1, 1);  // drops the canvas; a new one comes with the new pixels
  EXPECT_EQ(bmp.Canvas().GetDeviceCaps(gdi::HORZRES), 1);
  Bgr24Bitmap empty;
  EXPECT_THROW(empty.Canvas(), gdi::GdiError);
}

TEST(Bgr24Bitmap, CopyIntoClipsToTheDestination) {
  Bgr24Bitmap src(3, 2), dst(4, 3);
  FillDistinct(src);
  dst.Fill(kWhite);
  src.CopyInto(dst, 2, -1);  // columns 0..1 of the source, its bottom line only
  ExpectPixels(dst,
               [](int32_t c, int32_t r) { return r == 2 && c >= 2 ? Distinct(c - 2, 0) : kWhite; });
}

TEST(Bgr24Bitmap, LoadFromBitmapHandleTakesCanvasBitmapsAndImages) {
  gdi::Dib dib(3, 2, 8);
  dib.Colors()[1] = gdi::RGBQUAD{10, 20, 30, 0};
  dib.ScanLine(0)[2] = 1;  // top line, right pixel
  Bgr24Bitmap bmp;
  bmp.LoadFromBitmapHandle(dib.Ref());
  ASSERT_EQ(bmp.Width(), 3);
  EXPECT_EQ(bmp.Pixel(2, 1), RGB(30, 20, 10));
  EXPECT_EQ(bmp.Pixel(0, 1), RGB(0, 0, 0));

  QImage image(2, 3, QImage::Format_ARGB32);
  image.fill(QColor(1, 2, 3, 255));
  image.setPixel(1, 0, qRgb(200, 100, 50));
  bmp.LoadFromBitmapHandle(image);
  ASSERT_EQ(bmp.Height(), 3);
  EXPECT_EQ(bmp.Pixel(1, 2), RGB(200, 100, 50));
  EXPECT_EQ(bmp.Pixel(0, 0), RGB(1, 2, 3));
  bmp.LoadFromBitmapHandle(QImage());
  EXPECT_TRUE(bmp.IsEmpty());

  gdi::Dib bad(2, 2, 24);
  bad.Bits().resize(3);
  EXPECT_THROW(bmp.LoadFromBitmapHandle(bad.Ref()), gdi::GdiError);
}
