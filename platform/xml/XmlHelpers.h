// labelplu XML DOM: helpers over the DOM that the code of label templates
// and of settings documents shares.
//
// Creating documents with the usual properties, the pretty-printer of
// written label templates, the check that a text can be written into a
// document, and the byte-wise find/replace-all the text handling relies on.
//
// Errors: DOM failures raise XmlError / XmlParseError (XmlDom.h); the text
// helpers raise std::invalid_argument as stated below.
//
// Threads: every function may be called from any thread; a document and its
// nodes are used by one thread at a time.
#ifndef LABELPLU_PLATFORM_XML_XMLHELPERS_H
#define LABELPLU_PLATFORM_XML_XMLHELPERS_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/xml/XmlDom.h"

namespace labelplu::xml {

// ---- Documents ----

// A new empty document with "SelectionLanguage" set to "XPath".
XmlDocument CreateXmlDocument();
// CreateXmlDocument; then, when declaration is not empty, a processing
// instruction "xml" with that data as the first node; when rootName is not
// empty, an element of that name as the document element; "async" false.
XmlDocument NewXmlDocument(std::string_view rootName, std::string_view declaration);
// "version=\"1.0\" encoding=\"UTF-16\"", the declaration of the device and
// model documents.
std::string Utf16Declaration();

// ---- Text ----

// Normalises the declaration of a serialised document to
// <?xml version="1.0" encoding="windows-1251"?> (added in front when the
// text has neither "<?" nor "?>"), removes every CR LF pair, and starts every
// tag from the third character on a new line (CR LF) indented with one tab
// per depth.
void FormatXmlText(std::string& text);

// Throws std::invalid_argument "<what> holds the character U+XXXX, which a
// settings document cannot hold" when the UTF-8 text holds a character no
// XML document can carry: a control character other than tab, line feed
// and carriage return, U+FFFE or U+FFFF. Written, it would make the
// document unloadable. (The settings documents are the only documents
// checked so, hence the wording.)
void RequireXmlWritable(std::string_view text, std::string_view what);

// The 256-byte upper-case table: entry i is i with "a".."z" mapped to
// "A".."Z"; every other byte (parts of Cyrillic letters included) unchanged.
const std::array<uint8_t, 256>& UpperCaseTable();
// The Horspool shift table of pattern (case-insensitive: indexed by the
// upper-case table entry of a byte). Raises std::invalid_argument
// "BufferLen is 0" for an empty pattern.
std::array<size_t, 256> BuildShiftTable(std::string_view pattern, bool caseSensitive);
// source with every non-overlapping occurrence of pattern, scanned left to
// right, replaced by replacement. Without caseSensitive two bytes match when
// their upper-case table entries are equal (ASCII letters only). An empty
// source is returned unchanged; an empty pattern raises "BufferLen is 0".
std::string ReplaceAll(std::string_view source, std::string_view pattern,
                       std::string_view replacement, bool caseSensitive = false);

}  // namespace labelplu::xml

#endif  // LABELPLU_PLATFORM_XML_XMLHELPERS_H
