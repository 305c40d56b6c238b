// The two-dimensional barcode generator: round trips through zxing-cpp where
// it reads the symbology, libzint's own module matrix where it does not, the
// mapping of the settings and libzint's errors.
#include <gtest/gtest.h>
#include <zint.h>

#include <QImage>

#include <memory>
#include <string>
#include <vector>

#include "render/MatrixBarcodeGenerator.h"
#include "tests/support/Scanner.h"

using namespace labelplu;

namespace {

struct ZintDeleter {
  void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};

// libzint run directly with the given options, as the oracle for the matrix.
std::vector<std::string> ZintModules(int symbology, int option1, int option2, int option3,
                                     int inputMode, const std::string& data,
                                     std::string* error = nullptr) {
  std::unique_ptr<zint_symbol, ZintDeleter> s(ZBarcode_Create());
  s->symbology = symbology;
  s->output_options |= COMPLIANT_HEIGHT;
  s->option_1 = option1;
  s->option_2 = option2;
  s->option_3 = option3;
  s->input_mode = inputMode;
  const int rc = ZBarcode_Encode(s.get(), reinterpret_cast<const unsigned char*>(data.data()),
                                 static_cast<int>(data.size()));
  if (error) *error = s->errtxt;
  std::vector<std::string> rows;
  if (rc >= ZINT_ERROR) return rows;
  for (int r = 0; r < s->rows; ++r) {
    std::string row;
    for (int c = 0; c < s->width; ++c) {
      row += ((s->encoded_data[r][c >> 3] >> (c & 7)) & 1) ? '1' : '0';
    }
    rows.push_back(row);
  }
  return rows;
}

// zxing-cpp reads MaxiCode only as a pure symbol.
std::string Read(const QImage& image, test::Symbology symbology) {
  return test::Decode(image, test::Reader::Zxing, symbology,
                      {.pure = symbology == test::Symbology::MaxiCode});
}

// The module matrix read back from the image at module centres; row r is
// rowPx[r] pixels high.
std::vector<std::string> Sample(const QImage& image, int32_t px, const std::vector<int32_t>& rowPx,
                                int width) {
  std::vector<std::string> rows;
  int32_t y = MatrixBarcodeGenerator::QuietModules() * px;
  for (const int32_t h : rowPx) {
    std::string row;
    for (int c = 0; c < width; ++c) {
      const int32_t x = (MatrixBarcodeGenerator::QuietModules() + c) * px + px / 2;
      row += image.pixelColor(x, y + h / 2).black() > 128 ? '1' : '0';
    }
    rows.push_back(row);
    y += h;
  }
  return rows;
}

MatrixBarcodeGenerator Make(MatrixSymbology type, const std::string& caption, int32_t px = 3) {
  MatrixBarcodeGenerator g;
  g.SetCodeType(static_cast<int16_t>(type));
  g.SetCaption(caption);
  g.SetModulePixels(px);
  return g;
}

struct RoundTripCase {
  MatrixSymbology type;
  std::string data;
  test::Symbology symbology;
  std::string decoded;
};

TEST(MatrixBarcodeGenerator, ZxingReadsBackWhatWasEncoded) {
  using S = test::Symbology;
  const std::vector<RoundTripCase> cases = {
      {MatrixSymbology::br2Aztec, "2D Штрихкод", S::Aztec, "2D Штрихкод"},
      {MatrixSymbology::br2Aztec, "Hello, 2D world 0123456789", S::Aztec,
       "Hello, 2D world 0123456789"},
      {MatrixSymbology::br2DataMatrix, "2D Штрихкод", S::DataMatrix, "2D Штрихкод"},
      {MatrixSymbology::br2DataMatrix, "Shelf A-17 / lot 42", S::DataMatrix, "Shelf A-17 / lot 42"},
      {MatrixSymbology::br2PDF417, "PDF417 label, 1234567890", S::Pdf417,
       "PDF417 label, 1234567890"},
      {MatrixSymbology::br2PDF417, "Цена 99,90", S::Pdf417, "Цена 99,90"},
      {MatrixSymbology::br2MaxiCode, "MAXICODE 12345", S::MaxiCode, "MAXICODE 12345"},
      {MatrixSymbology::br2RSS, "0950110153000", S::DataBar, "09501101530003"},
      {MatrixSymbology::br2RSS, "[01]09501101530003[10]AB12", S::DataBarExpanded,
       "(01)09501101530003(10)AB12"},
  };
  for (const int32_t px : {2, 3}) {
    for (const auto& c : cases) {
      // zxing-cpp's MaxiCode reader needs the hexagons a few pixels wide.
      MatrixBarcodeGenerator g =
          Make(c.type, c.data, c.type == MatrixSymbology::br2MaxiCode ? px + 2 : px);
      g.Refresh();
      EXPECT_EQ(Read(g.Image(), c.symbology), c.decoded) << c.data << " at " << px;
    }
  }
}

// MicroPDF417 is read by neither decoder: the image, sampled at module
// centres, must be libzint's matrix, and that matrix the one libzint encodes
// for the same data and columns. The other row-based types are checked the
// same way for their geometry and row heights.
TEST(MatrixBarcodeGenerator, ImageHoldsLibzintsModuleMatrix) {
  struct Case {
    MatrixSymbology type;
    std::string data;
    int16_t heightToWidth;
    int symbology;
  };
  const std::vector<Case> cases = {
      {MatrixSymbology::br2MicroPDF417, "MicroPDF 123", 3, BARCODE_MICROPDF417},
      {MatrixSymbology::br2MicroPDF417, "Микро PDF417 данные", 2, BARCODE_MICROPDF417},
      {MatrixSymbology::br2PDF417, "PDF 417", 4, BARCODE_PDF417},
      {MatrixSymbology::br2DataMatrix, "DM 1", 3, BARCODE_DATAMATRIX},
      {MatrixSymbology::br2Aztec, "AZ", 3, BARCODE_AZTEC},
  };
  for (const auto& c : cases) {
    MatrixBarcodeGenerator g = Make(c.type, c.data, 2);
    g.SetHeightToWidth(c.heightToWidth);
    g.Refresh();
    ASSERT_EQ(g.ZintSymbology(), c.symbology);
    const auto& m = g.Modules();
    ASSERT_FALSE(m.empty());
    const int width = static_cast<int>(m.front().size());
    const bool stacked =
        c.type == MatrixSymbology::br2MicroPDF417 || c.type == MatrixSymbology::br2PDF417;
    const int32_t rowPx = 2 * (stacked ? c.heightToWidth : 1);
    EXPECT_EQ(g.Image().width(), (width + 4) * 2) << c.data;
    EXPECT_EQ(g.Image().height(), static_cast<int>(m.size()) * rowPx + 8) << c.data;
    EXPECT_EQ(Sample(g.Image(), 2, std::vector<int32_t>(m.size(), rowPx), width), m) << c.data;
    if (c.type == MatrixSymbology::br2MicroPDF417) {
      const int columns = width == 38 ? 1 : width == 55 ? 2 : width == 82 ? 3 : 4;
      EXPECT_EQ(ZintModules(BARCODE_MICROPDF417, -1, columns, 0, UNICODE_MODE, c.data), m);
    }
  }
}

// DataBar rows keep the height of the standard (33 modules for
// Omnidirectional) whatever HeightToWidth says.
TEST(MatrixBarcodeGenerator, DataBarKeepsItsStandardHeight) {
  MatrixBarcodeGenerator g = Make(MatrixSymbology::br2RSS, "0950110153000", 1);
  g.SetHeightToWidth(9);
  g.Refresh();
  EXPECT_EQ(g.ZintSymbology(), BARCODE_DBAR_OMN);
  EXPECT_EQ(g.Image().height(), 33 + 4);
  EXPECT_EQ(g.Modules(), ZintModules(BARCODE_DBAR_OMN, -1, 0, 0, DATA_MODE, "0950110153000"));
}

TEST(MatrixBarcodeGenerator, SecurityLevelMapsToLibzintErrorCorrection) {
  struct Case {
    MatrixSymbology type;
    int16_t level;
    int symbology;
    int option1;
  };
  const std::string data = "ERROR CORRECTION 0123456789";
  const std::vector<Case> cases = {
      {MatrixSymbology::br2Aztec, 0, BARCODE_AZTEC, -1},
      {MatrixSymbology::br2Aztec, 1, BARCODE_AZTEC, 1},
      {MatrixSymbology::br2Aztec, 4, BARCODE_AZTEC, 4},
      {MatrixSymbology::br2Aztec, 9, BARCODE_AZTEC, 4},
      {MatrixSymbology::br2MaxiCode, 0, BARCODE_MAXICODE, 4},
      {MatrixSymbology::br2MaxiCode, 2, BARCODE_MAXICODE, 5},
  };
  for (const auto& c : cases) {
    MatrixBarcodeGenerator g = Make(c.type, data);
    g.SetSecurityLevel(c.level);
    g.Refresh();
    EXPECT_EQ(g.Modules(), ZintModules(c.symbology, c.option1, 0, 0, UNICODE_MODE, data))
        << static_cast<int>(c.type) << " level " << c.level;
  }
  // PDF417: levels 1..8 as given (more codewords each), higher ones 8.
  std::vector<size_t> rows;
  for (const int16_t level : {1, 4, 8}) {
    MatrixBarcodeGenerator g = Make(MatrixSymbology::br2PDF417, data);
    g.SetAspectRatio(0.0F);
    g.SetSecurityLevel(level);
    g.Refresh();
    EXPECT_EQ(g.Modules(), ZintModules(BARCODE_PDF417, level, 0, 0, UNICODE_MODE, data));
    rows.push_back(g.Modules().size() * g.Modules().front().size());
  }
  EXPECT_LT(rows[0], rows[1]);
  EXPECT_LT(rows[1], rows[2]);
  MatrixBarcodeGenerator high = Make(MatrixSymbology::br2PDF417, data);
  high.SetAspectRatio(0.0F);
  high.SetSecurityLevel(30);
  high.Refresh();
  EXPECT_EQ(high.Modules(), ZintModules(BARCODE_PDF417, 8, 0, 0, UNICODE_MODE, data));
}

TEST(MatrixBarcodeGenerator, AspectRatioShapesTheSymbol) {
  const std::string data(120, 'A');
  double previous = 0.0;
  for (const float aspect : {0.1F, 0.5F, 2.0F}) {
    MatrixBarcodeGenerator g = Make(MatrixSymbology::br2PDF417, data, 1);
    g.SetAspectRatio(aspect);
    g.Refresh();
    const double ratio = static_cast<double>(g.Image().height()) / g.Image().width();
    EXPECT_GT(ratio, previous) << aspect;
    EXPECT_GT(ratio, aspect / 2.0) << aspect;
    EXPECT_LT(ratio, aspect * 2.0) << aspect;
    previous = ratio;
  }
  // DataMatrix: square unless the ratio asks for a wide symbol.
  MatrixBarcodeGenerator square = Make(MatrixSymbology::br2DataMatrix, "1234567890AB");
  square.Refresh();
  EXPECT_EQ(square.Modules().size(), square.Modules().front().size());
  MatrixBarcodeGenerator wide = Make(MatrixSymbology::br2DataMatrix, "1234567890AB");
  wide.SetAspectRatio(0.3F);
  wide.Refresh();
  EXPECT_EQ(wide.Modules().size(), 8U);
  EXPECT_EQ(wide.Modules(),
            ZintModules(BARCODE_DATAMATRIX, -1, 26, 0, UNICODE_MODE, "1234567890AB"));
  // Too much for any rectangle: the automatic size.
  const std::string longData(300, 'D');
  MatrixBarcodeGenerator big = Make(MatrixSymbology::br2DataMatrix, longData);
  big.SetAspectRatio(0.3F);
  big.Refresh();
  EXPECT_EQ(big.Modules(), ZintModules(BARCODE_DATAMATRIX, -1, 0, 0, UNICODE_MODE, longData));
}

TEST(MatrixBarcodeGenerator, CodeTypeAndModuleSize) {
  struct Case {
    int16_t code;
    int16_t stored;
  };
  for (const Case c : {Case{0, 0}, Case{5, 5}, Case{6, 2}, Case{-1, 2}}) {
    MatrixBarcodeGenerator g;
    g.SetCodeType(c.code);
    EXPECT_EQ(g.CodeType(), c.stored) << c.code;
  }
  struct PixelCase {
    double mm;
    int32_t dpi;
    int32_t px;
  };
  for (const PixelCase c : {PixelCase{0.25, 203, 2}, PixelCase{0.5, 300, 6}, PixelCase{0.01, 96, 1},
                            PixelCase{1e9, 300, 64}}) {
    EXPECT_EQ(MatrixBarcodeGenerator::ModulePixelsFor(c.mm, c.dpi), c.px)
        << c.mm << " mm " << c.dpi;
  }
  MatrixBarcodeGenerator g;
  EXPECT_THROW(g.SetModulePixels(0), std::invalid_argument);
  EXPECT_THROW(g.SetModulePixels(65), std::invalid_argument);
}

TEST(MatrixBarcodeGenerator, BadDataRaisesLibzintsMessage) {
  struct Case {
    MatrixSymbology type;
    std::string good;
    std::string data;
    int symbology;
    int inputMode;
  };
  const std::vector<Case> cases = {
      {MatrixSymbology::br2RSS, "123", "ABC", BARCODE_DBAR_OMN, DATA_MODE},
      {MatrixSymbology::br2RSS, "[01]09501101530003", "[01]123", BARCODE_DBAR_EXP, GS1_MODE},
      {MatrixSymbology::br2Aztec, "OK", "\xff\xfe bad UTF-8", BARCODE_AZTEC, UNICODE_MODE},
      {MatrixSymbology::br2MaxiCode, "OK", std::string(200, 'M'), BARCODE_MAXICODE, UNICODE_MODE},
  };
  for (const auto& c : cases) {
    MatrixBarcodeGenerator g = Make(c.type, c.good);
    g.Refresh();
    ASSERT_FALSE(g.Image().isNull());
    g.SetCaption(c.data);
    std::string zintError;
    ZintModules(c.symbology, c.type == MatrixSymbology::br2MaxiCode ? 4 : -1, 0, 0, c.inputMode,
                c.data, &zintError);
    ASSERT_FALSE(zintError.empty());
    try {
      g.Refresh();
      ADD_FAILURE() << "no error for " << c.data;
    } catch (const MatrixBarcodeError& e) {
      EXPECT_EQ(std::string(e.what()), "2D barcode: " + zintError);
    }
    EXPECT_TRUE(g.Image().isNull());
    EXPECT_TRUE(g.Modules().empty());
  }
  MatrixBarcodeGenerator huge = Make(MatrixSymbology::br2PDF417, std::string(5000, 'x'));
  EXPECT_THROW(huge.Refresh(), MatrixBarcodeError);
}

}  // namespace
