// labelplu: property descriptors (named, typed device parameters with a
// text value) and the operations on parameter lists.
//
// A descriptor keeps every value as text; TypedValue reads it by the
// descriptor's type name. Lists are used by the models (their registered
// parameters) and by the devices (their parameters with values).
//
// Threads: a list and its descriptors belong to the thread of their device
// list; nothing here locks.
#ifndef LABELPLU_DEVICES_PARAMETERDESCRIPTOR_H
#define LABELPLU_DEVICES_PARAMETERDESCRIPTOR_H

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "labelplu/oleauto.h"
#include "platform/ole/Variant.h"

namespace labelplu {

struct ParameterRecord;

// The longest hint a descriptor keeps, in characters.
inline constexpr size_t kHintCapacity = 255;

// text cut after kHintCapacity characters (UTF-8 code points; a byte that
// is not valid UTF-8 counts as one character).
std::string LimitHint(std::string_view text);

// The integer conversion of parameter texts: leading blanks, an optional
// sign, then decimal digits or hexadecimal digits after "$" or "0x"; the
// whole text must be used and the value must fit 32 bits (hexadecimal up
// to FFFFFFFF, read as two's complement). std::nullopt otherwise.
std::optional<int32_t> TryTextToInt(std::string_view text);

// The floating conversion of parameter texts in the process format
// (decimal separator ","): blanks around, an optional sign, digits with at
// most one ",", an optional exponent ("E", "e", optional sign, digits).
// "." is not a separator here. std::nullopt otherwise (also for infinity).
std::optional<double> TryTextToFloat(std::string_view text);

// One property descriptor. A new descriptor has every text empty and
// ReadOnly 0.
class ParameterDescriptor {
 public:
  std::string Name;     // identifier of the parameter
  std::string AltName;  // second identifier; lookups accept either
  std::string Caption;  // display name
  // "Integer", "Double", "Число", "Boolean", "String", "Строка" or other.
  std::string TypeName;
  uint8_t ReadOnly = 0;     // 0/1
  std::string DefaultText;  // default value as text
  std::string Hint;         // long description, at most kHintCapacity characters
  std::string ValueText;    // current value as text

  // Copies every descriptive field of source; the value becomes the
  // source's default (a copy starts at its default, whatever the source
  // held).
  void Assign(const ParameterDescriptor& source);

  void SetValue(std::string_view text) { ValueText = text; }
  const std::string& GetValue() const { return ValueText; }

  // text read by TypeName (compared with case ignored); never fails:
  //  "Integer": the integer of text, else of DefaultText, else 0 (VT_I4);
  //  "Double"/"Число": text with every "." and "," taken as the decimal
  //    separator, else DefaultText read the same way, else 0 (VT_R8);
  //  "Boolean": true exactly when text is "True", case ignored (VT_BOOL);
  //  any other type: text with its "\n" escapes decoded (VT_BSTR).
  ole::OleVariant TypedValue(std::string_view text) const;
  ole::OleVariant TypedCurrent() const { return TypedValue(ValueText); }
  ole::OleVariant TypedDefault() const { return TypedValue(DefaultText); }

  // The type shown to hosts: "Integer" -> "Число", "Boolean" -> "Boolean",
  // "String" -> "Строка" (case ignored); "" for every other type name,
  // "Double" and "Число" included.
  std::string DisplayType() const;
};

// An owning, ordered list of descriptors.
class ParameterDescriptorList {
 public:
  ParameterDescriptorList() = default;
  ParameterDescriptorList(const ParameterDescriptorList&) = delete;
  ParameterDescriptorList& operator=(const ParameterDescriptorList&) = delete;

  int32_t Count() const { return static_cast<int32_t>(m_items.size()); }
  // The descriptor at a 0-based index; std::out_of_range
  // "List index out of bounds (<index>)" outside the list.
  ParameterDescriptor& Item(int32_t index);
  const ParameterDescriptor& Item(int32_t index) const;
  // Appends a new, empty descriptor and returns it.
  ParameterDescriptor& Add();
  // Removes the descriptor at index (std::out_of_range as Item).
  void Delete(int32_t index);
  void Clear() { m_items.clear(); }
  // Replaces the content by copies of source's descriptors (ParameterDescriptor::Assign:
  // each copy's value is its default).
  void Assign(const ParameterDescriptorList& source);

  // Iteration over the descriptors in order.
  auto begin() const { return m_items.begin(); }
  auto end() const { return m_items.end(); }

 private:
  std::vector<std::unique_ptr<ParameterDescriptor>> m_items;
};

// The first descriptor whose Name, or non-empty AltName, equals name with
// case ignored; null when none.
ParameterDescriptor* FindParam(ParameterDescriptorList& list, std::string_view name);
const ParameterDescriptor* FindParam(const ParameterDescriptorList& list, std::string_view name);
// ValueText of FindParam; "" when none.
std::string GetParamValue(const ParameterDescriptorList& list, std::string_view name);
// Sets the value of FindParam, or of a new descriptor appended with only
// Name set.
void SetParamValue(ParameterDescriptorList& list, std::string_view name, std::string_view text);
// SetParamValue for each "name=value" line in order (name: the text before
// the first "=", value: the rest). Lines without "=" or with an empty name
// are skipped.
void ApplyParamLines(ParameterDescriptorList& list, const std::vector<std::string>& lines);
// The descriptor of record.NameRu (FindParam, or appended) takes the
// record's names, caption, type, read-only flag, default and hint (cut to
// kHintCapacity), and its default as value. Returns it.
ParameterDescriptor& RegisterParam(ParameterDescriptorList& list, const ParameterRecord& record);

}  // namespace labelplu

#endif  // LABELPLU_DEVICES_PARAMETERDESCRIPTOR_H
