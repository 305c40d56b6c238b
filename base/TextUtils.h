// labelplu: text and number helpers shared by every folder.
//
// Text inside the code is UTF-8 std::string; UTF-16 appears only at the
// binary boundary (UTF-8 <-> UTF-16 conversion: platform/ole Utf.h and
// Bstr.h). Case-insensitive comparison uses Unicode simple case
// folding (CaseFold.cpp), never the process locale.
//
// Threads: every function may be called from any thread.
#ifndef LABELPLU_BASE_TEXTUTILS_H
#define LABELPLU_BASE_TEXTUTILS_H

#include <cstdint>
#include <string>
#include <string_view>

namespace labelplu {

// Windows-1251 bytes to UTF-16 (fixed table; the undefined byte 0x98 maps to
// U+0098 as the Windows conversion does).
std::u16string Cp1251ToUtf16(std::string_view bytes);

// The simple case folding of one code point (Unicode CaseFolding.txt,
// statuses C and S): 'A' -> 'a', 'Ё' -> 'ё', 'Σ' and 'ς' -> 'σ'.
char32_t FoldCase(char32_t c);

// Compares two UTF-8 texts with case ignored: negative, 0 or positive as a
// is ordered before, equal to or after b. Texts are compared code point by
// code point after simple case folding (not a linguistic collation: only the
// equality is locale-independent-exact; the order is by folded code point).
// Bytes that are not valid UTF-8 compare as themselves.
int CompareLocale(std::string_view a, std::string_view b);
// CompareLocale(a, b) == 0.
bool SameText(std::string_view a, std::string_view b);
// Equality with only the ASCII letters folded; every other byte (Cyrillic
// included) must match exactly.
bool SameTextAscii(std::string_view a, std::string_view b);

// The halves of a bilingual name "Русское,English": index 0 is the text
// before the first comma (the whole text without a comma), index 1 the text
// after it (empty without a comma); any other index gives an empty text.
std::string NamePart(std::string_view name, int index);

// The text as a 32-bit hexadecimal number, as "$" + text would be read by the
// framework's integer conversion (a leading "$" is accepted); values up to
// FFFFFFFF wrap to negative numbers. 0 when the text is not a number or does
// not fit in 32 bits.
int32_t HexToInt(std::string_view text);
// Every two hexadecimal digits become one byte ("4142" -> "AB"). An empty
// result when any pair is not hexadecimal or a single digit is left over.
std::string HexToBytes(std::string_view text);

template <class T>
T IfThen(bool flag, T a, T b) {
  return flag ? a : b;
}

// atan2(sqrt((1 + x)(1 - x)), x); NaN outside -1..1.
double ArcCos(double x);
// The quadrant-correct arc tangent of y / x.
double Atan2(double y, double x);

}  // namespace labelplu

#endif  // LABELPLU_BASE_TEXTUTILS_H
