#include "platform/ole/Variant.h"

#include <cstdio>
#include <cstring>
#include <new>

#include "platform/ole/OleInternal.h"

namespace labelplu::ole {

namespace {

const char* BaseTypeName(VARTYPE vt) {
  switch (vt) {
    case VT_EMPTY:
      return "Empty";
    case VT_NULL:
      return "Null";
    case VT_I2:
      return "Smallint";
    case VT_I4:
    case VT_INT:
      return "Integer";
    case VT_R4:
      return "Single";
    case VT_R8:
      return "Double";
    case VT_CY:
      return "Currency";
    case VT_DATE:
      return "Date";
    case VT_BSTR:
    case VT_STRING:
      return "String";
    case VT_DISPATCH:
      return "Dispatch";
    case VT_ERROR:
      return "Error";
    case VT_BOOL:
      return "Boolean";
    case VT_VARIANT:
      return "Variant";
    case VT_UNKNOWN:
      return "Unknown";
    case VT_DECIMAL:
      return "Decimal";
    case VT_I1:
      return "ShortInt";
    case VT_UI1:
      return "Byte";
    case VT_UI2:
      return "Word";
    case VT_UI4:
    case VT_UINT:
      return "LongWord";
    case VT_I8:
      return "Int64";
    case VT_UI8:
      return "UInt64";
    default:
      return nullptr;
  }
}

// The type a conversion reads: the referenced one for by-reference values.
VARTYPE SourceType(const VARIANT& v) {
  if (v.vt == (VT_VARIANT | VT_BYREF) && v.pvarVal) return WithoutByRef(v.pvarVal->vt);
  return WithoutByRef(v.vt);
}

[[noreturn]] void RaiseConversion(HRESULT hr, const VARIANT& v, VARTYPE vt) {
  if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
  const std::string types =
      "variant of type (" + VarTypeName(SourceType(v)) + ") into type (" + VarTypeName(vt) + ")";
  if (hr == DISP_E_OVERFLOW) throw VariantError("Overflow while converting " + types);
  if (hr == DISP_E_TYPEMISMATCH) throw VariantError("Could not convert " + types);
  throw VariantError("Invalid variant type conversion");
}

void CheckCopy(HRESULT hr) {
  if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
  if (FAILED(hr)) throw VariantError("Invalid variant type conversion");
}

VARIANT EmptyVariant() {
  VARIANT v;
  std::memset(&v, 0, sizeof v);
  return v;
}

}  // namespace

VariantError::VariantError(const std::string& message) : std::runtime_error(message) {}
VariantError::~VariantError() = default;

std::string VarTypeName(VARTYPE vt) {
  std::string name;
  if (const char* base = BaseTypeName(vt & VT_TYPEMASK)) {
    name = base;
  } else {
    char hex[8];
    std::snprintf(hex, sizeof hex, "$%04X", static_cast<unsigned>(vt & VT_TYPEMASK));
    name = hex;
  }
  if (vt & VT_ARRAY) name = "Array " + name;
  if (vt & VT_BYREF) name = "ByRef " + name;
  return name;
}

OleVariant::OleVariant() noexcept : m_value(EmptyVariant()) {}

OleVariant::OleVariant(int32_t value) noexcept : m_value(EmptyVariant()) {
  m_value.vt = VT_I4;
  m_value.lVal = value;
}

OleVariant::OleVariant(double value) noexcept : m_value(EmptyVariant()) {
  m_value.vt = VT_R8;
  m_value.dblVal = value;
}

OleVariant::OleVariant(bool value) noexcept : m_value(EmptyVariant()) {
  m_value.vt = VT_BOOL;
  m_value.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

OleVariant::OleVariant(std::string_view utf8) : m_value(EmptyVariant()) {
  m_value.bstrVal = Utf8ToBstr(utf8);
  m_value.vt = VT_BSTR;
}

OleVariant::OleVariant(const char* utf8) : OleVariant(std::string_view(utf8 ? utf8 : "")) {}

OleVariant::OleVariant(IDispatch* object) noexcept : m_value(EmptyVariant()) {
  m_value.vt = VT_DISPATCH;
  m_value.pdispVal = object;
  if (object) object->AddRef();
}

OleVariant::OleVariant(IUnknown* object) noexcept : m_value(EmptyVariant()) {
  m_value.vt = VT_UNKNOWN;
  m_value.punkVal = object;
  if (object) object->AddRef();
}

OleVariant::OleVariant(const VARIANT& value) : m_value(EmptyVariant()) {
  CheckCopy(VariantCopy(&m_value, &value));
}

OleVariant::OleVariant(const OleVariant& other) : OleVariant(other.m_value) {}

OleVariant::OleVariant(OleVariant&& other) noexcept : m_value(other.release()) {}

OleVariant& OleVariant::operator=(const OleVariant& other) {
  if (this != &other) CheckCopy(VariantCopy(&m_value, &other.m_value));
  return *this;
}

OleVariant& OleVariant::operator=(OleVariant&& other) noexcept {
  if (this != &other) {
    clear();
    m_value = other.release();
  }
  return *this;
}

OleVariant::~OleVariant() {
  clear();
}

OleVariant OleVariant::Adopt(VARIANT& value) noexcept {
  OleVariant result;
  result.m_value = value;
  value = EmptyVariant();
  return result;
}

OleVariant OleVariant::AdoptArray(SAFEARRAY* psa) {
  VARTYPE vt;
  if (!psa || FAILED(SafeArrayGetVartype(psa, &vt))) {
    throw VariantError("Invalid variant type conversion");
  }
  OleVariant result;
  result.m_value.vt = static_cast<VARTYPE>(VT_ARRAY | vt);
  result.m_value.parray = psa;
  return result;
}

OleVariant OleVariant::Null() noexcept {
  OleVariant result;
  result.m_value.vt = VT_NULL;
  return result;
}

OleVariant OleVariant::FromInt64(int64_t value) noexcept {
  OleVariant result;
  result.m_value.vt = VT_I8;
  result.m_value.llVal = value;
  return result;
}

OleVariant OleVariant::FromCurrency(int64_t cy) noexcept {
  OleVariant result;
  result.m_value.vt = VT_CY;
  result.m_value.cyVal = cy;
  return result;
}

OleVariant OleVariant::FromDate(double date) noexcept {
  OleVariant result;
  result.m_value.vt = VT_DATE;
  result.m_value.date = date;
  return result;
}

VARIANT* OleVariant::put() noexcept {
  clear();
  return &m_value;
}

VARIANT OleVariant::release() noexcept {
  VARIANT value = m_value;
  m_value = EmptyVariant();
  return value;
}

void OleVariant::clear() noexcept {
  // A locked array cannot be freed; dropping the reference is all that is
  // left to do then.
  if (FAILED(VariantClear(&m_value))) m_value = EmptyVariant();
}

OleVariant VarAsType(const VARIANT& v, VARTYPE vt) {
  OleVariant result;
  const HRESULT hr = VariantChangeType(result.put(), &v, 0, vt);
  if (FAILED(hr)) RaiseConversion(hr, v, vt);
  return result;
}

int32_t VarToInt32(const VARIANT& v) {
  return VarAsType(v, VT_I4).get().lVal;
}

int64_t VarToInt64(const VARIANT& v) {
  return VarAsType(v, VT_I8).get().llVal;
}

double VarToDouble(const VARIANT& v) {
  return VarAsType(v, VT_R8).get().dblVal;
}

bool VarToBool(const VARIANT& v) {
  return VarAsType(v, VT_BOOL).get().boolVal != 0;
}

std::string VarToText(const VARIANT& v) {
  if (SourceType(v) == VT_NULL) return {};
  return BstrToUtf8(VarAsType(v, VT_BSTR).get().bstrVal);
}

}  // namespace labelplu::ole
