// labelplu: GUID text operations.
//
// The text form of a GUID is the braced registry form of 38 characters with
// upper-case hexadecimal digits, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
// the empty text stands for the null GUID.
#ifndef LABELPLU_BASE_GUIDTEXT_H
#define LABELPLU_BASE_GUIDTEXT_H

#include <string>
#include <string_view>

#include "labelplu/oleauto.h"

namespace labelplu {

// The empty text gives the null GUID; otherwise the braced form (digits of
// either case). Any other text throws std::runtime_error
// "Значение не является идентификатором объекта.".
GUID TextToGuid(std::string_view text);
// True when value holds a string (also by reference) that TextToGuid accepts;
// never throws for a bad text.
bool IsGuidText(const VARIANT& value);
// The braced upper-case form.
std::string GuidToText(const GUID& guid);
// A new random GUID. Throws std::runtime_error when the system gives none.
GUID NewGuid();
// True for the all-zero GUID.
bool IsNullGuid(const GUID& guid);

}  // namespace labelplu

#endif  // LABELPLU_BASE_GUIDTEXT_H
