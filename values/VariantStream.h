// labelplu: the variant stream format (how value arrays are stored).
//
// All integers are little-endian. A value is its 32-bit tag (the variant type
// word) followed by its data: nothing for empty and null; a character count
// and UTF-16 characters for a wide string (8); a byte count and bytes for a
// single-byte string (256, read back as a wide string); the raw value bytes
// for the fixed-size types (2 I2, 3 I4, 4 R4, 5 R8, 6 CY, 7 DATE, 10 ERROR,
// 11 BOOL, 16 I1, 17 UI1, 18 UI2, 19 UI4, 20 I8). A by-reference variant
// (VT_VARIANT|VT_BYREF) is the tag 0x4000 and the variant it points to. An
// array is its tag (VT_ARRAY|element type), the dimension count d, d lower
// and d upper bounds, then either the byte count and the raw element memory
// (element types 2..7, 11, 17; first index varying fastest) or every element
// as a value, last dimension varying fastest. A value array object (VT_DISPATCH
// answering ISafeArray) is written as its two-dimensional array; a
// two-dimensional array is read back as a new value array object.
//
// Strings are written straight from the variant: there is no shared staging
// buffer, so several threads may write streams at once.
//
// Limits: at most kMaxStreamDepth nested values; at most kMaxArrayDims
// dimensions. Reading never allocates for a count the remaining bytes cannot
// satisfy.
#ifndef LABELPLU_VALUES_VARIANTSTREAM_H
#define LABELPLU_VALUES_VARIANTSTREAM_H

#include <cstdint>
#include <stdexcept>

#include "labelplu/oleauto.h"
#include "values/ByteStream.h"

namespace labelplu {

inline constexpr int kMaxStreamDepth = 64;
inline constexpr int32_t kMaxArrayDims = 64;

// A value of a type the format cannot carry: "Неподдерживаемый тип данных.\r\n
// Тип данных=<type word>\r\nПредставление: (<value as text>)".
class InvalidStreamOperation : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Appends value to the stream. Throws InvalidStreamOperation for an unsupported
// type (an object that is not a value array, VT_VARIANT without VT_BYREF,
// VT_UNKNOWN, VT_DECIMAL, single-byte strings, codes above 20), and
// StreamWriteError when nesting passes kMaxStreamDepth (an array holding
// itself) or the stream passes 2 GiB.
void WriteVariant(ByteStream& stream, const VARIANT& value);

// Appends the array psa with the given tag (VT_ARRAY | element type, possibly
// with VT_BYREF). Throws as WriteVariant.
void WriteArray(ByteStream& stream, SAFEARRAY* psa, uint32_t tag);

// Reads one value at the stream's position into value (cleared first; left
// empty on failure). byRefSeen is set when a tag carried the by-reference
// flag, refRecordSeen when a 0x4000 record was read (neither is reset).
// Throws StreamReadError for truncated or inconsistent data,
// InvalidStreamOperation for an unsupported type code, std::runtime_error when a
// two-dimensional array arrives and the value array class is not announced.
void ReadVariant(ByteStream& stream, VARIANT& value, bool& byRefSeen, bool& refRecordSeen);
void ReadVariant(ByteStream& stream, VARIANT& value);

// Reads an array whose tag (VT_ARRAY | element type) has already been read.
// Returns the new array, owned by the caller (SafeArrayDestroy).
SAFEARRAY* ReadArray(ByteStream& stream, uint32_t tag);

}  // namespace labelplu

#endif  // LABELPLU_VALUES_VARIANTSTREAM_H
