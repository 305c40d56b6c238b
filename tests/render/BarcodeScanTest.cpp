// Scanner round trips: each symbology painted on a raster target at the
// printer's resolution, read back by zxing-cpp and zbar. Code 11 is read by
// neither; its bars are checked against libzint (BarCodeZintPatternTest).
#include <gtest/gtest.h>

#include <QImage>

#include <string>
#include <utility>

#include "platform/gdi/RasterTarget.h"
#include "render/LinearBarcodeRenderer.h"
#include "tests/render/BarcodeTestSupport.h"
#include "tests/support/Scanner.h"

using namespace labelplu;
using test::Symbology;

namespace {

struct ScanCase {
  BarcodeSymbology type;
  std::string code;
  bool check;
  std::string decoded;
  Symbology symbology;
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

TEST(BarcodeScan, EverySymbologyScansAsItsDataAt203And300Dpi) {
  test::EnsureGuiApplication();
  using S = Symbology;
  const std::string i25Check = "1234567" + std::to_string(UpcEanCheckDigit("1234567"));
  const ScanCase cases[] = {
      {bcEAN_13, "590123412345", false, "5901234123457", S::Ean13},
      {bcEAN_13, "4006381333931", false, "4006381333931", S::Ean13},
      {bcEAN_8, "9638507", false, "96385074", S::Ean8},
      {bcEAN_8, "55123457", false, "55123457", S::Ean8},
      {bcEAN_8, "96385074", false, "96385074", S::Ean8},
      {bcUPC_A, "03600029145", false, "036000291452", S::UpcA},
      {bcUPC_A, "123456789012", false, "123456789012", S::UpcA},
      // UPC-E reads as number system 0, the six digits and the check digit.
      {bcUPC_E, "123450", false, "01234505", S::UpcE},
      {bcUPC_E, "654321", false, "06543217", S::UpcE},
      {bcUPC_E, "425261", false, "04252614", S::UpcE},
      // Seven digits lead with the number system, eight end with the check digit.
      {bcUPC_E, "0123450", false, "01234505", S::UpcE},
      {bcUPC_E, "01234505", false, "01234505", S::UpcE},
      {bcInterleaved2of5, "123456", false, "123456", S::Interleaved2of5},
      {bcInterleaved2of5, "1234567", true, i25Check, S::Interleaved2of5},
      {bcCodabar, "A123456B", false, "A123456B", S::Codabar},
      {bcCodabar, "C-$:/.+D", false, "C-$:/.+D", S::Codabar},
      {bcCode39, "CODE-39", false, "CODE-39", S::Code39},
      {bcCode39, "ab 12$", false, "AB 12$", S::Code39},
  };
  for (const int32_t dpi : {203, 300}) {
    for (const ScanCase& c : cases) {
      EXPECT_TRUE(test::ScansAs(Render(c, dpi), test::Reader::Both, c.symbology, c.decoded))
          << c.code;
    }
    // Number system 1 inverts the parity pattern; zbar 0.23 reads UPC-E of
    // number system 0 only (libzint's patterns agree: BarcodeZintPatternTest).
    for (const auto& [code, decoded] :
         {std::pair<std::string, std::string>{"1234567", "12345670"}, {"16543214", "16543214"}}) {
      const ScanCase c{bcUPC_E, code, false, decoded, S::UpcE};
      EXPECT_TRUE(test::ScansAs(Render(c, dpi), test::Reader::Zxing, c.symbology, c.decoded))
          << c.code;
    }
  }
}

// Code 93 and Code 128 scan with the flag off (the item's default) as with
// it on: their check characters are mandatory, always there and there once.
// Scanners verify them, so a missing or a doubled check reads as nothing.
TEST(BarcodeScan, Code93And128ScanWithTheCheckFlagOffAndOn) {
  test::EnsureGuiApplication();
  using S = Symbology;
  // Code 128's special characters #134 (code B), #135 (code C) and the
  // start codes #136..#138 (A, B, C) as UTF-8; in code set C each
  // character's value (its code minus 32) stands for two digits.
  const std::string codeB = "\xC2\x86", codeC = "\xC2\x87";
  const std::string startA = "\xC2\x88", startB = "\xC2\x89", startC = "\xC2\x8A";
  struct Case {
    BarcodeSymbology type;
    std::string code;
    std::string decoded;
    Symbology symbology;
  };
  const Case cases[] = {
      {bcCode93, "CODE 93", "CODE 93", S::Code93},
      {bcCode93, "Shelf 93!", "Shelf 93!", S::Code93},
      {bcCode93, "a+b=c", "a+b=c", S::Code93},
      {bcCode93, "+", "+", S::Code93},
      {bcCode93, "lower case", "lower case", S::Code93},
      // Code sets chosen by the encoder: A (upper case, digits, controls),
      // B (lower case), shifts and set changes between them.
      {bcCode128, "PART-0042", "PART-0042", S::Code128},
      {bcCode128, "0123456789", "0123456789", S::Code128},
      {bcCode128, "abc", "abc", S::Code128},
      {bcCode128, "Shelf-42 a/b", "Shelf-42 a/b", S::Code128},
      {bcCode128, "AB\tcd", "AB\tcd", S::Code128},
      {bcCode128, "a\tb", "a\tb", S::Code128},
      {bcCode128, "ab\r\ncd", "ab\r\ncd", S::Code128},
      // Start codes and set changes given in the data, set C included.
      {bcCode128, startA + "ABC", "ABC", S::Code128},
      {bcCode128, startB + "abc", "abc", S::Code128},
      {bcCode128, startC + ",BXc", "12345667", S::Code128},
      {bcCode128, startC + ",B" + codeB + "ab", "1234ab", S::Code128},
      {bcCode128, startA + "AB" + codeC + ",B" + codeB + "cd", "AB1234cd", S::Code128},
      {bcCode128, startB + "x" + codeC + "\x20~", "x0094", S::Code128},
  };
  for (const int32_t dpi : {203, 300}) {
    for (const Case& c : cases) {
      for (const bool check : {false, true}) {
        const ScanCase scan{c.type, c.code, check, c.decoded, c.symbology};
        EXPECT_TRUE(test::ScansAs(Render(scan, dpi), test::Reader::Both, c.symbology, c.decoded))
            << c.decoded << " check " << check << " at " << dpi;
      }
    }
  }
}

}  // namespace
