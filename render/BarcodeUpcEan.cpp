// UPC-A, UPC-E, EAN-8 and EAN-13 (the UPC/EAN family of digit sets).
#include <array>

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
  return index < digits.size() ? digits[index] - '0' : 0;
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

int CheckOrGiven(std::string_view digits, size_t dataCount) {
  if (digits.size() == dataCount) return UpcEanCheckDigit(digits);
  return Digit(digits, dataCount);
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

std::string ExpandUpcE(std::string_view d) {
  if (d.size() != 6) throw BarcodeError(kBarCodeBadCharText);
  for (char c : d) {
    if (c < '0' || c > '9') throw BarcodeError(kBarCodeBadCharText);
  }
  std::string s = "0";
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

namespace barcode {

BarElements EncodeUpcA(std::string_view digits) {
  BarElements info;
  AddGuard(info, "101");
  for (size_t i = 0; i < 6; ++i) AddDigit(info, Digit(digits, i), 'A');
  AddGuard(info, "01010");
  for (size_t i = 6; i < 11; ++i) AddDigit(info, Digit(digits, i), 'C');
  AddDigit(info, CheckOrGiven(digits, 11), 'C');
  AddGuard(info, "101");
  return info;
}

BarElements EncodeUpcE(std::string_view digits) {
  std::string body;
  for (size_t i = 0; i < 6; ++i) body += static_cast<char>('0' + Digit(digits, i));
  const int check = UpcEanCheckDigit(ExpandUpcE(body));
  const char* parity = kUpcEParity[static_cast<size_t>(check)];
  BarElements info;
  AddGuard(info, "101");
  for (size_t i = 0; i < 6; ++i) AddDigit(info, body[i] - '0', parity[i] == 'E' ? 'B' : 'A');
  AddGuard(info, "010101");
  return info;
}

BarElements EncodeEan8(std::string_view digits) {
  BarElements info;
  AddGuard(info, "101");
  for (size_t i = 0; i < 4; ++i) AddDigit(info, Digit(digits, i), 'A');
  AddGuard(info, "01010");
  for (size_t i = 4; i < 7; ++i) AddDigit(info, Digit(digits, i), 'C');
  AddDigit(info, CheckOrGiven(digits, 7), 'C');
  AddGuard(info, "101");
  return info;
}

BarElements EncodeEan13(std::string_view digits) {
  const char* parity = kEan13Parity[static_cast<size_t>(Digit(digits, 0))];
  BarElements info;
  AddGuard(info, "101");
  for (size_t i = 1; i < 7; ++i) AddDigit(info, Digit(digits, i), parity[i - 1]);
  AddGuard(info, "01010");
  for (size_t i = 7; i < 12; ++i) AddDigit(info, Digit(digits, i), 'C');
  AddDigit(info, CheckOrGiven(digits, 12), 'C');
  AddGuard(info, "101");
  return info;
}

}  // namespace barcode
}  // namespace labelplu
