// labelplu: reading a template file, and watching what a template load
// skips.
//
// Label::LoadFromFile reads a file with ReadTemplateFileBytes and
// DecodeTemplateFileBytes; a checker that wants the same text calls them
// itself. Label::LoadFromXmlObserved loads a template exactly as
// LoadFromXml does and tells a TemplateLoadObserver of every item and of
// every part of the template that the load passes over.
//
// Threads: no shared state; an observer is called on the loading thread
// while the load runs.
#ifndef LABELPLU_LABEL_TEMPLATEFILE_H
#define LABELPLU_LABEL_TEMPLATEFILE_H

#include <cstdint>
#include <string>
#include <string_view>

namespace labelplu {

class LabelItem;

// The whole file. TemplateError (naming the file) when it cannot be read or
// is larger than kMaxTemplateBytes.
std::string ReadTemplateFileBytes(const std::string& fileName);

// The bytes as UTF-8 text (TemplateBytesToUtf8 of Cp1251.h: UTF-8 with a
// byte-order mark or a declaration naming UTF-8, Windows-1251 otherwise).
// TemplateError naming the file and the line of the first byte that is not
// a character of the file's encoding.
std::string DecodeTemplateFileBytes(std::string_view bytes, const std::string& fileName);

// Why a setting of an item was not applied.
enum class SkippedSetting : uint8_t {
  Incomplete,       // the element lacks "Name" or "Value"
  UnknownProperty,  // the class publishes no property of that name
  EmptyValue,       // an empty text for a property that is not a string
  BadValue,         // the text does not convert (detail: why)
};

class TemplateLoadObserver {
 public:
  virtual ~TemplateLoadObserver() = default;
  // An "Item" element whose class is not registered; itemNumber counts the
  // "Item" elements from 1, line is the element's line (0 when unknown).
  virtual void UnknownClass(int32_t line, int32_t itemNumber, std::string_view className) = 0;
  // The item the itemNumber-th "Item" element became (before its settings).
  virtual void ItemLoaded(const LabelItem& item, int32_t line, int32_t itemNumber) = 0;
  // A setting of item that was not applied; name and value as written.
  virtual void SettingSkipped(const LabelItem& item, int32_t line, SkippedSetting why,
                              std::string_view name, std::string_view value,
                              std::string_view detail) = 0;
};

}  // namespace labelplu

#endif  // LABELPLU_LABEL_TEMPLATEFILE_H
