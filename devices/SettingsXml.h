// labelplu: the vocabulary of the settings documents.
//
// Reading and writing by vocabulary key (TagTables.h), the two spellings of
// some attribute names, and the text helpers the settings code relies on
// (newline escaping of stored values, GUID text normalisation). Documents
// are created, and text replaced, with the generic helpers of
// platform/xml/XmlHelpers.h. The process-wide number and date formats are
// those of the automation runtime (platform/ole VarFormat.h).
//
// Errors: a bad vocabulary key raises EProtectException 20000 with the texts
// below; DOM failures raise xml::XmlError / xml::XmlParseError (XmlDom.h).
//
// Threads: every function may be called from any thread; a document and its
// nodes are used by one thread at a time.
#ifndef LABELPLU_DEVICES_SETTINGSXML_H
#define LABELPLU_DEVICES_SETTINGSXML_H

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "devices/TagTables.h"
#include "platform/ole/Variant.h"
#include "platform/xml/XmlDom.h"

namespace labelplu {

// ---- Vocabulary ----

// The name under a node key. Raises EProtectException 20000
// "Индекс имени узла за пределами границы." for a key outside 0..33 and
// "Нарушение индекса списка имени узлов" for a key without an entry.
std::string GetNodeName(int32_t key);
// The name under an attribute key. Raises EProtectException 20000
// "Индекс имени аттрибута за пределами границы." for a key outside 100..130
// and "Нарушение индекса списка имени аттрибутов" for a key without an entry.
std::string GetAttrName(int32_t key);

// A new element (not attached) named by the node key.
xml::XmlNode CreateElementByTag(const xml::XmlDocument& doc, int32_t nodeKey);
// context.selectNodes(path + suffix), where path is the node name of the key
// with its "%s" (key 29) replaced by argument; for keys without "%s" the
// argument is ignored.
xml::XmlNodeList SelectNodesByTag(const xml::XmlNode& context, int32_t nodeKey,
                                  std::string_view suffix = {}, std::string_view argument = {});
// context.selectSingleNode(node name of the key + suffix); the null node when
// nothing matches.
xml::XmlNode SelectSingleNodeByTag(const xml::XmlNode& context, int32_t nodeKey,
                                   std::string_view suffix = {});
// For each position in order: element.setAttribute(attribute name of
// keys[i], values[i]) (variant converted as XmlNode::setAttribute does).
// Different lengths raise EProtectException 20000 "Размерности массивов
// аттрибутов и значений не совпадают" before anything is set; a bad key at
// position n raises after positions 0..n-1 were set.
void SetAttributesByTag(const xml::XmlNode& element, const std::vector<int32_t>& keys,
                        const std::vector<ole::OleVariant>& values);
// The attribute named by the key, or def when element is the null node or
// has no such attribute. The key is checked even for a null element.
std::string GetAttributeByTag(const xml::XmlNode& element, int32_t attrKey,
                              std::string_view def = {});
// As GetAttributeByTag with a literal attribute name (no key check).
std::string GetAttributeDef(const xml::XmlNode& element, std::string_view name,
                            std::string_view def = {});

// ---- Text helpers ----

// Mode 0 turns the ordinary spelling of the attribute names
// " ФлагТолькоЧтение=", " ЗначениеПоУмолчанию=", " Значение=" into the digit
// spelling (" ФлагТолько4тение=", ...), mode 1 the reverse. Only names inside
// tags change: quoted values, text content, comments, CDATA sections and
// processing instructions are kept as they are. Any other mode changes
// nothing.
void ConvertNameSpelling(std::string& text, int32_t mode);

// encode: every CR LF becomes the two characters "\n". Decode: a text that
// looks like a path (characters 2..3 are ":\" or characters 1..2 are "\\")
// is returned unchanged; otherwise every "\n" or "\N" becomes CR LF.
std::string EscapeNewLines(std::string_view text, bool encode);

// Trims blanks and control characters, upper-cases ASCII letters; with
// stripBraces a 38-character result loses its first and last characters;
// without it a 36-character result gets "{" and "}" around it.
std::string NormalizeGuidText(std::string_view text, bool stripBraces);

// The first position of value in values, or -1.
int32_t IndexOfInt(std::span<const int32_t> values, int32_t value);

}  // namespace labelplu

#endif  // LABELPLU_DEVICES_SETTINGSXML_H
