// Scanner round trips: each symbology painted on a raster target at the
// printer's resolution, read back by zxing-cpp and zbar. Code 11 is read by
// neither; its bars are checked against libzint (BarCodeZintPatternTest).
// zbar first: zxing-cpp's error macros clash with zbar's C++ classes.
#include <zbar.h>

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>
#include <gtest/gtest.h>

#include <QImage>

#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/RasterTarget.h"
#include "render/LinearBarcodeRenderer.h"
#include "tests/render/BarcodeTestSupport.h"

using namespace labelplu;
using namespace zbar;  // the C API lives there in C++

namespace {

struct ScanCase {
  BarcodeSymbology type;
  std::string code;
  bool check;
  std::string decoded;
  ZXing::BarcodeFormat zxing;
  zbar_symbol_type_t zbar;
};

// The symbol with 15 modules of quiet zone either side, in an image of
// about an inch's height, as grey levels.
QImage Render(const ScanCase& c, int32_t dpi) {
  LinearBarcodeRenderer bc;
  bc.SetBarCodeType(c.type);
  bc.SetCode(c.code);
  bc.SetAddCheckChar(c.check);
  bc.SetBarWidth(12.0);
  EXPECT_FALSE(bc.ErrorFlag()) << c.code;
  const BarModules m = ComputeBarModules(bc.BarWidth(), dpi);
  const auto width = static_cast<int32_t>(BarElementsWidth(bc.Elements(), m));
  const int32_t quiet = 15 * m.Bar;
  QImage image = gdi::CreateRasterImage(width + 2 * quiet, dpi, dpi);
  {
    gdi::Canvas canvas(image);
    bc.RenderTo(canvas, gdi::RECT{quiet, 0, quiet + width, dpi});
  }
  return image.convertToFormat(QImage::Format_Grayscale8);
}

std::string ReadWithZxing(const QImage& image, ZXing::BarcodeFormat format) {
  ZXing::DecodeHints hints;
  hints.setFormats(format);
  hints.setReturnCodabarStartEnd(true);
  const ZXing::ImageView view(image.constBits(), image.width(), image.height(),
                              ZXing::ImageFormat::Lum, static_cast<int>(image.bytesPerLine()));
  const ZXing::Result result = ZXing::ReadBarcode(view, hints);
  return result.isValid() ? result.text() : "<unread>";
}

std::vector<std::string> ReadWithZbar(const QImage& image, zbar_symbol_type_t type) {
  std::unique_ptr<zbar_image_scanner_t, decltype(&zbar_image_scanner_destroy)> scanner(
      zbar_image_scanner_create(), &zbar_image_scanner_destroy);
  zbar_image_scanner_set_config(scanner.get(), ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
  zbar_image_scanner_set_config(scanner.get(), type, ZBAR_CFG_ENABLE, 1);
  // zbar finds UPC-A through its EAN-13 decoder, then reports it as UPC-A.
  if (type == ZBAR_UPCA)
    zbar_image_scanner_set_config(scanner.get(), ZBAR_EAN13, ZBAR_CFG_ENABLE, 1);
  std::unique_ptr<zbar_image_t, decltype(&zbar_image_destroy)> zimage(zbar_image_create(),
                                                                      &zbar_image_destroy);
  // zbar wants rows without padding.
  std::vector<unsigned char> pixels;
  for (int y = 0; y < image.height(); ++y) {
    pixels.insert(pixels.end(), image.constScanLine(y), image.constScanLine(y) + image.width());
  }
  zbar_image_set_format(zimage.get(), zbar_fourcc('Y', '8', '0', '0'));
  zbar_image_set_size(zimage.get(), static_cast<unsigned>(image.width()),
                      static_cast<unsigned>(image.height()));
  zbar_image_set_data(zimage.get(), pixels.data(), pixels.size(), nullptr);
  zbar_scan_image(scanner.get(), zimage.get());
  std::vector<std::string> read;
  for (const zbar_symbol_t* s = zbar_image_first_symbol(zimage.get()); s != nullptr;
       s = zbar_symbol_next(s)) {
    read.emplace_back(zbar_symbol_get_data(s));
  }
  return read;
}

TEST(BarcodeScan, EverySymbologyScansAsItsDataAt203And300Dpi) {
  test::EnsureGuiApplication();
  using F = ZXing::BarcodeFormat;
  const std::string i25Check = "1234567" + std::to_string(UpcEanCheckDigit("1234567"));
  const ScanCase cases[] = {
      {bcEAN_13, "590123412345", false, "5901234123457", F::EAN13, ZBAR_EAN13},
      {bcEAN_13, "4006381333931", false, "4006381333931", F::EAN13, ZBAR_EAN13},
      {bcEAN_8, "9638507", false, "96385074", F::EAN8, ZBAR_EAN8},
      {bcEAN_8, "55123457", false, "55123457", F::EAN8, ZBAR_EAN8},
      {bcUPC_A, "03600029145", false, "036000291452", F::UPCA, ZBAR_UPCA},
      {bcUPC_A, "123456789012", false, "123456789012", F::UPCA, ZBAR_UPCA},
      // UPC-E reads as number system 0, the six digits and the check digit.
      {bcUPC_E, "123450", false, "01234505", F::UPCE, ZBAR_UPCE},
      {bcUPC_E, "654321", false, "06543217", F::UPCE, ZBAR_UPCE},
      {bcUPC_E, "425261", false, "04252614", F::UPCE, ZBAR_UPCE},
      {bcInterleaved2of5, "123456", false, "123456", F::ITF, ZBAR_I25},
      {bcInterleaved2of5, "1234567", true, i25Check, F::ITF, ZBAR_I25},
      {bcCodabar, "A123456B", false, "A123456B", F::Codabar, ZBAR_CODABAR},
      {bcCodabar, "C-$:/.+D", false, "C-$:/.+D", F::Codabar, ZBAR_CODABAR},
      {bcCode39, "CODE-39", false, "CODE-39", F::Code39, ZBAR_CODE39},
      {bcCode39, "ab 12$", false, "AB 12$", F::Code39, ZBAR_CODE39},
      {bcCode93, "CODE 93", true, "CODE 93", F::Code93, ZBAR_CODE93},
      {bcCode93, "Shelf 93!", true, "Shelf 93!", F::Code93, ZBAR_CODE93},
      {bcCode128, "abc", true, "abc", F::Code128, ZBAR_CODE128},
      {bcCode128, "Shelf-42 a/b", true, "Shelf-42 a/b", F::Code128, ZBAR_CODE128},
      {bcCode128, "AB\tcd", true, "AB\tcd", F::Code128, ZBAR_CODE128},
      {bcCode128, "PART-0042", true, "PART-0042", F::Code128, ZBAR_CODE128},
  };
  for (const int32_t dpi : {203, 300}) {
    for (const ScanCase& c : cases) {
      const QImage image = Render(c, dpi);
      EXPECT_EQ(ReadWithZxing(image, c.zxing), c.decoded) << "zxing " << c.code << " @" << dpi;
      EXPECT_EQ(ReadWithZbar(image, c.zbar), std::vector<std::string>{c.decoded})
          << "zbar " << c.code << " @" << dpi;
    }
  }
}

}  // namespace
