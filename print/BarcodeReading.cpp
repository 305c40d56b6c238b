// labelplu: the texts a scanner reads from the symbols of barcode items.
#include "print/BarcodeReading.h"

#include <algorithm>

namespace labelplu {

namespace {

bool AllDigits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

char CheckDigitOf(std::string_view digits) {
  return static_cast<char>('0' + UpcEanCheckDigit(digits));
}

// A UPC/EAN value of dataCount digits gains its check digit; one of
// dataCount + 1 digits stands as it is; anything else is compared as given.
std::string WithCheckDigit(std::string_view code, size_t dataCount) {
  std::string text(code);
  if (code.size() == dataCount && AllDigits(code)) text += CheckDigitOf(code);
  return text;
}

std::string Code39Check(std::string_view data) {
  constexpr std::string_view kChars = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
  size_t sum = 0;
  for (const char c : data) {
    const size_t value = kChars.find(c);
    if (value == std::string_view::npos) return {};
    sum += value;
  }
  return std::string(1, kChars[sum % kChars.size()]);
}

ExpectedReading Linear(ReadFormat format, const char* name, std::string text) {
  ExpectedReading reading;
  reading.Format = format;
  reading.Symbology = name;
  reading.Text = std::move(text);
  return reading;
}

char AsciiUpper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiUpper(x) == AsciiUpper(y);
         });
}

}  // namespace

ExpectedReading ExpectedLinearReading(std::string_view code, BarcodeSymbology type,
                                      bool addCheckChar) {
  switch (type) {
    case bcUPC_A:
      return Linear(ReadFormat::UpcA, "UPC-A", WithCheckDigit(code, 11));
    case bcUPC_E: {
      std::string text(code);
      if (code.size() == 6 && AllDigits(code)) {
        text = "0" + text + CheckDigitOf(ExpandUpcE(code));
      }
      return Linear(ReadFormat::UpcE, "UPC-E", text);
    }
    case bcEAN_8:
      return Linear(ReadFormat::Ean8, "EAN-8", WithCheckDigit(code, 7));
    case bcEAN_13:
      return Linear(ReadFormat::Ean13, "EAN-13", WithCheckDigit(code, 12));
    case bcInterleaved2of5: {
      std::string digits(code);
      if (AllDigits(code)) {
        if ((digits.size() % 2 == 0) == addCheckChar) digits.insert(digits.begin(), '0');
        if (addCheckChar) digits += CheckDigitOf(digits);
      }
      return Linear(ReadFormat::Itf, "Interleaved 2 of 5", digits);
    }
    case bcCodabar: {
      ExpectedReading reading = Linear(ReadFormat::Codabar, "Codabar", std::string(code));
      reading.IgnoreCase = true;
      return reading;
    }
    case bcCode11:
      return Linear(ReadFormat::None, "Code 11", std::string(code));
    case bcCode39: {
      std::string_view data = code;
      if (!data.empty() && data.front() == '*') data.remove_prefix(1);
      if (!data.empty() && data.back() == '*') data.remove_suffix(1);
      ExpectedReading reading = Linear(ReadFormat::Code39, "Code 39", std::string(data));
      if (addCheckChar) {
        const std::string check = Code39Check(data);
        if (!check.empty()) reading.TextWithCheck = reading.Text + check;
      }
      return reading;
    }
    case bcCode93:
      return Linear(ReadFormat::Code93, "Code 93", std::string(code));
    case bcCode128: {
      // U+0082..U+008B are the two bytes C2 82 .. C2 8B in UTF-8.
      std::string text;
      bool special = false;
      for (size_t i = 0; i < code.size(); ++i) {
        const auto next = i + 1 < code.size() ? static_cast<unsigned char>(code[i + 1]) : 0U;
        if (static_cast<unsigned char>(code[i]) == 0xC2 && next >= 0x82 && next <= 0x8B) {
          special = true;
          ++i;
          continue;
        }
        text += code[i];
      }
      ExpectedReading reading = Linear(ReadFormat::Code128, "Code 128", text);
      reading.DropGroupSeparators = special;
      return reading;
    }
  }
  return Linear(ReadFormat::None, "unknown", std::string(code));
}

ExpectedReading ExpectedMatrixReading(std::string_view value, MatrixSymbology type) {
  switch (type) {
    case MatrixSymbology::br2Aztec:
      return Linear(ReadFormat::Aztec, "Aztec", std::string(value));
    case MatrixSymbology::br2DataMatrix:
      return Linear(ReadFormat::DataMatrix, "DataMatrix", std::string(value));
    case MatrixSymbology::br2MaxiCode:
      return Linear(ReadFormat::MaxiCode, "MaxiCode", std::string(value));
    case MatrixSymbology::br2MicroPDF417:
      return Linear(ReadFormat::None, "MicroPDF417", std::string(value));
    case MatrixSymbology::br2RSS: {
      if (!value.empty() && value.front() == '[') {
        std::string text(value);
        std::replace(text.begin(), text.end(), '[', '(');
        std::replace(text.begin(), text.end(), ']', ')');
        return Linear(ReadFormat::DataBarExpanded, "GS1 DataBar Expanded", text);
      }
      std::string text(value);
      if (AllDigits(value) && value.size() <= 13) {
        text.insert(text.begin(), 13 - text.size(), '0');
        text += CheckDigitOf(text);
      }
      return Linear(ReadFormat::DataBar, "GS1 DataBar", text);
    }
    case MatrixSymbology::br2PDF417:
      break;
  }
  // Unknown code types are generated as PDF417.
  return Linear(ReadFormat::Pdf417, "PDF417", std::string(value));
}

bool ReadingMatches(const ExpectedReading& expected, std::string_view read) {
  std::string text(read);
  if (expected.DropGroupSeparators) std::erase(text, '\x1D');
  for (const std::string* wanted : {&expected.Text, &expected.TextWithCheck}) {
    if (wanted->empty() && wanted != &expected.Text) continue;
    if (expected.IgnoreCase ? SameIgnoringCase(text, *wanted) : text == *wanted) return true;
  }
  return false;
}

}  // namespace labelplu
