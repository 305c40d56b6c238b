// The narrow/wide symbologies: Interleaved 2 of 5, Codabar, Code 11, Code 39.
#include <array>
#include <cstdint>

#include "render/BarcodeFamilies.h"

namespace labelplu::barcode {

namespace {

// '1' marks a wide element; elements alternate bar, space, … from the first.
constexpr std::array<const char*, 10> kItf = {"00110", "10001", "01001", "11000", "00101",
                                              "10100", "01100", "00011", "10010", "01010"};
constexpr std::string_view kCodabarChars = "0123456789-$:/.+ABCD";
constexpr std::array<const char*, 20> kCodabar = {
    "0000011", "0000110", "0001001", "1100000", "0010010", "1000010", "0100001",
    "0100100", "0110000", "1001000", "0001100", "0011000", "1000101", "1010001",
    "1010100", "0010101", "0011010", "0101001", "0001011", "0001110"};
// 0-9, '-', then the start/stop character at index 11.
constexpr std::array<const char*, 12> kCode11 = {"00001", "10001", "01001", "11000",
                                                 "00101", "10100", "01100", "00011",
                                                 "10010", "10000", "00100", "00110"};
constexpr std::string_view kCode39Chars = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";
constexpr std::array<uint16_t, 44> kCode39 = {
    0x034, 0x121, 0x061, 0x160, 0x031, 0x130, 0x070, 0x025, 0x124, 0x064, 0x109,
    0x049, 0x148, 0x019, 0x118, 0x058, 0x00D, 0x10C, 0x04C, 0x01C, 0x103, 0x043,
    0x142, 0x013, 0x112, 0x052, 0x007, 0x106, 0x046, 0x016, 0x181, 0x0C1, 0x1C0,
    0x091, 0x190, 0x0D0, 0x085, 0x184, 0x0C4, 0x0A8, 0x0A2, 0x08A, 0x02A, 0x094};

void AddPattern(BarElements& info, const char* pattern, int32_t wide, uint8_t extra = 0) {
  bool bar = true;
  for (const char* p = pattern; *p != '\0'; ++p, bar = !bar) {
    Add(info, *p == '1' ? wide : 1,
        static_cast<uint8_t>((bar ? kElementBar : kElementSpace) | extra));
  }
}

size_t IndexIn(std::string_view alphabet, char c) {
  const size_t i = alphabet.find(c);
  if (i == std::string_view::npos) throw BarcodeError(kBarCodeBadCharText);
  return i;
}

}  // namespace

BarElements EncodeInterleaved2of5(std::string_view digits, int32_t wide) {
  BarElements info;
  AddPattern(info, "0000", 1, kElementGuard);
  for (size_t i = 0; i + 1 < digits.size(); i += 2) {
    const char* bars = kItf[static_cast<size_t>(digits[i] - '0')];
    const char* spaces = kItf[static_cast<size_t>(digits[i + 1] - '0')];
    for (int k = 0; k < 5; ++k) {
      Add(info, bars[k] == '1' ? wide : 1, kElementBar);
      Add(info, spaces[k] == '1' ? wide : 1, kElementSpace);
    }
  }
  AddPattern(info, "100", wide, kElementGuard);
  return info;
}

BarElements EncodeCodabar(std::string_view code, int32_t wide) {
  BarElements info;
  for (size_t i = 0; i < code.size(); ++i) {
    char c = code[i];
    if (c >= 'a' && c <= 'd') c = static_cast<char>(c - 'a' + 'A');
    const size_t value = IndexIn(kCodabarChars, c);
    if (i > 0) Add(info, 1, kElementSpace);
    AddPattern(info, kCodabar[value], wide);
  }
  return info;
}

BarElements EncodeCode11(std::string_view code, bool addCheckChar, int32_t wide) {
  std::vector<int32_t> values;
  for (char c : code) values.push_back(static_cast<int32_t>(IndexIn("0123456789-", c)));
  if (addCheckChar) {
    for (int32_t maxWeight : {10, 9}) {
      int32_t sum = 0;
      int32_t weight = 1;
      for (size_t i = values.size(); i-- > 0;) {
        sum += values[i] * weight;
        weight = weight == maxWeight ? 1 : weight + 1;
      }
      values.push_back(sum % 11);
    }
  }
  BarElements info;
  AddPattern(info, kCode11[11], wide);
  Add(info, 1, kElementSpace);
  for (int32_t v : values) {
    AddPattern(info, kCode11[static_cast<size_t>(v)], wide);
    Add(info, 1, kElementSpace);
  }
  AddPattern(info, kCode11[11], wide);
  return info;
}

BarElements EncodeCode39(std::string_view code) {
  BarElements info;
  for (char c : code) {
    const uint16_t bits = kCode39[IndexIn(kCode39Chars, c)];
    for (int k = 8; k >= 0; --k) {
      Add(info, (bits >> k) & 1 ? 2 : 1, (k % 2 == 0) ? kElementBar : kElementSpace);
    }
    Add(info, 1, kElementSpace);
  }
  return info;
}

}  // namespace labelplu::barcode
