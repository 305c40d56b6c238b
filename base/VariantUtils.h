// labelplu: small operations on automation variants and safe arrays.
//
// Threads: any thread; the variants and arrays passed in belong to the caller
// and must not be used by another thread during the call.
#ifndef LABELPLU_BASE_VARIANTUTILS_H
#define LABELPLU_BASE_VARIANTUTILS_H

#include <cstdint>
#include <string>

#include "labelplu/oleauto.h"

namespace labelplu {

// The value as text for messages: "Объект" for an automation object (also by
// reference), "Неопределено" for a value without a text form (arrays, null,
// a broken reference), otherwise the value converted to text in the process
// formats (decimal separator ",", dates "dd.MM.yyyy hh:mm:ss").
std::string ValueText(const VARIANT& value);

// The variant a by-reference VT_VARIANT points to (followed at most a few
// levels), otherwise value itself.
const VARIANT& DerefVariant(const VARIANT& value);

// target := a copy of value with references resolved (VariantCopyInd);
// raises std::bad_alloc or ole::VariantError on failure, target unchanged.
void CopyVariantValue(VARIANT& target, const VARIANT& value);

// Writes value through the by-reference element of an argument block: a
// variant reference receives a copy, a 32-bit integer, double or string
// reference the value converted to its type. A by-value element is left
// alone. Returns false, writing nothing, for any other by-reference type or
// a null reference.
bool WriteThroughReference(VARIANT& element, const VARIANT& value);

// The array a variant holds (VT_ARRAY, also by reference); null otherwise.
SAFEARRAY* VariantArray(const VARIANT& value);

// out := a copy of the element at indices (natural order, one per dimension)
// of psa as a variant of the array's element type. out is cleared first.
HRESULT GetArrayElement(SAFEARRAY* psa, const int32_t* indices, VARIANT* out);
// Stores value into the element at indices, converted to the array's element
// type (a variant array stores a copy of the value as it is).
HRESULT PutArrayElement(SAFEARRAY* psa, const int32_t* indices, const VARIANT& value);

}  // namespace labelplu

#endif  // LABELPLU_BASE_VARIANTUTILS_H
