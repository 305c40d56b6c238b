// labelplu: reading and writing published properties as text, the way a
// label template stores them.
//
// Text forms by kind (Published.h): integers in decimal; reals rounded to 3
// decimals with a decimal comma ("12,5", "0,1"), read with "." or ","; an
// enumeration by its value's name (case ignored when read); a set as member
// names separated by commas ("fsBold,fsItalic"; brackets and blanks
// accepted when read); strings as they are.
//
// Threads: no shared state; an object belongs to one thread at a time.
#ifndef LABELPLU_LABEL_PROPTEXT_H
#define LABELPLU_LABEL_PROPTEXT_H

#include <cstdint>
#include <string>
#include <string_view>

#include "label/Published.h"

namespace labelplu {

// Applies text to the property that path names on object:
//  1. no object: nothing;
//  2. a path "Head.Tail" (split at the first "."): Head must name an object
//     property; the tail is applied to that object (nothing when Head names
//     no object property);
//  3. "Value" (any case) on an object that publishes no "Value" but a
//     "ValueFileName" (the picture) sets "ValueFileName";
//  4. a name the object does not publish: nothing;
//  5. an empty text sets string properties only; other kinds keep their
//     value;
//  6. by kind as above; object properties are not set from text.
// Throws PropertyError when the text does not convert (not a number, out
// of the property's range, a name the type lacks); the object is unchanged
// then.
void SetPropText(PublishedObject* object, std::string_view path, std::string_view text);

// The text form of the property that name (a plain name or a dotted path)
// names on object; empty for no object, a name the object does not publish
// and object properties.
std::string GetPropText(const PublishedObject* object, std::string_view name);

// The text form of one property of object.
std::string PropertyText(const PublishedObject& object, const PropertyInfo& prop);

// ---- Conversions used above (exposed for the template's own numbers) ------

// value rounded to 3 decimals (halves away from zero) in the process format:
// 12.7 -> "12,7", 2.0 -> "2", 0.0005 -> "0,001", -0.0001 -> "0".
std::string FormatRealText(double value);
// A real number with "." or "," as decimal separator, blanks around
// allowed; false for anything else, for infinities and NaN.
bool ParseRealText(std::string_view text, double& value);
// A decimal integer with optional sign, blanks around allowed; false when it
// is not one or does not fit in 64 bits.
bool ParseIntegerText(std::string_view text, int64_t& value);
// The ordinal of name in type (ASCII case ignored, blanks around ignored);
// -1 when the type has no such name.
int32_t FindEnumName(const EnumInfo& type, std::string_view name);
// The set mask as member names separated by commas, in member order.
std::string FormatSetText(const EnumInfo& memberType, int64_t mask);

}  // namespace labelplu

#endif  // LABELPLU_LABEL_PROPTEXT_H
