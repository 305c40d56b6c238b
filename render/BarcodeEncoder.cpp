// Symbology dispatch: the working copy of the data per type, validation of
// the digit symbologies, and the display text.
#include "render/BarcodeEncoder.h"

#include <algorithm>

#include "render/BarcodeFamilies.h"

namespace labelplu {

namespace barcode {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.remove_suffix(1);
  return text;
}

void RequireDigits(std::string_view text) {
  if (text.empty()) throw BarcodeError(kBarCodeEmptyText);
  for (char c : text) {
    if (c < '0' || c > '9') throw BarcodeError(kBarCodeBadCharText);
  }
}

}  // namespace barcode

namespace {

// Data padded to an even count together with the check digit, which is
// appended when asked.
std::string Interleaved2of5Digits(std::string_view data, bool addCheckChar) {
  std::string digits(data);
  if ((digits.size() % 2 == 0) == addCheckChar) digits.insert(digits.begin(), '0');
  if (addCheckChar) digits += static_cast<char>('0' + UpcEanCheckDigit(digits));
  return digits;
}

std::string Code39Enclosed(std::string_view code) {
  std::string s(code);
  if (s.empty() || s.front() != '*') s.insert(s.begin(), '*');
  if (s.size() < 2 || s.back() != '*') s += '*';
  return s;
}

// The full UPC/EAN number when the data is valid, else the data as given.
std::string UpcEanShown(std::string_view code, BarcodeSymbology type) {
  try {
    return UpcEanDigits(code, type);
  } catch (const BarcodeError&) {
    return std::string(code);
  }
}

}  // namespace

BarElements EncodeBarCode(std::string_view code, BarcodeSymbology type,
                          const BarcodeOptions& options) {
  if (code.empty()) return {};
  const int32_t wide = std::clamp(options.BarNarrowToWideRatio, 2, 20);
  switch (type) {
    case bcUPC_A:
      return barcode::EncodeUpcA(UpcEanDigits(code, type));
    case bcUPC_E:
      return barcode::EncodeUpcE(UpcEanDigits(code, type));
    case bcEAN_8:
      return barcode::EncodeEan8(UpcEanDigits(code, type));
    case bcEAN_13:
      return barcode::EncodeEan13(UpcEanDigits(code, type));
    case bcInterleaved2of5: {
      const std::string_view digits = barcode::Trim(code);
      barcode::RequireDigits(digits);
      return barcode::EncodeInterleaved2of5(Interleaved2of5Digits(digits, options.AddCheckChar),
                                            wide);
    }
    case bcCodabar:
      return barcode::EncodeCodabar(code, wide);
    case bcCode11:
      return barcode::EncodeCode11(code, options.AddCheckChar, wide);
    case bcCode39:
      return barcode::EncodeCode39(Code39Enclosed(code));
    case bcCode93:
      return barcode::EncodeCode93(code);
    case bcCode128:
      return barcode::EncodeCode128(code, options.Code128Subset);
  }
  throw BarcodeError(kBarCodeBadCharText);
}

std::string BarCodeDisplayText(std::string_view code, BarcodeSymbology type, bool addCheckChar) {
  if (code.empty()) return {};
  switch (type) {
    case bcUPC_E: {
      // A bare body is shown as given, without number system and check digit.
      const std::string_view body = barcode::Trim(code);
      std::string shown = UpcEanShown(code, type);
      if (body.size() == 6 && shown.size() == 8 && shown.compare(1, 6, body) == 0) {
        return std::string(body);
      }
      return shown;
    }
    case bcUPC_A:
    case bcEAN_8:
    case bcEAN_13:
      return UpcEanShown(code, type);
    case bcInterleaved2of5: {
      const bool digitsOnly =
          std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
      if (digitsOnly) return Interleaved2of5Digits(code, addCheckChar);
      std::string s(code);
      if ((s.size() % 2 == 0) == addCheckChar) s.insert(s.begin(), '0');
      return s;
    }
    case bcCodabar:
      return code.size() <= 2 ? std::string() : std::string(code.substr(1, code.size() - 2));
    case bcCode39: {
      const std::string s = Code39Enclosed(code);
      return s.substr(1, s.size() - 2);
    }
    case bcCode93:
    case bcCode128: {
      std::string s(code);
      for (char& c : s) {
        if (static_cast<unsigned char>(c) < 32) c = ' ';
      }
      return s;
    }
    case bcCode11:
      break;
  }
  return std::string(code);
}

}  // namespace labelplu
