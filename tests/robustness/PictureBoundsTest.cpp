// Bitmap files of absurd dimensions: headers claiming up to 2^31 × 2^31
// pixels over a few bytes of data, read directly and as the file of a picture
// item. The reader refuses them before allocating; the item paints
// its empty framed box instead.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>

#include "label/PropText.h"
#include "render/Bgr24Bitmap.h"
#include "render/BmpReader.h"
#include "tests/label/ItemTestSupport.h"
#include "tests/robustness/ResourceMeter.h"
#include "tests/robustness/RobustnessSupport.h"

namespace labelplu::test {
namespace {

struct Claim {
  int32_t width, height;
  uint16_t bitCount;
};

// Sides past 65535 either way, negative (top-down) extremes, and sides
// within the limit whose area passes 2^28 pixels.
constexpr Claim kClaims[] = {
    {INT32_MAX, INT32_MAX, 24}, {INT32_MAX, INT32_MIN + 1, 32},
    {INT32_MIN, 1, 8},          {65536, 1, 1},
    {65535, 65535, 24},         {32768, -16385, 4},
};

TEST(PictureBounds, HeadersClaimingHugePicturesAreRefused) {
  for (const Claim& c : kClaims) {
    const std::string file = BmpHeader(c.width, c.height, c.bitCount);
    Bgr24Bitmap target;
    std::string message;
    const Usage usage = Measure("bitmap header of absurd sides", [&] {
      try {
        ReadBmp(std::span(reinterpret_cast<const uint8_t*>(file.data()), file.size()), target);
      } catch (const BmpError& e) {
        message = e.what();
      }
    });
    EXPECT_FALSE(message.empty()) << c.width << " x " << c.height;
    EXPECT_LT(usage.peakGrowthMb, 8) << c.width << " x " << c.height;
  }
}

TEST(PictureBounds, FileLargerThanAnyPictureIsRefusedUnread) {
  TempDir dir;
  const std::string path = dir.Write("huge.bmp", BmpHeader(16384, 16384, 32)).string();
  std::filesystem::resize_file(path, kMaxBmpFileBytes + 1);  // sparse
  Bgr24Bitmap target;
  const Usage usage = Measure("bitmap file of 1 GiB + 1 MiB + 1",
                              [&] { EXPECT_THROW(ReadBmpFile(path, target), BmpError); });
  EXPECT_LT(usage.peakGrowthMb, 8);
}

TEST(PictureBounds, PictureItemPaintsAFrameForAnAbsurdFile) {
  TempDir dir;
  for (const Claim& c : kClaims) {
    const std::string path =
        dir.Write("absurd.bmp", BmpHeader(c.width, c.height, c.bitCount)).string();
    PaintedLabel painted(203);
    LabelItem& image = painted.Add("Image");
    SetPropText(&image, "ValueFileName", path);
    SetPropText(&image, "Left", "5");
    SetPropText(&image, "Top", "5");
    SetPropText(&image, "Width", "20");
    SetPropText(&image, "Height", "10");
    const Usage usage = Measure("picture item with an absurd file", [&] { painted.Render(); });
    EXPECT_LT(usage.peakGrowthMb, 32);
    // The empty framed box: its top-left corner is ink, its middle is not.
    const double ppm = painted.Ppm();
    EXPECT_TRUE(IsInk(painted.image, static_cast<int>(std::lround(5 * ppm)),
                      static_cast<int>(std::lround(5 * ppm))))
        << c.width << " x " << c.height;
    EXPECT_FALSE(IsInk(painted.image, static_cast<int>(15 * ppm), static_cast<int>(10 * ppm)));
  }
}

}  // namespace
}  // namespace labelplu::test
