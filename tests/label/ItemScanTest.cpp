// Scanner round trips of the barcode items: each symbology painted by
// its item on a raster label at 203 and 300 dpi, upright and turned a
// quarter, then read by zxing-cpp (and zbar for the linear ones). What
// neither reader knows (Code 11, MicroPDF417) is compared bar for bar with
// libzint's own encoding.
#include <gtest/gtest.h>
#include <zint.h>

#include <QImage>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "label/LinearBarcodeItem.h"
#include "label/MatrixBarcodeItem.h"
#include "tests/label/ItemTestSupport.h"
#include "tests/support/Scanner.h"

using namespace labelplu;
using namespace labelplu::test;

namespace {

using S = Symbology;

// The painted label turned back upright, as 8-bit grey.
QImage UprightGrey(const QImage& painted, Rotation rotation) {
  return Upright(painted, rotation * 90).convertToFormat(QImage::Format_Grayscale8);
}

// libzint's module matrix for the data, one '1'/'0' string per row; empty
// when libzint refuses the data.
std::vector<std::string> ZintMatrix(int symbology, const std::string& data, int option2 = 0) {
  std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)> s(ZBarcode_Create(), &ZBarcode_Delete);
  s->symbology = symbology;
  s->option_2 = option2;
  s->input_mode = UNICODE_MODE;
  const int rc = ZBarcode_Encode(s.get(), reinterpret_cast<const unsigned char*>(data.data()),
                                 static_cast<int>(data.size()));
  std::vector<std::string> rows;
  for (int r = 0; rc < ZINT_ERROR && r < s->rows; ++r) {
    std::string row;
    for (int c = 0; c < s->width; ++c)
      row += ((s->encoded_data[r][c >> 3] >> (c & 7)) & 1) ? '1' : '0';
    rows.push_back(row);
  }
  return rows;
}

// Bars and spaces as 'n' (the narrowest run) or 'w'; trailing spaces dropped.
std::string NarrowWide(std::string modules) {
  while (!modules.empty() && modules.back() == '0') modules.pop_back();
  std::vector<size_t> runs;
  for (size_t i = 0; i < modules.size();) {
    size_t j = i;
    while (j < modules.size() && modules[j] == modules[i]) ++j;
    runs.push_back(j - i);
    i = j;
  }
  size_t narrow = SIZE_MAX;
  for (size_t r : runs) narrow = std::min(narrow, r);
  std::string out;
  for (size_t r : runs) out += r == narrow ? 'n' : 'w';
  return out;
}

// One scan line of the upright label through the bars ('1' ink), from the
// first ink to the last.
std::string ScanLine(const QImage& grey, int y) {
  std::string line;
  for (int x = 0; x < grey.width(); ++x) line += IsInk(grey, x, y) ? '1' : '0';
  const size_t first = line.find('1');
  return first == std::string::npos ? std::string()
                                    : line.substr(first, line.rfind('1') - first + 1);
}

struct LinearCase {
  BarcodeSymbology type;
  std::string value;
  bool check;
  std::string decoded;  // "" for Code 11: compared with libzint instead
  std::optional<S> symbology;
};

TEST(ItemScan, LinearBarcodeItemScansAtBothResolutionsAndRotations) {
  const std::vector<LinearCase> cases = {
      {bcUPC_A, "03600029145", false, "036000291452", S::UpcA},
      {bcUPC_A, "123456789012", false, "123456789012", S::UpcA},
      {bcUPC_E, "123450", false, "01234505", S::UpcE},
      {bcUPC_E, "654321", false, "06543217", S::UpcE},
      {bcEAN_8, "9638507", false, "96385074", S::Ean8},
      {bcEAN_8, "55123457", false, "55123457", S::Ean8},
      {bcEAN_13, "4006381333931", false, "4006381333931", S::Ean13},
      {bcEAN_13, "590123412345", false, "5901234123457", S::Ean13},
      {bcInterleaved2of5, "123456", false, "123456", S::Interleaved2of5},
      {bcInterleaved2of5, "00420017", false, "00420017", S::Interleaved2of5},
      {bcCodabar, "A123456B", false, "A123456B", S::Codabar},
      {bcCodabar, "C-$:/.+D", false, "C-$:/.+D", S::Codabar},
      {bcCode11, "123-45", true, "", std::nullopt},
      {bcCode11, "0987", false, "", std::nullopt},
      {bcCode39, "CODE-39", false, "CODE-39", S::Code39},
      {bcCode39, "ab 12$", false, "AB 12$", S::Code39},
      {bcCode93, "CODE 93", true, "CODE 93", S::Code93},
      {bcCode93, "SHELF.7", true, "SHELF.7", S::Code93},
      {bcCode128, "Shelf-42 a/b", true, "Shelf-42 a/b", S::Code128},
      {bcCode128, "PART-0042", true, "PART-0042", S::Code128},
      {bcCode128, "4607001234", true, "4607001234", S::Code128},
      // The flag off (the item's default): the mandatory checks are there all the same.
      {bcCode93, "a+b", false, "a+b", S::Code93},
      {bcCode128, "Shelf-42 a/b", false, "Shelf-42 a/b", S::Code128},
  };
  for (const int dpi : {203, 300}) {
    for (const Rotation rotation : {r0, r90}) {
      for (const LinearCase& c : cases) {
        SCOPED_TRACE(c.value + " @" + std::to_string(dpi) + " r" + std::to_string(rotation * 90));
        PaintedLabel painted(dpi, 80, 80);
        auto& barcode = dynamic_cast<LinearBarcodeItem&>(painted.Add("Shk"));
        barcode.SetLeft(5);
        barcode.SetTop(28);
        barcode.SetWidth(70);
        barcode.SetHeight(25);
        barcode.SetBarCodeType(c.type);
        barcode.SetAddCheckChar(c.check);
        barcode.SetValue(c.value);
        barcode.SetRotationFixed(rotation);
        const QImage grey = UprightGrey(painted.Render(), rotation);
        ASSERT_EQ(barcode.ErrorMessage(), "");
        if (c.decoded.empty()) {
          // Code 11: libzint adds both check characters by default, none
          // with option 2.
          const std::string zint = ZintMatrix(BARCODE_CODE11, c.value, c.check ? 0 : 2).at(0);
          EXPECT_EQ(NarrowWide(ScanLine(grey, grey.height() / 2)), NarrowWide(zint));
          continue;
        }
        EXPECT_TRUE(ScansAs(grey, Reader::Both, *c.symbology, c.decoded));
      }
    }
  }
}

struct MatrixCase {
  MatrixSymbology type;
  std::string value;
  double widthMm;
  double heightMm;
  std::string decoded;  // "" for MicroPDF417: compared with libzint instead
  std::optional<S> symbology;
};

// The module matrix sampled at module centres from the ink of an upright
// symbol whose first row and column hold ink (MicroPDF417's row indicators).
std::vector<std::string> SampleMatrix(const QImage& grey, const QRect& ink, int cols, int rows) {
  std::vector<std::string> matrix;
  const int mw = ink.width() / cols;
  const int mh = ink.height() / rows;
  for (int r = 0; r < rows; ++r) {
    std::string row;
    for (int c = 0; c < cols; ++c)
      row += IsInk(grey, ink.left() + c * mw + mw / 2, ink.top() + r * mh + mh / 2) ? '1' : '0';
    matrix.push_back(row);
  }
  return matrix;
}

TEST(ItemScan, TwoDimensionalBarcodeItemScansAtBothResolutionsAndRotations) {
  const std::vector<MatrixCase> cases = {
      {MatrixSymbology::br2Aztec, "2D Штрихкод", 20, 20, "2D Штрихкод", S::Aztec},
      {MatrixSymbology::br2Aztec, "https://example.org/p?id=4607001234", 20, 20,
       "https://example.org/p?id=4607001234", S::Aztec},
      {MatrixSymbology::br2DataMatrix, "4607001234567", 15, 15, "4607001234567", S::DataMatrix},
      {MatrixSymbology::br2DataMatrix, "Полка 7, ряд 3", 15, 15, "Полка 7, ряд 3", S::DataMatrix},
      {MatrixSymbology::br2PDF417, "PDF417 label, 1234567890", 50, 20, "PDF417 label, 1234567890",
       S::Pdf417},
      {MatrixSymbology::br2PDF417, "Цена 99,90", 50, 20, "Цена 99,90", S::Pdf417},
      {MatrixSymbology::br2MaxiCode, "MAXICODE 12345", 30, 30, "MAXICODE 12345", S::MaxiCode},
      {MatrixSymbology::br2MaxiCode, "Shelf 42", 30, 30, "Shelf 42", S::MaxiCode},
      {MatrixSymbology::br2MicroPDF417, "MicroPDF 123", 40, 20, "", std::nullopt},
      {MatrixSymbology::br2MicroPDF417, "Микро 417", 40, 20, "", std::nullopt},
      {MatrixSymbology::br2RSS, "0950110153000", 50, 20, "09501101530003", S::DataBar},
      {MatrixSymbology::br2RSS, "[01]09501101530003[10]AB12", 60, 20, "(01)09501101530003(10)AB12",
       S::DataBarExpanded},
  };
  for (const int dpi : {203, 300}) {
    for (const Rotation rotation : {r0, r90}) {
      for (const MatrixCase& c : cases) {
        SCOPED_TRACE(c.value + " @" + std::to_string(dpi) + " r" + std::to_string(rotation * 90));
        PaintedLabel painted(dpi, 70, 70);
        auto& barcode = dynamic_cast<MatrixBarcodeItem&>(painted.Add("2DShk"));
        barcode.SetWidth(c.widthMm);
        barcode.SetHeight(c.heightMm);
        barcode.SetLeft(35 - c.widthMm / 2);
        barcode.SetTop(35 - c.heightMm / 2);
        barcode.SetBRType2D(c.type);
        barcode.SetValue(c.value);
        barcode.SetRotationFixed(rotation);
        const QImage grey = UprightGrey(painted.Render(), rotation);
        ASSERT_TRUE(barcode.ErrorMessage().empty()) << barcode.ErrorMessage();
        ASSERT_GE(barcode.ModulePixels(), 1);
        const QRect ink = InkBox(grey, grey.rect());
        if (c.decoded.empty()) {
          // MicroPDF417 at the column count the generator chose, rows of
          // HeightToWidth (3) modules; every module a whole number of dots.
          const std::vector<std::string>& ours = barcode.Generator()->Modules();
          std::vector<std::string> zint;
          for (int columns = 1; columns <= 4; ++columns) {
            zint = ZintMatrix(BARCODE_MICROPDF417, c.value, columns);
            if (!zint.empty() && zint.front().size() == ours.front().size()) break;
          }
          const int cols = static_cast<int>(zint.at(0).size());
          const int rows = static_cast<int>(zint.size());
          const int px = barcode.ModulePixels();
          EXPECT_EQ(ink.width(), cols * px);
          EXPECT_EQ(ink.height(), rows * 3 * px);
          EXPECT_EQ(SampleMatrix(grey, ink, cols, rows), zint);
          continue;
        }
        // MaxiCode is read as a pure symbol: the ink with its quiet zone.
        const bool pure = c.type == MatrixSymbology::br2MaxiCode;
        const int margin = 4 * barcode.ModulePixels();
        const QImage read = pure ? CutToInk(grey, margin) : grey;
        EXPECT_TRUE(ScansAs(read, Reader::Zxing, *c.symbology, c.decoded, {.pure = pure}))
            << "modules of " << barcode.ModulePixels() << " dots";
      }
    }
  }
}

}  // namespace
