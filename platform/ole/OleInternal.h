// labelplu automation runtime: helpers shared by the runtime's own sources.
// Not installed for other libraries; nothing here is exported.
#ifndef LABELPLU_PLATFORM_OLE_OLEINTERNAL_H
#define LABELPLU_PLATFORM_OLE_OLEINTERNAL_H

#include <cstdint>
#include <string>
#include <string_view>

#include "labelplu/oleauto.h"

// Result codes the runtime returns that the public header does not name.
#ifndef DISP_E_BADVARTYPE
#define DISP_E_BADVARTYPE ((HRESULT)0x80020008u)
#endif

namespace labelplu::ole::detail {

// A new BSTR of exactly bytes bytes copied from data (zeros when data is
// null). Null when memory runs out or the size does not fit.
BSTR AllocBstrBytes(const void* data, uint32_t bytes);

// A copy of s keeping its byte length; null stays null. Sets ok to false
// when memory runs out.
BSTR CopyBstr(BSTR s, bool& ok);

// The storage size of one value of the base type vt (no flags) inside a
// safe array or behind a by-reference pointer; 0 when the type has none.
uint32_t ValueSize(VARTYPE vt);

// Whether vt is a type a VARIANT may carry (base type plus the array and
// by-reference flags in the combinations COM allows).
bool IsValidVariantType(VARTYPE vt);

// A by-value view of src: a by-reference variant is read through its
// reference (a referenced VARIANT in turn), anything else is copied bit for
// bit. The view borrows what src refers to: never clear it.
HRESULT ReadThrough(const VARIANT* src, VARIANT& view);

// Clears dest and moves the owned value result into it. When dest cannot be
// cleared (a locked array), result is freed and dest stays as it was.
HRESULT ReplaceVariant(VARIANT* dest, VARIANT& result);

// A number read from text: exact when the text is an integer that fits 64
// bits (signed or unsigned), otherwise a double.
struct ParsedNumber {
  bool isInteger = false;
  __int128 integer = 0;
  double real = 0;
};
// S_OK, DISP_E_TYPEMISMATCH when the text is no number, DISP_E_OVERFLOW when
// it does not fit a double.
HRESULT ParseNumber(std::string_view text, ParsedNumber& out);

// FloatToText with the given number of significant digits (15 for doubles,
// 7 for singles).
std::string FormatFloat(double value, int precision);

// Removes the characters up to the blank (code <= 0x20) at both ends.
std::string_view TrimBlanks(std::string_view text);

}  // namespace labelplu::ole::detail

#endif  // LABELPLU_PLATFORM_OLE_OLEINTERNAL_H
