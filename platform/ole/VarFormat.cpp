#include "platform/ole/VarFormat.h"

#include <clocale>
#include <cstdlib>

#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/ole/OleInternal.h"

namespace labelplu::ole {

namespace {

// 30.12.1899 counted from 01.01.1970, and the accepted date range: from
// 01.01.0001 to 31.12.9999 in days since 30.12.1899.
constexpr int64_t kEpochOffset = -25569;
constexpr double kMinDate = -693594.0;  // exclusive
constexpr double kMaxDate = 2958466.0;  // exclusive
constexpr int64_t kMsPerDay = 86400000;

// Days since 01.01.1970 of a proleptic Gregorian date (H. Hinnant's
// algorithm) and back.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, int64_t& m, int64_t& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = yoe + era * 400 + (m <= 2);
}

int DaysInMonth(int64_t y, int64_t m) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : kDays[m - 1];
}

void AppendPadded(std::string& out, int64_t value, int width) {
  std::string digits = std::to_string(value);
  const auto wanted = static_cast<size_t>(std::max(width, 0));
  if (digits.size() < wanted) out.append(wanted - digits.size(), '0');
  out += digits;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Reads between minDigits and maxDigits decimal digits at text[pos].
bool ReadNumber(std::string_view text, size_t& pos, int minDigits, int maxDigits, int64_t& value) {
  value = 0;
  int n = 0;
  while (pos < text.size() && IsDigit(text[pos]) && n < maxDigits) {
    value = value * 10 + (text[pos++] - '0');
    ++n;
  }
  return n >= minDigits && !(pos < text.size() && IsDigit(text[pos]));
}

bool ReadTime(std::string_view text, size_t& pos, int64_t& seconds) {
  int64_t h, m, s = 0;
  if (!ReadNumber(text, pos, 1, 2, h) || pos >= text.size() || text[pos++] != ':' ||
      !ReadNumber(text, pos, 1, 2, m)) {
    return false;
  }
  if (pos < text.size() && text[pos] == ':') {
    ++pos;
    if (!ReadNumber(text, pos, 1, 2, s)) return false;
  }
  if (h > 23 || m > 59 || s > 59) return false;
  seconds = h * 3600 + m * 60 + s;
  return true;
}

locale_t CLocale() {
  static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return locale;
}

}  // namespace

namespace detail {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) text.remove_suffix(1);
  return text;
}

HRESULT ParseNumber(std::string_view text, ParsedNumber& out) {
  text = TrimBlanks(text);
  size_t pos = 0;
  const bool negative = pos < text.size() && text[pos] == '-';
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) ++pos;
  // The number in C syntax for strtod, whatever separator the text used.
  std::string normal = negative ? "-" : "";
  size_t digits = 0;
  while (pos < text.size() && IsDigit(text[pos])) {
    normal += text[pos++];
    ++digits;
  }
  const size_t integerDigits = digits;
  bool plainInteger = true;
  if (pos < text.size() && (text[pos] == '.' || text[pos] == ',')) {
    plainInteger = false;
    normal += '.';
    ++pos;
    while (pos < text.size() && IsDigit(text[pos])) {
      normal += text[pos++];
      ++digits;
    }
  }
  if (digits == 0) return DISP_E_TYPEMISMATCH;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    plainInteger = false;
    normal += 'e';
    ++pos;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) normal += text[pos++];
    size_t expDigits = 0;
    while (pos < text.size() && IsDigit(text[pos])) {
      normal += text[pos++];
      ++expDigits;
    }
    if (expDigits == 0) return DISP_E_TYPEMISMATCH;
  }
  if (pos != text.size()) return DISP_E_TYPEMISMATCH;

  out = ParsedNumber();
  if (plainInteger && integerDigits <= 20) {
    unsigned __int128 magnitude = 0;
    for (size_t i = negative ? 1 : 0; i < normal.size(); ++i)
      magnitude = magnitude * 10 + static_cast<unsigned>(normal[i] - '0');
    if (magnitude <= UINT64_MAX) {
      out.isInteger = true;
      out.integer = negative ? -static_cast<__int128>(magnitude) : static_cast<__int128>(magnitude);
      out.real = static_cast<double>(out.integer);
      return S_OK;
    }
  }
  const double value = strtod_l(normal.c_str(), nullptr, CLocale());
  if (std::isinf(value)) return DISP_E_OVERFLOW;
  out.real = value;
  return S_OK;
}

std::string FormatFloat(double value, int precision) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";
  char buf[64];
  const auto res =
      std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, precision - 1);
  const std::string_view sci(buf, static_cast<size_t>(res.ptr - buf));
  // sci is "[-]d[.ddd]e±xx".
  const size_t ePos = sci.find('e');
  std::string digits;
  for (char c : sci.substr(0, ePos)) {
    if (IsDigit(c)) digits += c;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  int exponent = 0;
  std::from_chars(sci.data() + ePos + 1 + (sci[ePos + 1] == '+'), sci.data() + sci.size(),
                  exponent);

  std::string out = value < 0 ? "-" : "";
  const int pointAt = exponent + 1;  // digits before the decimal separator
  if (pointAt > precision || pointAt < -3) {
    out += digits[0];
    if (digits.size() > 1) out += ',' + digits.substr(1);
    out += 'E';
    if (exponent < 0) out += '-';
    out += std::to_string(std::abs(exponent));
  } else if (pointAt <= 0) {
    out += "0," + std::string(static_cast<size_t>(-pointAt), '0') + digits;
  } else if (digits.size() <= static_cast<size_t>(pointAt)) {
    out += digits + std::string(static_cast<size_t>(pointAt) - digits.size(), '0');
  } else {
    const auto point = static_cast<size_t>(pointAt);
    out += digits.substr(0, point) + ',' + digits.substr(point);
  }
  return out;
}

}  // namespace detail

std::string FloatToText(double value) {
  return detail::FormatFloat(value, 15);
}

bool TextToFloat(std::string_view text, double& value) {
  detail::ParsedNumber number;
  if (FAILED(detail::ParseNumber(text, number))) return false;
  value = number.real;
  return true;
}

std::string CurrencyToText(int64_t cy) {
  const uint64_t magnitude = cy < 0 ? 0 - static_cast<uint64_t>(cy) : static_cast<uint64_t>(cy);
  std::string out = cy < 0 ? "-" : "";
  out += std::to_string(magnitude / 10000);
  uint64_t fraction = magnitude % 10000;
  if (fraction) {
    std::string digits;
    AppendPadded(digits, static_cast<int64_t>(fraction), 4);
    while (digits.back() == '0') digits.pop_back();
    out += ',' + digits;
  }
  return out;
}

bool DateTimeToText(double date, std::string& text) {
  if (!(date > kMinDate && date < kMaxDate)) return false;
  const double dayPart = std::trunc(date);
  int64_t day = static_cast<int64_t>(dayPart);
  int64_t ms = std::llround(std::fabs(date - dayPart) * kMsPerDay);
  if (ms >= kMsPerDay) {
    // Rounded up to midnight: the next day, unless that leaves the range.
    if (day + 1 < static_cast<int64_t>(kMaxDate)) {
      ++day;
      ms = 0;
    } else {
      ms = kMsPerDay - 1;
    }
  }
  std::string out;
  if (ms == 0 || day != 0) {
    int64_t y, m, d;
    CivilFromDays(day + kEpochOffset, y, m, d);
    AppendPadded(out, d, 2);
    out += '.';
    AppendPadded(out, m, 2);
    out += '.';
    AppendPadded(out, y, 4);
  }
  if (ms != 0) {
    if (!out.empty()) out += ' ';
    const int64_t seconds = ms / 1000;
    AppendPadded(out, seconds / 3600, 2);
    out += ':';
    AppendPadded(out, seconds / 60 % 60, 2);
    out += ':';
    AppendPadded(out, seconds % 60, 2);
  }
  text = std::move(out);
  return true;
}

bool TextToDateTime(std::string_view text, double& date) {
  text = detail::TrimBlanks(text);
  size_t pos = 0;
  int64_t days = 0, seconds = 0;
  const size_t colon = text.find(':');
  const size_t dot = text.find('.');
  if (dot != std::string_view::npos && (colon == std::string_view::npos || dot < colon)) {
    int64_t d, m, y;
    if (!ReadNumber(text, pos, 1, 2, d) || pos >= text.size() || text[pos++] != '.' ||
        !ReadNumber(text, pos, 1, 2, m) || pos >= text.size() || text[pos++] != '.' ||
        !ReadNumber(text, pos, 4, 4, y)) {
      return false;
    }
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return false;
    days = DaysFromCivil(y, m, d) - kEpochOffset;
    if (pos < text.size()) {
      if (text[pos] != ' ') return false;
      while (pos < text.size() && text[pos] == ' ') ++pos;
      if (!ReadTime(text, pos, seconds)) return false;
    }
  } else if (!ReadTime(text, pos, seconds)) {
    return false;
  }
  if (pos != text.size()) return false;
  const double time = static_cast<double>(seconds) / 86400.0;
  date = days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
  return true;
}

}  // namespace labelplu::ole
