// Argument type tests of the method handlers.
#ifndef LABELPLU_BASE_ARGTYPES_H
#define LABELPLU_BASE_ARGTYPES_H

#include <cstdint>
#include <initializer_list>
#include <string>

#include "labelplu/oleauto.h"
#include "platform/ole/ComPtr.h"
#include "platform/ole/ContractInterfaces.h"

namespace labelplu {

// The variant type without the by-reference flag (a variant reference is
// followed), currency counted as double, and a double within 1e-9 of a
// whole number counted as a 32-bit integer.
VARTYPE EffectiveType(const VARIANT& v);

bool IsOfType(const VARIANT& v, std::initializer_list<VARTYPE> types);

// The value array a variant holds (an object answering ISafeArray, also by
// reference), or null.
ole::ComPtr<ISafeArray> ValueArrayOf(const VARIANT& value);

// Replace what target holds by a 32-bit integer or a text.
void StoreInt(VARIANT& target, int32_t value);
void StoreText(VARIANT& target, const std::string& text);

}  // namespace labelplu

#endif  // LABELPLU_BASE_ARGTYPES_H
