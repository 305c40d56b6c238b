#include "render/MatrixBarcodeGenerator.h"

#include <zint.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <utility>

namespace labelplu {

namespace {

struct ZintDeleter {
  void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};
using ZintSymbol = std::unique_ptr<zint_symbol, ZintDeleter>;

// Bounds the work on hostile input: libzint itself refuses far less.
constexpr size_t kMaxCaptionBytes = 4096;

struct SymbolSettings {
  int symbology = BARCODE_PDF417;
  int option1 = -1;
  int option3 = 0;
  int inputMode = UNICODE_MODE;
  int rowModules = 1;  // pixel rows per module row, in modules; 0 = libzint's heights
};

SymbolSettings MapSettings(int16_t codeType, int16_t security, float aspect, int16_t heightToWidth,
                           const std::string& caption) {
  SymbolSettings s;
  const int rowHeight = std::max<int>(1, heightToWidth);
  switch (codeType) {
    case 0:
      s.symbology = BARCODE_AZTEC;
      if (security > 0) s.option1 = std::min<int>(security, 4);
      break;
    case 1:
      s.symbology = BARCODE_DATAMATRIX;
      s.option3 = aspect < 1.0F ? 0 : DM_SQUARE;
      break;
    case 3:
      s.symbology = BARCODE_MAXICODE;
      s.option1 = security > 0 ? 5 : 4;
      break;
    case 4:
      s.symbology = BARCODE_MICROPDF417;
      s.rowModules = rowHeight;
      break;
    case 5:
      if (!caption.empty() && caption.front() == '[') {
        s.symbology = BARCODE_DBAR_EXP;
        s.inputMode = GS1_MODE;
      } else {
        s.symbology = BARCODE_DBAR_OMN;
        s.inputMode = DATA_MODE;
      }
      s.rowModules = 0;
      break;
    default:
      s.symbology = BARCODE_PDF417;
      if (security > 0) s.option1 = std::min<int>(security, 8);
      s.rowModules = rowHeight;
      break;
  }
  return s;
}

ZintSymbol Encode(const SymbolSettings& s, int columns, const std::string& data) {
  ZintSymbol symbol(ZBarcode_Create());
  if (!symbol) throw MatrixBarcodeError("2D barcode: libzint could not allocate a symbol");
  symbol->symbology = s.symbology;
  symbol->option_1 = s.option1;
  symbol->option_2 = columns;
  symbol->option_3 = s.option3;
  symbol->input_mode = s.inputMode;
  symbol->output_options |= COMPLIANT_HEIGHT;  // DataBar at its standard height
  const int rc = ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.data()),
                                 static_cast<int>(data.size()));
  if (rc >= ZINT_ERROR) throw MatrixBarcodeError(std::string("2D barcode: ") + symbol->errtxt);
  return symbol;
}

bool ModuleSet(const zint_symbol& s, int row, int col) {
  return ((s.encoded_data[row][col >> 3] >> (col & 7)) & 1) != 0;
}

// PDF417 and MicroPDF417: tries every column count and keeps the symbol whose
// height to width (rows of rowModules modules) is nearest the ratio.
ZintSymbol EncodeNearestAspect(const SymbolSettings& s, float aspect, const std::string& data) {
  const int maxColumns = s.symbology == BARCODE_PDF417 ? 30 : 4;
  ZintSymbol best;
  double bestDistance = std::numeric_limits<double>::infinity();
  std::string firstError;
  for (int columns = 1; columns <= maxColumns; ++columns) {
    try {
      ZintSymbol symbol = Encode(s, columns, data);
      const double ratio = static_cast<double>(symbol->rows) * s.rowModules / symbol->width;
      const double distance = std::abs(std::log(ratio / aspect));
      if (distance < bestDistance) {
        bestDistance = distance;
        best = std::move(symbol);
      }
    } catch (const MatrixBarcodeError& e) {
      if (firstError.empty()) firstError = e.what();
    }
  }
  if (!best) throw MatrixBarcodeError(firstError);
  return best;
}

// libzint's automatic DataMatrix size prefers squares; a wide symbol is
// asked for by size: 8×18, 8×32, 12×26, 12×36, 16×36, 16×48 (option_2 25 to
// 30), the first that holds the data, else the automatic size.
ZintSymbol EncodeRectangularDataMatrix(const SymbolSettings& s, const std::string& data) {
  for (int size = 25; size <= 30; ++size) {
    try {
      return Encode(s, size, data);
    } catch (const MatrixBarcodeError&) {
      // too small for the data: try the next size
    }
  }
  return Encode(s, 0, data);
}

QImage RenderMatrix(const zint_symbol& s, int rowModules, int32_t px) {
  const int32_t quiet = MatrixBarcodeGenerator::QuietModules() * px;
  // libzint leaves row_height 0 for rows that share what the fixed rows
  // leave of the symbol's height.
  double fixed = 0.0;
  int shared = 0;
  for (int r = 0; r < s.rows; ++r) {
    fixed += s.row_height[r];
    if (s.row_height[r] <= 0.0F) ++shared;
  }
  const double sharedHeight = shared > 0 ? std::max(0.0, s.height - fixed) / shared : 0.0;
  std::vector<int32_t> rowPixels(static_cast<size_t>(s.rows));
  int32_t height = 2 * quiet;
  for (int r = 0; r < s.rows; ++r) {
    const double rowHeight = s.row_height[r] > 0.0F ? s.row_height[r] : sharedHeight;
    const int modules =
        rowModules > 0 ? rowModules : std::max(1, static_cast<int>(std::lround(rowHeight)));
    rowPixels[static_cast<size_t>(r)] = modules * px;
    height += modules * px;
  }
  QImage image(s.width * px + 2 * quiet, height, QImage::Format_Grayscale8);
  if (image.isNull()) throw MatrixBarcodeError("2D barcode: the symbol is too large for an image");
  image.fill(255);
  int32_t y = quiet;
  for (int r = 0; r < s.rows; ++r) {
    for (int32_t dy = 0; dy < rowPixels[static_cast<size_t>(r)]; ++dy, ++y) {
      uchar* line = image.scanLine(y);
      for (int c = 0; c < s.width; ++c) {
        if (ModuleSet(s, r, c)) std::fill_n(line + quiet + c * px, px, uchar{0});
      }
    }
  }
  return image;
}

QImage RenderMaxiCode(zint_symbol& s, int32_t px) {
  s.scale = static_cast<float>(px);
  s.whitespace_width = MatrixBarcodeGenerator::QuietModules();
  s.whitespace_height = MatrixBarcodeGenerator::QuietModules();
  const int rc = ZBarcode_Buffer(&s, 0);
  if (rc >= ZINT_ERROR) throw MatrixBarcodeError(std::string("2D barcode: ") + s.errtxt);
  QImage image(s.bitmap_width, s.bitmap_height, QImage::Format_Grayscale8);
  if (image.isNull()) throw MatrixBarcodeError("2D barcode: the symbol is too large for an image");
  const unsigned char* src = s.bitmap;
  for (int y = 0; y < s.bitmap_height; ++y) {
    uchar* line = image.scanLine(y);
    for (int x = 0; x < s.bitmap_width; ++x, src += 3) line[x] = src[0] < 128 ? 0 : 255;
  }
  return image;
}

}  // namespace

void MatrixBarcodeGenerator::SetCodeType(int16_t value) {
  m_codeType = value >= 0 && value <= 5 ? value : int16_t{2};
}

void MatrixBarcodeGenerator::SetModulePixels(int32_t pixels) {
  if (pixels < 1 || pixels > 64) {
    throw std::invalid_argument("2D barcode: module size must be 1 to 64 pixels");
  }
  m_modulePixels = pixels;
}

int32_t MatrixBarcodeGenerator::ModulePixelsFor(double mm, int32_t dpi) {
  const double pixels = mm * dpi / 25.4;
  if (!(pixels < 64.0)) return 64;  // also catches NaN
  return std::max<int32_t>(1, static_cast<int32_t>(std::lround(pixels)));
}

void MatrixBarcodeGenerator::Refresh() {
  m_image = QImage();
  m_modules.clear();
  m_symbology = 0;
  if (m_caption.size() > kMaxCaptionBytes) {
    throw MatrixBarcodeError("2D barcode: the data is longer than " +
                             std::to_string(kMaxCaptionBytes) + " bytes");
  }
  const SymbolSettings s =
      MapSettings(m_codeType, m_securityLevel, m_aspectRatio, m_heightToWidth, m_caption);
  const bool byAspect = (s.symbology == BARCODE_PDF417 || s.symbology == BARCODE_MICROPDF417) &&
                        m_aspectRatio > 0.0F && std::isfinite(m_aspectRatio);
  ZintSymbol symbol;
  if (byAspect) {
    symbol = EncodeNearestAspect(s, m_aspectRatio, m_caption);
  } else if (s.symbology == BARCODE_DATAMATRIX && m_aspectRatio < 1.0F) {
    symbol = EncodeRectangularDataMatrix(s, m_caption);
  } else {
    symbol = Encode(s, 0, m_caption);
  }

  std::vector<std::string> modules;
  for (int r = 0; r < symbol->rows; ++r) {
    std::string row(static_cast<size_t>(symbol->width), '0');
    for (int c = 0; c < symbol->width; ++c) {
      if (ModuleSet(*symbol, r, c)) row[static_cast<size_t>(c)] = '1';
    }
    modules.push_back(std::move(row));
  }
  QImage image = s.symbology == BARCODE_MAXICODE
                     ? RenderMaxiCode(*symbol, m_modulePixels)
                     : RenderMatrix(*symbol, s.rowModules, m_modulePixels);
  m_image = std::move(image);
  m_modules = std::move(modules);
  m_symbology = s.symbology;
}

}  // namespace labelplu
