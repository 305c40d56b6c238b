// Element patterns against libzint: UPC/EAN module for module, the
// narrow/wide symbologies as sequences of narrow and wide elements (libzint
// draws wide elements at another ratio).
#include <gtest/gtest.h>
#include <zint.h>

#include <memory>
#include <string>

#include "render/BarcodeEncoder.h"
#include "tests/render/BarcodeTestSupport.h"

using namespace labelplu;

namespace {

std::string ZintModules(int symbology, const std::string& data, int option2 = 0) {
  std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)> symbol(ZBarcode_Create(),
                                                                  &ZBarcode_Delete);
  symbol->symbology = symbology;
  symbol->option_2 = option2;
  const int rc = ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.data()),
                                 static_cast<int>(data.size()));
  EXPECT_LT(rc, ZINT_ERROR) << data << ": " << symbol->errtxt;
  std::string s;
  for (int x = 0; x < symbol->width; ++x) {
    s += ((symbol->encoded_data[0][x >> 3] >> (x & 7)) & 1) ? '1' : '0';
  }
  while (!s.empty() && s.back() == '0') s.pop_back();
  return s;
}

std::string Ours(const std::string& data, BarcodeSymbology type, bool check = false) {
  BarcodeOptions options;
  options.AddCheckChar = check;
  options.BarNarrowToWideRatio = 3;
  return test::ModuleString(EncodeBarCode(data, type, options));
}

struct ExactCase {
  BarcodeSymbology type;
  std::string ours;
  int zint;
  std::string zintData;
};

TEST(BarcodeZintPattern, UpcEanModulesEqualLibzint) {
  const ExactCase cases[] = {
      {bcEAN_13, "123456789012", BARCODE_EANX, "123456789012"},
      {bcEAN_13, "590123412345", BARCODE_EANX, "590123412345"},
      {bcEAN_13, "0000000000000", BARCODE_EANX, "000000000000"},
      {bcEAN_13, "9780201379624", BARCODE_EANX, "978020137962"},
      {bcEAN_8, "9638507", BARCODE_EANX, "9638507"},
      {bcEAN_8, "55123457", BARCODE_EANX, "5512345"},
      {bcUPC_A, "03600029145", BARCODE_UPCA, "03600029145"},
      {bcUPC_A, "012345678905", BARCODE_UPCA, "01234567890"},
      // UPC-E: every last digit (expansion rule) and several check digits.
      {bcUPC_E, "123450", BARCODE_UPCE, "123450"},
      {bcUPC_E, "654321", BARCODE_UPCE, "654321"},
      {bcUPC_E, "425261", BARCODE_UPCE, "425261"},
      {bcUPC_E, "123452", BARCODE_UPCE, "123452"},
      {bcUPC_E, "123453", BARCODE_UPCE, "123453"},
      {bcUPC_E, "123454", BARCODE_UPCE, "123454"},
      {bcUPC_E, "123457", BARCODE_UPCE, "123457"},
      {bcUPC_E, "100019", BARCODE_UPCE, "100019"},
      // Number system first, check digit last; number system 1 too.
      {bcUPC_E, "0425261", BARCODE_UPCE, "0425261"},
      {bcUPC_E, "04252614", BARCODE_UPCE, "0425261"},
      {bcUPC_E, "1234567", BARCODE_UPCE, "1234567"},
      {bcUPC_E, "16543214", BARCODE_UPCE, "1654321"},
      {bcUPC_E, "1123453", BARCODE_UPCE, "1123453"},
      {bcEAN_13, "5901234123457", BARCODE_EANX, "590123412345"},
      {bcUPC_A, "036000291452", BARCODE_UPCA, "03600029145"},
  };
  for (const ExactCase& c : cases) {
    EXPECT_EQ(Ours(c.ours, c.type), ZintModules(c.zint, c.zintData)) << c.ours;
  }
}

TEST(BarcodeZintPattern, NarrowWideSequencesEqualLibzint) {
  struct Case {
    BarcodeSymbology type;
    std::string ours;
    bool check;
    int zint;
    std::string zintData;
    int option2;
  };
  const Case cases[] = {
      {bcCode39, "CODE-39 $/+%.", false, BARCODE_CODE39, "CODE-39 $/+%.", 0},
      {bcCode39, "0123456789", false, BARCODE_CODE39, "0123456789", 0},
      {bcCode39, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", false, BARCODE_CODE39, "ABCDEFGHIJKLMNOPQRSTUVWXYZ",
       0},
      {bcInterleaved2of5, "1234567890", false, BARCODE_C25INTER, "1234567890", 0},
      {bcInterleaved2of5, "123", false, BARCODE_C25INTER, "0123", 0},
      {bcCodabar, "A0123456789B", false, BARCODE_CODABAR, "A0123456789B", 0},
      {bcCodabar, "C-$:/.+D", false, BARCODE_CODABAR, "C-$:/.+D", 0},
      // libzint adds Code 11's C and K by default.
      {bcCode11, "0123456789-", true, BARCODE_CODE11, "0123456789-", 0},
      {bcCode11, "123-45", true, BARCODE_CODE11, "123-45", 0},
      {bcCode11, "9", false, BARCODE_CODE11, "9", 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(test::NarrowWide(Ours(c.ours, c.type, c.check)),
              test::NarrowWide(ZintModules(c.zint, c.zintData, c.option2)))
        << c.ours;
  }
}

TEST(BarcodeZintPattern, Code93ModulesEqualLibzintWithBothCheckCharacters) {
  for (const std::string data : {"CODE 93", "Hello, world!", "a+b=c\t%"}) {
    EXPECT_EQ(Ours(data, bcCode93, true), ZintModules(BARCODE_CODE93, data)) << data;
  }
}

}  // namespace
