// labelplu automation runtime: C++ helpers over VARIANT.
//
// OleVariant owns one VARIANT (copies are deep, moves transfer). The VarTo*
// functions convert as VariantChangeType does (process formats, halves to
// even, by-reference values read through) and raise VariantError with the
// texts a Delphi program gives:
//   "Could not convert variant of type (String) into type (Integer)"
//   "Overflow while converting variant of type (Double) into type (Integer)"
//   "Invalid variant type conversion"
// A lack of memory raises std::bad_alloc.
#ifndef LABELPLU_PLATFORM_OLE_VARIANT_H
#define LABELPLU_PLATFORM_OLE_VARIANT_H

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "labelplu/oleauto.h"
#include "platform/ole/Bstr.h"
#include "platform/ole/OleExport.h"
#include "platform/ole/Utf.h"

namespace labelplu::ole {

// A failed variant conversion; the message is in what() (UTF-8).
class LP_OLE_EXPORT VariantError : public std::runtime_error {
 public:
  explicit VariantError(const std::string& message);
  ~VariantError() override;
};

// The Delphi name of a variant type: "Empty", "Null", "Smallint", "Integer",
// "Single", "Double", "Currency", "Date", "String", "Dispatch", "Error",
// "Boolean", "Variant", "Unknown", "Decimal", "ShortInt", "Byte", "Word",
// "LongWord", "Int64", "UInt64"; "Array X" with the array flag, "ByRef X"
// with the by-reference flag; "$XXXX" (hex) for codes without a name.
LP_OLE_EXPORT std::string VarTypeName(VARTYPE vt);

// The type of a variant without its by-reference flag.
inline constexpr VARTYPE WithoutByRef(VARTYPE vt) noexcept {
  return static_cast<VARTYPE>(vt & ~VT_BYREF);
}

class LP_OLE_EXPORT OleVariant {
 public:
  OleVariant() noexcept;                   // VT_EMPTY
  OleVariant(int32_t value) noexcept;      // VT_I4
  OleVariant(double value) noexcept;       // VT_R8
  OleVariant(bool value) noexcept;         // VT_BOOL
  OleVariant(std::string_view utf8);       // VT_BSTR
  OleVariant(const char* utf8);            // VT_BSTR; null gives the empty text
  OleVariant(IDispatch* object) noexcept;  // VT_DISPATCH; takes a reference (null allowed)
  OleVariant(IUnknown* object) noexcept;   // VT_UNKNOWN; takes a reference (null allowed)
  // A deep copy of value (VariantCopy).
  explicit OleVariant(const VARIANT& value);
  OleVariant(const OleVariant& other);
  OleVariant(OleVariant&& other) noexcept;
  OleVariant& operator=(const OleVariant& other);
  OleVariant& operator=(OleVariant&& other) noexcept;
  ~OleVariant();

  // Takes over what value holds and leaves value VT_EMPTY.
  static OleVariant Adopt(VARIANT& value) noexcept;
  // Takes ownership of psa (from SafeArrayCreate) as VT_ARRAY | its element
  // type. Throws VariantError when psa is null or has no element type.
  static OleVariant AdoptArray(SAFEARRAY* psa);
  static OleVariant Null() noexcept;                    // VT_NULL
  static OleVariant FromInt64(int64_t value) noexcept;  // VT_I8
  static OleVariant FromCurrency(int64_t cy) noexcept;  // VT_CY (value × 10000)
  static OleVariant FromDate(double date) noexcept;     // VT_DATE

  const VARIANT& get() const noexcept { return m_value; }
  VARIANT& get() noexcept { return m_value; }
  operator const VARIANT&() const noexcept { return m_value; }
  // For an out parameter: clears the value and returns its address.
  VARIANT* put() noexcept;
  // Hands the value to the caller (who clears it) and becomes VT_EMPTY.
  VARIANT release() noexcept;
  void clear() noexcept;
  VARTYPE Type() const noexcept { return m_value.vt; }
  bool IsEmpty() const noexcept { return m_value.vt == VT_EMPTY; }

 private:
  VARIANT m_value;
};

// Conversions with Delphi's rules (see the top of this file). Empty gives 0,
// false or ""; Null raises, except that VarToText gives "" as VarToStr does.
LP_OLE_EXPORT int32_t VarToInt32(const VARIANT& v);
LP_OLE_EXPORT int64_t VarToInt64(const VARIANT& v);
LP_OLE_EXPORT double VarToDouble(const VARIANT& v);
LP_OLE_EXPORT bool VarToBool(const VARIANT& v);
LP_OLE_EXPORT std::string VarToText(const VARIANT& v);
// v converted to type vt (VariantChangeType), raising VariantError.
LP_OLE_EXPORT OleVariant VarAsType(const VARIANT& v, VARTYPE vt);

}  // namespace labelplu::ole

#endif  // LABELPLU_PLATFORM_OLE_VARIANT_H
