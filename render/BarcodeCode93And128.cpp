// Code 93 (full ASCII) and Code 128 (code sets A and B).
#include <array>
#include <cstdint>

#include "render/BarcodeFamilies.h"

namespace labelplu {

namespace {

// Code 93 values 0..47 as nine-module bit patterns (1 = bar); 47 is start/stop.
constexpr std::array<uint16_t, 48> kCode93 = {
    0x114, 0x148, 0x144, 0x142, 0x128, 0x124, 0x122, 0x150, 0x112, 0x10A, 0x1A8, 0x1A4,
    0x1A2, 0x194, 0x192, 0x18A, 0x168, 0x164, 0x162, 0x134, 0x11A, 0x158, 0x14C, 0x146,
    0x12C, 0x116, 0x1B4, 0x1B2, 0x1AC, 0x1A6, 0x196, 0x19A, 0x16C, 0x166, 0x136, 0x13A,
    0x12E, 0x1D4, 0x1D2, 0x1CA, 0x16E, 0x176, 0x1AE, 0x126, 0x1DA, 0x1D6, 0x132, 0x15E};
constexpr std::string_view kCode93Native = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%";
// Full-ASCII pairs for 0..127: shift ('$' 43, '%' 44, '/' 45, '+' 46) and
// letter; a blank shift means the character is native.
constexpr std::string_view kCode93Shift =
    "%$$$$$$$$$$$$$$$$$$$$$$$$$$%%%%%"   // 0..31
    " ///  ///// /             /%%%%%"   // 32..63
    "%                          %%%%%"   // 64..95
    "%++++++++++++++++++++++++++%%%%%";  // 96..127
constexpr std::string_view kCode93Letter =
    "UABCDEFGHIJKLMNOPQRSTUVWXYZABCDE"
    " ABCD FGHIJKL  O0123456789ZFGHIJ"
    "VABCDEFGHIJKLMNOPQRSTUVWXYZKLMNO"
    "WABCDEFGHIJKLMNOPQRSTUVWXYZPQRST";

constexpr std::array<const char*, 107> kCode128 = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232", "2331112"};

constexpr int32_t kShift = 98, kCodeB = 100, kCodeA = 101, kStartA = 103, kStop = 106;

// Code points of the text; U+0080..U+00FF come from their two-byte UTF-8
// form, anything else outside ASCII is rejected.
std::vector<int32_t> CodePoints(std::string_view text) {
  std::vector<int32_t> out;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      out.push_back(b);
    } else if ((b == 0xC2 || b == 0xC3) && i + 1 < text.size() &&
               (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
      out.push_back(((b & 0x1F) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F));
      ++i;
    } else {
      throw BarcodeError(kBarCodeBadCharText);
    }
  }
  return out;
}

bool IsSpecial128(int32_t c) {
  return c >= 130 && c <= 139;
}

// The fixed value of a character, as code sets A/B share it: blank..'~'
// from 0, control characters from 64, #130..#139 the function values.
int32_t FixedValue128(int32_t c) {
  static constexpr std::array<int32_t, 10> kSpecial = {98, 97, 96, 98, 100, 99, 103, 104, 105, 106};
  if (c >= 32 && c <= 126) return c - 32;
  if (c >= 0 && c < 32) return c + 64;
  if (IsSpecial128(c)) return kSpecial[static_cast<size_t>(c - 130)];
  throw BarcodeError(kBarCodeBadCharText);
}

// 'A' = only in code set A (controls), 'B' = only in B ('`'..'~'), '*' = both.
char SetOf(int32_t c) {
  if (c >= 0 && c < 32) return 'A';
  if (c >= 96 && c <= 126) return 'B';
  if (c >= 32 && c < 96) return '*';
  throw BarcodeError(kBarCodeBadCharText);
}

int32_t ValueIn(char set, int32_t c) {
  if (set == 'A' && c < 32) return c + 64;
  return c - 32;
}

}  // namespace

std::vector<int32_t> Code128Values(std::string_view code, Code128CodeSet subset) {
  std::vector<int32_t> chars = CodePoints(code);
  std::vector<int32_t> values;
  bool literal = false;
  for (int32_t c : chars) literal = literal || IsSpecial128(c);
  if (literal) {
    // Data that names its own start or functions is taken character by character.
    if (chars.empty() || chars[0] < 136 || chars[0] > 138) {
      chars.insert(chars.begin(), subset == csCodeB ? 137 : 136);
    }
    while (chars.size() > 1 && chars.back() <= 32) chars.pop_back();
    for (int32_t c : chars) values.push_back(FixedValue128(c));
  } else {
    while (!chars.empty() && chars.back() <= 32) chars.pop_back();
    bool hasA = false, hasB = false;
    char first = '*';
    for (int32_t c : chars) {
      const char s = SetOf(c);
      hasA = hasA || s == 'A';
      hasB = hasB || s == 'B';
      if (first == '*') first = s;
    }
    char set = first != '*' ? first : (subset == csCodeB ? 'B' : 'A');
    values.push_back(set == 'A' ? kStartA : kStartA + 1);
    for (size_t i = 0; i < chars.size(); ++i) {
      const char need = SetOf(chars[i]);
      if (need != '*' && need != set) {
        const bool nextFits = i + 1 == chars.size() || SetOf(chars[i + 1]) != need;
        if (nextFits) {
          values.push_back(kShift);
          values.push_back(ValueIn(need, chars[i]));
          continue;
        }
        values.push_back(need == 'A' ? kCodeA : kCodeB);
        set = need;
      }
      values.push_back(ValueIn(set, chars[i]));
    }
  }
  if (values.empty()) throw BarcodeError(kBarCodeEmptyText);
  int64_t sum = values[0];
  for (size_t i = 1; i < values.size(); ++i) sum += static_cast<int64_t>(i) * values[i];
  values.push_back(static_cast<int32_t>(sum % 103));
  values.push_back(kStop);
  return values;
}

std::vector<int32_t> Code93Values(std::string_view code) {
  std::vector<int32_t> values;
  auto push = [&](char c) { values.push_back(static_cast<int32_t>(kCode93Native.find(c))); };
  for (char ch : code) {
    const auto c = static_cast<unsigned char>(ch);
    if (c > 127) throw BarcodeError(kBarCodeBadCharText);
    const char shift = kCode93Shift[c];
    if (shift == ' ') {
      push(static_cast<char>(c));
    } else {
      values.push_back(43 + static_cast<int32_t>(std::string_view("$%/+").find(shift)));
      push(kCode93Letter[c]);
    }
  }
  for (int32_t maxWeight : {20, 15}) {
    int64_t sum = 0;
    int32_t weight = 1;
    for (size_t i = values.size(); i-- > 0;) {
      sum += static_cast<int64_t>(values[i]) * weight;
      weight = weight == maxWeight ? 1 : weight + 1;
    }
    values.push_back(static_cast<int32_t>(sum % 47));
  }
  return values;
}

namespace barcode {

namespace {
void AddWidths(BarElements& info, std::string_view widths) {
  bool bar = true;
  for (char w : widths) {
    Add(info, w - '0', bar ? kElementBar : kElementSpace);
    bar = !bar;
  }
}
void AddBits(BarElements& info, uint16_t bits) {
  int run = 0;
  for (int k = 8; k >= 0; --k) {
    ++run;
    const bool bit = (bits >> k) & 1;
    if (k == 0 || (((bits >> (k - 1)) & 1) != bit)) {
      Add(info, run, bit ? kElementBar : kElementSpace);
      run = 0;
    }
  }
}
}  // namespace

BarElements EncodeCode93(std::string_view code) {
  BarElements info;
  AddWidths(info, "111141");
  for (int32_t v : Code93Values(code)) AddBits(info, kCode93[static_cast<size_t>(v)]);
  AddWidths(info, "1111411");
  return info;
}

BarElements EncodeCode128(std::string_view code, Code128CodeSet subset) {
  BarElements info;
  for (int32_t v : Code128Values(code, subset)) {
    AddWidths(info, kCode128[static_cast<size_t>(v)]);
  }
  return info;
}

}  // namespace barcode
}  // namespace labelplu
