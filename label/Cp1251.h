// labelplu: Windows-1251, the code page of label template files, through
// iconv.
//
// Threads: any thread (each call opens its own conversion).
#ifndef LABELPLU_LABEL_CP1251_H
#define LABELPLU_LABEL_CP1251_H

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace labelplu {

// A byte the code page does not define (0x98), at Offset in the input.
class CodePageError : public std::runtime_error {
 public:
  CodePageError(const std::string& message, size_t offset)
      : std::runtime_error(message), Offset(offset) {}
  size_t Offset;
};

// Windows-1251 bytes as UTF-8. Throws CodePageError for an undefined byte.
std::string Cp1251ToUtf8(std::string_view bytes);

// UTF-8 XML text as Windows-1251 bytes. A character the code page lacks
// becomes the character reference "&#N;" (decimal code point), which XML
// reads back as the same character in attribute values and text; a byte
// that is not valid UTF-8 becomes "&#65533;" (U+FFFD).
std::string Utf8ToCp1251Xml(std::string_view utf8);

// How the bytes of a template file are to be read.
enum class TemplateEncoding {
  Windows1251,   // everything else, as templates always were
  Utf8WithBom,   // starts with the UTF-8 byte-order mark EF BB BF
  Utf8Declared,  // its XML declaration names UTF-8 (any letter case)
};

// The encoding of a template file's bytes: a byte-order mark, or an XML
// declaration at the very start whose encoding is "UTF-8" (any case), means
// UTF-8; anything else Windows-1251.
TemplateEncoding DetectTemplateEncoding(std::string_view bytes);

// A template file's bytes as UTF-8 text, read in the encoding
// DetectTemplateEncoding gives (a byte-order mark dropped). Throws
// CodePageError at the first byte that is not a character of that encoding
// (0x98 in Windows-1251, a malformed sequence in UTF-8).
std::string TemplateBytesToUtf8(std::string_view bytes);

// True when bytes hold at least one byte above 0x7F and are valid UTF-8
// throughout: text saved as UTF-8. Windows-1251 text with Cyrillic letters
// practically never is.
bool IsNonAsciiUtf8(std::string_view bytes);

}  // namespace labelplu

#endif  // LABELPLU_LABEL_CP1251_H
