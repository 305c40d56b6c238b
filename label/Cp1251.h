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

}  // namespace labelplu

#endif  // LABELPLU_LABEL_CP1251_H
