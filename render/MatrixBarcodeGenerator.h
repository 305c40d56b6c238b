// Two-dimensional barcode generator over libzint.
//
// MatrixBarcodeGenerator stands in for the outside barcode control of the 2D barcode
// item: it offers the same members (AspectRatio, CodeType,
// SecurityLevel, HeightToWidth, ScaleMode, Caption, Refresh, image) and
// hands the symbol over in memory as a QImage; nothing is written to disk.
//
// CodeType (the ordinal of MatrixSymbology; any other value is taken as 2):
//   0 Aztec        BARCODE_AZTEC (92)
//   1 DataMatrix   BARCODE_DATAMATRIX (71), ECC 200
//   2 PDF417       BARCODE_PDF417 (55)
//   3 MaxiCode     BARCODE_MAXICODE (57)
//   4 MicroPDF417  BARCODE_MICROPDF417 (84)
//   5 RSS          GS1 DataBar: Caption starting with '[' (GS1 element
//                  strings "[01]…[10]…") gives DataBar Expanded
//                  (BARCODE_DBAR_EXP, 31, GS1_MODE); otherwise the Caption is
//                  a GTIN of up to 13 digits (or 14 with its check digit)
//                  for DataBar Omnidirectional (BARCODE_DBAR_OMN, 29).
//
// Settings to libzint options:
//   SecurityLevel  Aztec: 1..4 -> option_1 (10 %, 23 %, 36 %, 50 % error
//                  correction), higher values 4, 0 or less libzint's default
//                  (23 % + 3 codewords). PDF417: 1..8 -> option_1 (ECC
//                  level), higher 8, 0 or less libzint's choice by data
//                  size. MaxiCode: 0 or less -> mode 4 (standard ECC), 1 or
//                  more -> mode 5 (enhanced ECC). DataMatrix, MicroPDF417 and
//                  DataBar have error correction fixed by the symbol size:
//                  ignored.
//   AspectRatio    symbol height to width. PDF417 (columns 1..30) and
//                  MicroPDF417 (columns 1..4): the column count (option_2)
//                  whose symbol, with the row height below, comes nearest to
//                  this ratio; 0 or less leaves libzint's choice. DataMatrix:
//                  below 1 the smallest rectangular size (option_2 25..30,
//                  8×18 to 16×48) that holds the data, the automatic size
//                  when none does; otherwise square sizes only (option_3
//                  DM_SQUARE). Ignored by the others.
//   HeightToWidth  PDF417 and MicroPDF417: the row height in modules (at
//                  least 1). Aztec, DataMatrix and MaxiCode have square or
//                  fixed modules and DataBar has the row heights of its
//                  standard: ignored.
//   ScaleMode      the unit of the control's own coordinates (6 =
//                  millimetres); kept for the caller, it does not change the
//                  symbol. Pixel size is set with SetModulePixels.
//   Caption        UTF-8 text, encoded with UNICODE_MODE (libzint converts to
//                  ISO/IEC 8859-1 where it can and inserts an ECI otherwise,
//                  e.g. for Cyrillic).
//
// The image: black modules on white, Format_Grayscale8, each module
// ModulePixels() × ModulePixels() pixels (rows of PDF417/MicroPDF417
// HeightToWidth times that, DataBar rows the height libzint gives them),
// with a quiet zone of QuietModules() modules on every side. MaxiCode's
// hexagons come from libzint's raster output at a scale of ModulePixels().
#pragma once

#include <QImage>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace labelplu {

enum class MatrixSymbology : uint8_t {
  br2Aztec,
  br2DataMatrix,
  br2PDF417,
  br2MaxiCode,
  br2MicroPDF417,
  br2RSS,
};

// Raised by MatrixBarcodeGenerator::Refresh when libzint refuses the data or settings;
// what() is "2D barcode: " followed by libzint's own message.
class MatrixBarcodeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class MatrixBarcodeGenerator {
 public:
  static constexpr int16_t kScaleModeMillimetres = 6;

  // A new generator starts as the item first sets it up: CodeType 1,
  // Caption "123456789", ScaleMode 6; AspectRatio 1, SecurityLevel 0,
  // HeightToWidth 3, one pixel per module.

  float AspectRatio() const { return m_aspectRatio; }
  void SetAspectRatio(float value) { m_aspectRatio = value; }
  int16_t CodeType() const { return m_codeType; }
  // Values outside 0..5 are stored as 2 (PDF417).
  void SetCodeType(int16_t value);
  int16_t SecurityLevel() const { return m_securityLevel; }
  void SetSecurityLevel(int16_t value) { m_securityLevel = value; }
  int16_t HeightToWidth() const { return m_heightToWidth; }
  void SetHeightToWidth(int16_t value) { m_heightToWidth = value; }
  int16_t ScaleMode() const { return m_scaleMode; }
  void SetScaleMode(int16_t value) { m_scaleMode = value; }
  const std::string& Caption() const { return m_caption; }
  void SetCaption(std::string value) { m_caption = std::move(value); }

  // Whole pixels per module, 1..64 (std::invalid_argument otherwise).
  int32_t ModulePixels() const { return m_modulePixels; }
  void SetModulePixels(int32_t pixels);
  // Pixels per module for a module of `mm` millimetres at `dpi`: the
  // nearest whole number, at least 1.
  static int32_t ModulePixelsFor(double mm, int32_t dpi);
  static constexpr int32_t QuietModules() { return 2; }

  // Encodes Caption with the current settings and renders Image(). Throws
  // MatrixBarcodeError with libzint's message; Image() and Modules() are then
  // empty.
  void Refresh();

  const QImage& Image() const { return m_image; }
  // The symbol's module matrix of the last Refresh as libzint encoded it,
  // one string of '1' (dark) and '0' per row; for MaxiCode the 33 rows of
  // its hexagonal grid.
  const std::vector<std::string>& Modules() const { return m_modules; }
  // The libzint symbology number of the last Refresh (0 before the first).
  int ZintSymbology() const { return m_symbology; }

 private:
  float m_aspectRatio = 1.0F;
  int16_t m_codeType = 1;
  int16_t m_securityLevel = 0;
  int16_t m_heightToWidth = 3;
  int16_t m_scaleMode = kScaleModeMillimetres;
  std::string m_caption = "123456789";
  int32_t m_modulePixels = 1;

  QImage m_image;
  std::vector<std::string> m_modules;
  int m_symbology = 0;
};

}  // namespace labelplu
