// labelplu: the linear barcode encoder's pure part: a text and a symbology
// in, the symbol's bar/space elements (widths in modules) and its display
// text out. Nothing here draws; LinearBarcodeRenderer (LinearBarcodeRenderer.h) paints the
// elements.
//
// All functions are pure and may be called from any thread.
#ifndef LABELPLU_RENDER_BARCODEENCODER_H
#define LABELPLU_RENDER_BARCODEENCODER_H

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace labelplu {

// The ten linear symbologies, in their stored (template) order.
enum BarcodeSymbology : uint8_t {
  bcUPC_A,
  bcUPC_E,
  bcEAN_8,
  bcEAN_13,
  bcInterleaved2of5,
  bcCodabar,
  bcCode11,
  bcCode39,
  bcCode93,
  bcCode128
};
inline constexpr int kBarCodeTypeCount = 10;

// The start code set of Code 128 when the data does not name one.
enum Code128CodeSet : uint8_t { csCodeA, csCodeB };

// Element kinds (flags): a guard element carries kElementGuard with kElementSpace or
// kElementBar (18 a guard bar, 17 a guard space).
inline constexpr uint8_t kElementSpace = 1;
inline constexpr uint8_t kElementBar = 2;
inline constexpr uint8_t kElementGuard = 16;

// One element of the symbol: its width in narrow modules and its kind.
struct BarElement {
  int32_t ModuleCount = 0;
  uint8_t Kind = 0;
  bool IsBar() const { return (Kind & kElementBar) != 0; }
  friend bool operator==(const BarElement&, const BarElement&) = default;
};

// The ordered elements of a symbol, first bar leftmost.
using BarElements = std::vector<BarElement>;

// Data the symbology cannot encode. what() is one of the two texts below,
// or for UPC/EAN a text naming the symbology and the wrong length, number
// system or check digit ("Неверная длина штрихкода EAN-13: 5 цифр, нужно 12
// или 13").
class BarcodeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
inline constexpr const char* kBarCodeEmptyText = "Штрихкод имеет нулевую длину";
inline constexpr const char* kBarCodeBadCharText = "Штрихкод содержит некорректный символ";

// How a symbol is encoded besides its text.
struct BarcodeOptions {
  // Adds the optional check characters of Interleaved 2 of 5 and Code 11.
  // Code 93's C and K and Code 128's check value are mandatory: they are
  // always added, whatever this says.
  bool AddCheckChar = false;
  // Wide-element width in modules for Interleaved 2 of 5, Codabar and
  // Code 11 (Code 39 always uses 2). Values below 2 are taken as 2, above
  // 20 as 20 (wider gives nothing a scanner needs and bounds the symbol).
  int32_t BarNarrowToWideRatio = 2;
  Code128CodeSet Code128Subset = csCodeA;
};

// The elements of `code` in the symbology. Empty code: an empty list.
// Throws BarcodeError for data the symbology cannot hold. `code` is UTF-8;
// Code 128's special characters #130..#139 (FNC/shift/set changes, the
// three start codes, stop) are the code points U+0082..U+008B.
//
// UPC/EAN: the digits UpcEanDigits accepts, with the check digit it gives.
// Code 39 expects upper case (LinearBarcodeRenderer upper-cases on setting); Codabar
// data carries its own start/stop letters. Code 128 without any special
// character chooses its code sets itself (start B for lower-case text,
// shifts or set changes when control characters and lower case mix); with
// one, every character maps to its fixed value as written.
BarElements EncodeBarCode(std::string_view code, BarcodeSymbology type,
                          const BarcodeOptions& options);

// The text shown under the symbol for `code` (characters below #32 of
// Code 93/128 as blanks; UPC/EAN data the symbology refuses as given, a
// six-digit UPC-E body without number system and check digit). Never throws.
std::string BarCodeDisplayText(std::string_view code, BarcodeSymbology type, bool addCheckChar);

// The UPC/EAN check digit of the digits (weight 3 on the rightmost one and
// every second one leftwards). `digits` must be ASCII digits.
int32_t UpcEanCheckDigit(std::string_view digits);

// The UPC-A number (11 digits, no check digit) that a six-digit UPC-E body
// stands for with the number system ('0' or '1').
std::string ExpandUpcE(std::string_view sixDigits, char numberSystem = '0');

// The complete number a UPC/EAN symbol of `type` carries for the trimmed
// `digits`, check digit last: EAN-13 takes 12 digits (the check digit is
// computed) or 13 (the last must be the right check digit); EAN-8 7 or 8;
// UPC-A 11 or 12; UPC-E 6 (the body, number system 0), 7 (number system 0
// or 1, then the body) or 8 (with the check digit of the expanded UPC-A
// number last) and gives 8 digits. Throws BarcodeError for empty data, a
// character that is not a digit, another length, a UPC-E number system
// other than 0 and 1, or a wrong check digit; `type` must be one of the four.
std::string UpcEanDigits(std::string_view digits, BarcodeSymbology type);

// The symbol values of Code 128 (start, data with any shifts and set
// changes, the check value, stop 106) and of Code 93 (data after the
// full-ASCII expansion, then the check characters C and K; no start/stop).
// The check characters are mandatory in both symbologies and always there.
// Throw BarcodeError as EncodeBarCode.
std::vector<int32_t> Code128Values(std::string_view code, Code128CodeSet subset);
std::vector<int32_t> Code93Values(std::string_view code);

}  // namespace labelplu

#endif  // LABELPLU_RENDER_BARCODEENCODER_H
