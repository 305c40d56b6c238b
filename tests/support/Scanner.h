// The barcode scanners of the tests: zbar and zxing-cpp read back what was
// painted or printed, and the preparations the images need first. Neither
// reader's header is seen here (they clash with each other), only in
// Scanner.cpp, built as the lp_test_scanner library.
#ifndef LABELPLU_TESTS_SUPPORT_SCANNER_H
#define LABELPLU_TESTS_SUPPORT_SCANNER_H

#include <gtest/gtest.h>

#include <QImage>

#include <string>
#include <string_view>

namespace labelplu::test {

// What a reader is told to look for: this symbology alone.
enum class Symbology {
  Ean13,
  Ean8,
  UpcA,
  UpcE,
  Interleaved2of5,
  Codabar,
  Code39,
  Code93,
  Code128,
  Aztec,
  DataMatrix,
  Pdf417,
  MaxiCode,
  DataBar,
  DataBarExpanded,
};

// The symbology's usual name ("EAN-13"), for messages and case names.
std::string_view SymbologyName(Symbology symbology);

// Which reader decodes: zbar reads the linear symbologies only (up to Code
// 128 above), zxing-cpp reads them all.
enum class Reader { Zbar, Zxing, Both };

// How zxing-cpp looks at the image; zbar has no such choices.
struct ScanOptions {
  // The image holds the symbol and its quiet zone alone (zxing-cpp reads
  // MaxiCode only so: see CutToInk).
  bool pure = false;
  // Also look for the symbol turned a quarter. Off where a test checks that
  // it turned the image upright itself.
  bool tryRotate = true;
};

// The text one reader (Zbar or Zxing, not Both) decodes in image, read as
// 8-bit grey: every symbol zbar finds, one per line, or the one symbol
// zxing-cpp finds; "<unread>" when there is none. Codabar comes with its
// start and stop characters. Throws std::invalid_argument for Reader::Both
// and for a symbology zbar does not read.
std::string Decode(const QImage& image, Reader reader, Symbology symbology,
                   const ScanOptions& options = {});

// Success when every reader asked decodes image to text, one symbol alone.
// A failure names the reader, what it read instead, the symbology and the
// image's size and resolution.
::testing::AssertionResult ScansAs(const QImage& image, Reader readers, Symbology symbology,
                                   std::string_view text, const ScanOptions& options = {});

// Preparations of a painted image for the readers.

// The painted image turned back upright: its content was turned
// degreesClockwise (a multiple of 90; 0 gives the image unchanged).
QImage Upright(const QImage& painted, int degreesClockwise);

// The smallest rectangle around the ink of image (pixels darker than mid
// grey), widened by marginPx on every side, cut from image as 8-bit grey: a
// symbol alone for a pure read. Beyond the image's edges the cut is black.
QImage CutToInk(const QImage& image, int marginPx);

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_SUPPORT_SCANNER_H
