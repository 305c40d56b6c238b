// zbar first: zxing-cpp's error macros clash with zbar's C++ classes.
#include <zbar.h>

#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include "tests/support/Scanner.h"

#include <QTransform>

#include <memory>
#include <stdexcept>
#include <vector>

namespace labelplu::test {
namespace {

struct SymbologyInfo {
  Symbology symbology;
  std::string_view name;
  ZXing::BarcodeFormat zxing;
  zbar::zbar_symbol_type_t zbar;  // ZBAR_NONE: zbar does not read it
};

constexpr SymbologyInfo kSymbologies[] = {
    {Symbology::Ean13, "EAN-13", ZXing::BarcodeFormat::EAN13, zbar::ZBAR_EAN13},
    {Symbology::Ean8, "EAN-8", ZXing::BarcodeFormat::EAN8, zbar::ZBAR_EAN8},
    {Symbology::UpcA, "UPC-A", ZXing::BarcodeFormat::UPCA, zbar::ZBAR_UPCA},
    {Symbology::UpcE, "UPC-E", ZXing::BarcodeFormat::UPCE, zbar::ZBAR_UPCE},
    {Symbology::Interleaved2of5, "Interleaved 2 of 5", ZXing::BarcodeFormat::ITF, zbar::ZBAR_I25},
    {Symbology::Codabar, "Codabar", ZXing::BarcodeFormat::Codabar, zbar::ZBAR_CODABAR},
    {Symbology::Code39, "Code 39", ZXing::BarcodeFormat::Code39, zbar::ZBAR_CODE39},
    {Symbology::Code93, "Code 93", ZXing::BarcodeFormat::Code93, zbar::ZBAR_CODE93},
    {Symbology::Code128, "Code 128", ZXing::BarcodeFormat::Code128, zbar::ZBAR_CODE128},
    {Symbology::Aztec, "Aztec", ZXing::BarcodeFormat::Aztec, zbar::ZBAR_NONE},
    {Symbology::DataMatrix, "DataMatrix", ZXing::BarcodeFormat::DataMatrix, zbar::ZBAR_NONE},
    {Symbology::Pdf417, "PDF417", ZXing::BarcodeFormat::PDF417, zbar::ZBAR_NONE},
    {Symbology::MaxiCode, "MaxiCode", ZXing::BarcodeFormat::MaxiCode, zbar::ZBAR_NONE},
    {Symbology::DataBar, "GS1 DataBar", ZXing::BarcodeFormat::DataBar, zbar::ZBAR_NONE},
    {Symbology::DataBarExpanded, "GS1 DataBar Expanded", ZXing::BarcodeFormat::DataBarExpanded,
     zbar::ZBAR_NONE},
};

const SymbologyInfo& Info(Symbology symbology) {
  for (const SymbologyInfo& info : kSymbologies)
    if (info.symbology == symbology) return info;
  throw std::invalid_argument("unknown symbology " + std::to_string(static_cast<int>(symbology)));
}

QImage Grey(const QImage& image) {
  return image.convertToFormat(QImage::Format_Grayscale8);
}

std::string DecodeWithZxing(const QImage& grey, ZXing::BarcodeFormat format,
                            const ScanOptions& options) {
  ZXing::DecodeHints hints;
  hints.setFormats(format);
  hints.setTryHarder(true);
  hints.setTryRotate(options.tryRotate);
  hints.setIsPure(options.pure);
  hints.setReturnCodabarStartEnd(true);
  const ZXing::ImageView view(grey.constBits(), grey.width(), grey.height(),
                              ZXing::ImageFormat::Lum, static_cast<int>(grey.bytesPerLine()));
  const ZXing::Result result = ZXing::ReadBarcode(view, hints);
  return result.isValid() ? result.text() : "<unread>";
}

std::string DecodeWithZbar(const QImage& grey, const SymbologyInfo& info) {
  using namespace zbar;  // the C API lives there in C++
  if (info.zbar == ZBAR_NONE)
    throw std::invalid_argument("zbar does not read " + std::string(info.name));
  std::unique_ptr<zbar_image_scanner_t, decltype(&zbar_image_scanner_destroy)> scanner(
      zbar_image_scanner_create(), &zbar_image_scanner_destroy);
  zbar_image_scanner_set_config(scanner.get(), ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
  zbar_image_scanner_set_config(scanner.get(), info.zbar, ZBAR_CFG_ENABLE, 1);
  // zbar finds UPC-A through its EAN-13 decoder, then reports it as UPC-A.
  if (info.zbar == ZBAR_UPCA)
    zbar_image_scanner_set_config(scanner.get(), ZBAR_EAN13, ZBAR_CFG_ENABLE, 1);
  // zbar wants rows without padding.
  std::vector<unsigned char> pixels;
  for (int y = 0; y < grey.height(); ++y)
    pixels.insert(pixels.end(), grey.constScanLine(y), grey.constScanLine(y) + grey.width());
  std::unique_ptr<zbar_image_t, decltype(&zbar_image_destroy)> image(zbar_image_create(),
                                                                     &zbar_image_destroy);
  zbar_image_set_format(image.get(), zbar_fourcc('Y', '8', '0', '0'));
  zbar_image_set_size(image.get(), static_cast<unsigned>(grey.width()),
                      static_cast<unsigned>(grey.height()));
  zbar_image_set_data(image.get(), pixels.data(), pixels.size(), nullptr);
  zbar_scan_image(scanner.get(), image.get());
  std::string text;
  for (const zbar_symbol_t* s = zbar_image_first_symbol(image.get()); s != nullptr;
       s = zbar_symbol_next(s)) {
    if (!text.empty()) text += '\n';
    text += zbar_symbol_get_data(s);
  }
  return text.empty() ? "<unread>" : text;
}

// "580 × 203 px at 203 dpi"; the resolution only when the image has one.
std::string Describe(const QImage& image) {
  std::string text = std::to_string(image.width()) + " × " + std::to_string(image.height()) + " px";
  const int dpi = qRound(image.dotsPerMeterX() * 0.0254);
  if (dpi > 0) text += " at " + std::to_string(dpi) + " dpi";
  return text;
}

}  // namespace

std::string_view SymbologyName(Symbology symbology) {
  return Info(symbology).name;
}

std::string Decode(const QImage& image, Reader reader, Symbology symbology,
                   const ScanOptions& options) {
  const SymbologyInfo& info = Info(symbology);
  switch (reader) {
    case Reader::Zbar:
      return DecodeWithZbar(Grey(image), info);
    case Reader::Zxing:
      return DecodeWithZxing(Grey(image), info.zxing, options);
    case Reader::Both:
      break;
  }
  throw std::invalid_argument("Decode reads with one reader at a time");
}

::testing::AssertionResult ScansAs(const QImage& image, Reader readers, Symbology symbology,
                                   std::string_view text, const ScanOptions& options) {
  const QImage grey = Grey(image);
  std::string failures;
  for (const Reader reader : {Reader::Zbar, Reader::Zxing}) {
    if (readers != Reader::Both && readers != reader) continue;
    const std::string read = Decode(grey, reader, symbology, options);
    if (read == text) continue;
    if (!failures.empty()) failures += "; ";
    failures += std::string(reader == Reader::Zbar ? "zbar" : "zxing-cpp") + " read \"" + read +
                "\" where \"" + std::string(text) + "\" was expected";
  }
  if (failures.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << failures << " (" << SymbologyName(symbology) << ", " << Describe(image) << ")";
}

QImage Upright(const QImage& painted, int degreesClockwise) {
  if (degreesClockwise % 360 == 0) return painted;
  return painted.transformed(QTransform().rotate(-degreesClockwise));
}

QImage CutToInk(const QImage& image, int marginPx) {
  const QImage grey = Grey(image);
  QRect ink;
  for (int y = 0; y < grey.height(); ++y) {
    const uchar* row = grey.constScanLine(y);
    for (int x = 0; x < grey.width(); ++x)
      if (row[x] < 128) ink |= QRect(x, y, 1, 1);
  }
  return grey.copy(ink.adjusted(-marginPx, -marginPx, marginPx, marginPx));
}

}  // namespace labelplu::test
