// labelplu: what a scanner must read from a barcode item's symbol when it
// carries its value: the symbology's reader format and the text the reader
// returns (check digits the symbology computes included, start/stop and
// check characters a reader strips left out).
//
// All functions are pure and may be called from any thread.
#ifndef LABELPLU_PRINT_BARCODEREADING_H
#define LABELPLU_PRINT_BARCODEREADING_H

#include <cstdint>
#include <string>
#include <string_view>

#include "render/BarcodeEncoder.h"
#include "render/MatrixBarcodeGenerator.h"

namespace labelplu {

// The symbologies the in-process reader (zxing-cpp) knows; None for those
// it does not (Code 11, MicroPDF417): their symbols are not checked.
enum class ReadFormat : uint8_t {
  None,
  UpcA,
  UpcE,
  Ean8,
  Ean13,
  Itf,
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

struct ExpectedReading {
  ReadFormat Format = ReadFormat::None;
  std::string Symbology;  // "EAN-13", for messages
  std::string Text;       // what the reader returns for the value
  // A second text also taken (Code 39 read with its optional check
  // character); empty when there is none.
  std::string TextWithCheck;
  bool IgnoreCase = false;  // Codabar: start/stop letters in either case
  // Code 128 data with special characters: group separators (FNC1) the
  // reader reports are left out of the comparison.
  bool DropGroupSeparators = false;
};

// The reading of a linear symbol of code (the encoder's data, as
// LinearBarcodeRenderer::Code() holds it: trimmed, Code 39 upper case,
// Codabar lower case):
//  - UPC-A 11, EAN-8 7, EAN-13 12 digits: the value and its check digit;
//    with the full count of digits the value itself (a wrong check digit
//    makes the symbol unreadable); any other length the value itself, which
//    the padded or cut symbol then does not read as;
//  - UPC-E six digits: "0", the digits and the check digit of the expanded
//    UPC-A number; any other length the value itself;
//  - Interleaved 2 of 5: the digits padded with a leading 0 to an even
//    count together with the check digit, which is appended when asked;
//  - Codabar: the value with its start/stop letters, case ignored;
//  - Code 39: the value without enclosing '*' (also taken with the mod 43
//    check character after it when addCheckChar);
//  - Code 93, Code 128: the data (their check characters are stripped by
//    the reader); Code 128's special characters U+0082..U+008B left out;
//  - Code 11: ReadFormat::None.
ExpectedReading ExpectedLinearReading(std::string_view code, BarcodeSymbology type,
                                      bool addCheckChar);

// The reading of a two-dimensional symbol of value: the value itself
// (UTF-8) for Aztec, DataMatrix, PDF417 and MaxiCode; for GS1 DataBar the
// element string with "(" ")" for "[" "]" (Expanded), or the GTIN padded to
// 13 digits with its check digit (a 14-digit value as it is); MicroPDF417:
// ReadFormat::None.
ExpectedReading ExpectedMatrixReading(std::string_view value, MatrixSymbology type);

// True when read is the expected text (or its alternative).
bool ReadingMatches(const ExpectedReading& expected, std::string_view read);

}  // namespace labelplu

#endif  // LABELPLU_PRINT_BARCODEREADING_H
