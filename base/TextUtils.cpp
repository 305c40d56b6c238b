#include "base/TextUtils.h"

#include <cmath>

namespace labelplu {
namespace {

constexpr char32_t kInvalid = 0xFFFFFFFF;

// Decodes the code point at text[pos] and advances pos; an invalid sequence
// yields kInvalid and advances by one byte.
char32_t DecodeUtf8(std::string_view text, size_t& pos) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char b0 = byte(pos);
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  size_t len;
  char32_t cp;
  char32_t min;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4, cp = b0 & 0x07, min = 0x10000;
  } else {
    ++pos;
    return kInvalid;
  }
  if (pos + len > text.size()) {
    ++pos;
    return kInvalid;
  }
  for (size_t i = 1; i < len; ++i) {
    const unsigned char b = byte(pos + i);
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return kInvalid;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++pos;
    return kInvalid;
  }
  pos += len;
  return cp;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

constexpr char16_t kCp1251High[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

}  // namespace

std::u16string Cp1251ToUtf16(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    out += b < 0x80 ? static_cast<char16_t>(b) : kCp1251High[b - 0x80];
  }
  return out;
}

int CompareLocale(std::string_view a, std::string_view b) {
  size_t pa = 0;
  size_t pb = 0;
  while (pa < a.size() && pb < b.size()) {
    const size_t startA = pa;
    const size_t startB = pb;
    char32_t ca = DecodeUtf8(a, pa);
    char32_t cb = DecodeUtf8(b, pb);
    // Invalid bytes sort after every code point and compare by their value.
    ca = ca == kInvalid ? 0x110000 + static_cast<unsigned char>(a[startA]) : FoldCase(ca);
    cb = cb == kInvalid ? 0x110000 + static_cast<unsigned char>(b[startB]) : FoldCase(cb);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (pa < a.size()) return 1;
  if (pb < b.size()) return -1;
  return 0;
}

bool SameText(std::string_view a, std::string_view b) {
  return CompareLocale(a, b) == 0;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
  for (size_t i = 0; i < a.size(); ++i) {
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

std::string NamePart(std::string_view name, int index) {
  const size_t comma = name.find(',');
  if (index == 0) return std::string(name.substr(0, comma));
  if (index == 1 && comma != std::string_view::npos) return std::string(name.substr(comma + 1));
  return {};
}

int32_t HexToInt(std::string_view text) {
  if (!text.empty() && text.front() == '$') text.remove_prefix(1);
  if (text.empty()) return 0;
  uint64_t value = 0;
  for (const char c : text) {
    const int digit = HexDigit(c);
    if (digit < 0) return 0;
    value = value * 16 + static_cast<uint64_t>(digit);
    if (value > 0xFFFFFFFFu) return 0;
  }
  return static_cast<int32_t>(static_cast<uint32_t>(value));
}

std::string HexToBytes(std::string_view text) {
  if (text.size() % 2 != 0) return {};
  std::string out;
  out.reserve(text.size() / 2);
  for (size_t i = 0; i < text.size(); i += 2) {
    const int hi = HexDigit(text[i]);
    const int lo = HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) return {};
    out += static_cast<char>(hi * 16 + lo);
  }
  return out;
}

double ArcCos(double x) {
  return std::atan2(std::sqrt((1 + x) * (1 - x)), x);
}

double Atan2(double y, double x) {
  return std::atan2(y, x);
}

}  // namespace labelplu
