// Argument type tests of the method handlers.
#ifndef LABELPLU_PLUGIN_ARGTYPES_H
#define LABELPLU_PLUGIN_ARGTYPES_H

#include <cstdint>
#include <initializer_list>
#include <string>

#include "labelplu/oleauto.h"

namespace labelplu {

// The variant type without the by-reference flag (a variant reference is
// followed), currency counted as double, and a double within 1e-9 of a
// whole number counted as a 32-bit integer.
VARTYPE EffectiveType(const VARIANT& v);

// The variant a by-reference variant points to, else v itself.
const VARIANT& Deref(const VARIANT& v);

bool IsOfType(const VARIANT& v, std::initializer_list<VARTYPE> types);

// Replace what target holds by a 32-bit integer or a text.
void StoreInt(VARIANT& target, int32_t value);
void StoreText(VARIANT& target, const std::string& text);

}  // namespace labelplu

#endif
