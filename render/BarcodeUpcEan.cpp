// UPC-A, UPC-E, EAN-8 and EAN-13 (the UPC/EAN family of digit sets).
#include <array>
#include <string>

#include "render/BarcodeFamilies.h"

namespace labelplu {

namespace {

// Set A (left-hand odd parity) widths, space first; set C is the same widths
// bar first; set B (even parity) is set A reversed.
constexpr std::array<const char*, 10> kSetA = {"3211", "2221", "2122", "1411", "1132",
                                               "1231", "1114", "1312", "1213", "3112"};
constexpr std::array<const char*, 10> kEan13Parity = {"AAAAAA", "AABABB", "AABBAB", "AABBBA",
                                                      "ABAABB", "ABBAAB", "ABBBAA", "ABABAB",
                                                      "ABABBA", "ABBABA"};
// UPC-E, number system 0: E = even (set B), O = odd (set A), by check digit.
constexpr std::array<const char*, 10> kUpcEParity = {"EEEOOO", "EEOEOO", "EEOOEO", "EEOOOE",
                                                     "EOEEOO", "EOOEEO", "EOOOEE", "EOEOEO",
                                                     "EOEOOE", "EOOEOE"};

int Digit(std::string_view digits, size_t index) {
  return digits[index] - '0';
}

// "5 цифр", "1 цифра", "3 цифры".
std::string DigitCount(size_t n) {
  const size_t last = n % 10;
  const bool teen = n % 100 >= 11 && n % 100 <= 14;
  const char* word = (last == 1 && !teen)                ? "цифра"
                     : (last >= 2 && last <= 4 && !teen) ? "цифры"
                                                         : "цифр";
  return std::to_string(n) + " " + word;
}

std::string LengthText(const char* name, size_t count, const std::string& allowed) {
  return std::string("Неверная длина штрихкода ") + name + ": " + DigitCount(count) + ", нужно " +
         allowed;
}

void RequireCheckDigit(const char* name, int32_t given, int32_t right) {
  if (given == right) return;
  throw BarcodeError(std::string("Неверная контрольная цифра штрихкода ") + name + ": " +
                     std::to_string(given) + ", должна быть " + std::to_string(right));
}

void AddGuard(BarElements& info, std::string_view pattern) {
  for (char c : pattern) {
    barcode::Add(info, 1,
                 static_cast<uint8_t>(kElementGuard | (c == '1' ? kElementBar : kElementSpace)));
  }
}

// set 'A', 'B' or 'C'.
void AddDigit(BarElements& info, int digit, char set) {
  const char* widths = kSetA[static_cast<size_t>(digit)];
  for (int i = 0; i < 4; ++i) {
    const int w = (set == 'B' ? widths[3 - i] : widths[i]) - '0';
    const bool bar = (set == 'C') ? (i % 2 == 0) : (i % 2 == 1);
    barcode::Add(info, w, bar ? kElementBar : kElementSpace);
  }
}

}  // namespace

int32_t UpcEanCheckDigit(std::string_view digits) {
  int32_t sum = 0;
  bool triple = true;  // the rightmost digit weighs 3
  for (size_t i = digits.size(); i-- > 0;) {
    sum += (digits[i] - '0') * (triple ? 3 : 1);
    triple = !triple;
  }
  return (10 - sum % 10) % 10;
}

std::string ExpandUpcE(std::string_view d, char numberSystem) {
  if (d.size() != 6 || (numberSystem != '0' && numberSystem != '1')) {
    throw BarcodeError(kBarCodeBadCharText);
  }
  for (char c : d) {
    if (c < '0' || c > '9') throw BarcodeError(kBarCodeBadCharText);
  }
  std::string s(1, numberSystem);
  const char last = d[5];
  if (last <= '2') {
    s += {d[0], d[1], last, '0', '0', '0', '0', d[2], d[3], d[4]};
  } else if (last == '3') {
    s += {d[0], d[1], d[2], '0', '0', '0', '0', '0', d[3], d[4]};
  } else if (last == '4') {
    s += {d[0], d[1], d[2], d[3], '0', '0', '0', '0', '0', d[4]};
  } else {
    s += {d[0], d[1], d[2], d[3], d[4], '0', '0', '0', '0', last};
  }
  return s;
}

std::string UpcEanDigits(std::string_view digits, BarcodeSymbology type) {
  digits = barcode::Trim(digits);
  barcode::RequireDigits(digits);
  const size_t n = digits.size();
  if (type == bcUPC_E) {
    if (n < 6 || n > 8) throw BarcodeError(LengthText("UPC-E", n, "6, 7 или 8"));
    const char system = n == 6 ? '0' : digits[0];
    if (system != '0' && system != '1') {
      throw BarcodeError("Неверная система нумерации штрихкода UPC-E: " + std::string(1, system) +
                         ", должна быть 0 или 1");
    }
    const std::string_view body = digits.substr(n == 6 ? 0 : 1, 6);
    const int32_t check = UpcEanCheckDigit(ExpandUpcE(body, system));
    if (n == 8) RequireCheckDigit("UPC-E", digits[7] - '0', check);
    return std::string(1, system) + std::string(body) + static_cast<char>('0' + check);
  }
  const char* name = type == bcUPC_A ? "UPC-A" : type == bcEAN_8 ? "EAN-8" : "EAN-13";
  const size_t dataCount = type == bcUPC_A ? 11 : type == bcEAN_8 ? 7 : 12;
  if (n != dataCount && n != dataCount + 1) {
    throw BarcodeError(
        LengthText(name, n, std::to_string(dataCount) + " или " + std::to_string(dataCount + 1)));
  }
  const int32_t check = UpcEanCheckDigit(digits.substr(0, dataCount));
  if (n == dataCount + 1) RequireCheckDigit(name, digits[dataCount] - '0', check);
  return std::string(digits.substr(0, dataCount)) + static_cast<char>('0' + check);
}

namespace barcode {

BarElements EncodeUpcA(std::string_view digits) {
  BarElements info;
  AddGuard(info, "101");
  for (size_t i = 0; i < 6; ++i) AddDigit(info, Digit(digits, i), 'A');
  AddGuard(info, "01010");
  for (size_t i = 6; i < 12; ++i) AddDigit(info, Digit(digits, i), 'C');
  AddGuard(info, "101");
  return info;
}

BarElements EncodeUpcE(std::string_view digits) {
  // Number system and check digit are carried by the parity of the six
  // body digits; number system 1 inverts the pattern of number system 0.
  const char* parity = kUpcEParity[static_cast<size_t>(Digit(digits, 7))];
  const bool even = digits[0] == '0';
  BarElements info;
  AddGuard(info, "101");
  for (size_t i = 0; i < 6; ++i) {
    AddDigit(info, Digit(digits, i + 1), (parity[i] == 'E') == even ? 'B' : 'A');
  }
  AddGuard(info, "010101");
  return info;
}

BarElements EncodeEan8(std::string_view digits) {
  BarElements info;
  AddGuard(info, "101");
  for (size_t i = 0; i < 4; ++i) AddDigit(info, Digit(digits, i), 'A');
  AddGuard(info, "01010");
  for (size_t i = 4; i < 8; ++i) AddDigit(info, Digit(digits, i), 'C');
  AddGuard(info, "101");
  return info;
}

BarElements EncodeEan13(std::string_view digits) {
  const char* parity = kEan13Parity[static_cast<size_t>(Digit(digits, 0))];
  BarElements info;
  AddGuard(info, "101");
  for (size_t i = 1; i < 7; ++i) AddDigit(info, Digit(digits, i), parity[i - 1]);
  AddGuard(info, "01010");
  for (size_t i = 7; i < 13; ++i) AddDigit(info, Digit(digits, i), 'C');
  AddGuard(info, "101");
  return info;
}

}  // namespace barcode
}  // namespace labelplu
