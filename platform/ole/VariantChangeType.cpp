// VariantChangeType: conversions between the scalar variant types, with text
// in the process formats (VarFormat.h). Rounding of reals to integers is to
// the nearest, halves to even, as OLE automation does.
#include <cfloat>
#include <cmath>
#include <cstring>
#include <new>

#include "platform/ole/Bstr.h"
#include "platform/ole/OleInternal.h"
#include "platform/ole/VarFormat.h"

using namespace labelplu::ole;

namespace {

using Int = __int128;

bool IsIntegerType(VARTYPE vt) {
  switch (vt) {
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_I8:
    case VT_UI8:
      return true;
    default:
      return false;
  }
}

// The integer value of an integer-typed view.
Int IntegerOf(const VARIANT& v) {
  switch (v.vt) {
    case VT_I1:
      return v.cVal;
    case VT_UI1:
      return v.bVal;
    case VT_I2:
      return v.iVal;
    case VT_UI2:
      return v.uiVal;
    case VT_I4:
    case VT_INT:
      return v.lVal;
    case VT_UI4:
    case VT_UINT:
      return v.ulVal;
    case VT_I8:
      return v.llVal;
    default:
      return static_cast<Int>(v.ullVal);
  }
}

HRESULT RoundHalfEven(double d, Int& out) {
  if (std::isnan(d) || !(std::fabs(d) < 1e36)) return DISP_E_OVERFLOW;
  double r = std::floor(d);
  const double diff = d - r;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0)) r += 1.0;
  out = static_cast<Int>(r);
  return S_OK;
}

Int RoundCurrency(int64_t cy) {
  Int q = cy / 10000;
  const int64_t rem = cy % 10000;
  if (rem > 5000 || (rem == 5000 && (q & 1))) ++q;
  if (rem < -5000 || (rem == -5000 && (q & 1))) --q;
  return q;
}

HRESULT ReadNumberText(BSTR text, detail::ParsedNumber& number) {
  try {
    return detail::ParseNumber(BstrToUtf8(text), number);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT ReadInteger(const VARIANT& v, Int& out) {
  if (IsIntegerType(v.vt)) {
    out = IntegerOf(v);
    return S_OK;
  }
  switch (v.vt) {
    case VT_EMPTY:
      out = 0;
      return S_OK;
    case VT_R4:
      return RoundHalfEven(v.fltVal, out);
    case VT_R8:
      return RoundHalfEven(v.dblVal, out);
    case VT_DATE:
      return RoundHalfEven(v.date, out);
    case VT_CY:
      out = RoundCurrency(v.cyVal);
      return S_OK;
    case VT_BOOL:
      out = v.boolVal ? -1 : 0;
      return S_OK;
    case VT_BSTR: {
      detail::ParsedNumber number;
      const HRESULT hr = ReadNumberText(v.bstrVal, number);
      if (FAILED(hr)) return hr;
      if (number.isInteger) {
        out = number.integer;
        return S_OK;
      }
      return RoundHalfEven(number.real, out);
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

// True is all bits set, also in an unsigned target (as OLE does).
HRESULT StoreInteger(VARTYPE vt, Int value, bool fromBool, VARIANT& result) {
  Int lo, hi;
  switch (vt) {
    case VT_I1:
      lo = INT8_MIN;
      hi = INT8_MAX;
      break;
    case VT_UI1:
      lo = 0;
      hi = UINT8_MAX;
      break;
    case VT_I2:
      lo = INT16_MIN;
      hi = INT16_MAX;
      break;
    case VT_UI2:
      lo = 0;
      hi = UINT16_MAX;
      break;
    case VT_I4:
    case VT_INT:
      lo = INT32_MIN;
      hi = INT32_MAX;
      break;
    case VT_UI4:
    case VT_UINT:
      lo = 0;
      hi = UINT32_MAX;
      break;
    case VT_I8:
      lo = INT64_MIN;
      hi = INT64_MAX;
      break;
    default:
      lo = 0;
      hi = UINT64_MAX;
      break;
  }
  if (fromBool && value && lo == 0) value = hi;
  if (value < lo || value > hi) return DISP_E_OVERFLOW;
  // Only the bytes of the type itself; narrower members share the low bytes.
  const uint64_t bits = static_cast<uint64_t>(value);
  result.ullVal = 0;
  std::memcpy(&result.ullVal, &bits, detail::ValueSize(vt));
  result.vt = vt;
  return S_OK;
}

HRESULT ReadReal(const VARIANT& v, double& out) {
  if (IsIntegerType(v.vt)) {
    out = static_cast<double>(IntegerOf(v));
    return S_OK;
  }
  switch (v.vt) {
    case VT_EMPTY:
      out = 0;
      return S_OK;
    case VT_R4:
      out = v.fltVal;
      return S_OK;
    case VT_R8:
      out = v.dblVal;
      return S_OK;
    case VT_DATE:
      out = v.date;
      return S_OK;
    case VT_CY:
      out = static_cast<double>(v.cyVal) / 10000.0;
      return S_OK;
    case VT_BOOL:
      out = v.boolVal ? -1.0 : 0.0;
      return S_OK;
    case VT_BSTR: {
      detail::ParsedNumber number;
      const HRESULT hr = ReadNumberText(v.bstrVal, number);
      out = number.real;
      return hr;
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

HRESULT ReadCurrency(const VARIANT& v, int64_t& out) {
  Int scaled;
  HRESULT hr;
  if (v.vt == VT_BSTR) {
    detail::ParsedNumber number;
    hr = ReadNumberText(v.bstrVal, number);
    if (SUCCEEDED(hr)) {
      if (number.isInteger) {
        scaled = number.integer * 10000;
      } else {
        hr = RoundHalfEven(number.real * 10000.0, scaled);
      }
    }
  } else if (IsIntegerType(v.vt) || v.vt == VT_BOOL || v.vt == VT_EMPTY) {
    hr = ReadInteger(v, scaled);
    scaled *= 10000;
  } else {
    double d;
    hr = ReadReal(v, d);
    if (SUCCEEDED(hr)) hr = RoundHalfEven(d * 10000.0, scaled);
  }
  if (FAILED(hr)) return hr;
  if (scaled < INT64_MIN || scaled > INT64_MAX) return DISP_E_OVERFLOW;
  out = static_cast<int64_t>(scaled);
  return S_OK;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

HRESULT ReadBool(const VARIANT& v, bool& out) {
  if (v.vt == VT_BSTR) {
    std::string text;
    try {
      text = BstrToUtf8(v.bstrVal);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    const std::string_view trimmed = detail::TrimBlanks(text);
    if (EqualsIgnoringCase(trimmed, "true")) {
      out = true;
      return S_OK;
    }
    if (EqualsIgnoringCase(trimmed, "false")) {
      out = false;
      return S_OK;
    }
    detail::ParsedNumber number;
    const HRESULT hr = detail::ParseNumber(trimmed, number);
    out = number.isInteger ? number.integer != 0 : number.real != 0;
    return hr;
  }
  if (v.vt == VT_CY) {
    out = v.cyVal != 0;
    return S_OK;
  }
  double d;
  const HRESULT hr = ReadReal(v, d);
  out = d != 0;
  return hr;
}

HRESULT ReadDate(const VARIANT& v, double& out) {
  if (v.vt == VT_BSTR) {
    try {
      return TextToDateTime(BstrToUtf8(v.bstrVal), out) ? S_OK : DISP_E_TYPEMISMATCH;
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
  }
  const HRESULT hr = ReadReal(v, out);
  if (FAILED(hr)) return hr;
  return out > -693594.0 && out < 2958466.0 ? S_OK : DISP_E_OVERFLOW;
}

HRESULT ReadText(const VARIANT& v, std::string& out) {
  if (IsIntegerType(v.vt)) {
    const Int value = IntegerOf(v);
    out = value < 0 ? std::to_string(static_cast<int64_t>(value))
                    : std::to_string(static_cast<uint64_t>(value));
    return S_OK;
  }
  switch (v.vt) {
    case VT_EMPTY:
      out.clear();
      return S_OK;
    case VT_R4:
      out = detail::FormatFloat(v.fltVal, 7);
      return S_OK;
    case VT_R8:
      out = FloatToText(v.dblVal);
      return S_OK;
    case VT_CY:
      out = CurrencyToText(v.cyVal);
      return S_OK;
    case VT_DATE:
      return DateTimeToText(v.date, out) ? S_OK : DISP_E_OVERFLOW;
    case VT_BOOL:
      out = v.boolVal ? "True" : "False";
      return S_OK;
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

HRESULT Convert(const VARIANT& v, VARTYPE vt, VARIANT& result) {
  HRESULT hr;
  if (IsIntegerType(vt)) {
    Int value;
    hr = ReadInteger(v, value);
    return FAILED(hr) ? hr : StoreInteger(vt, value, v.vt == VT_BOOL, result);
  }
  switch (vt) {
    case VT_R8:
      hr = ReadReal(v, result.dblVal);
      break;
    case VT_R4: {
      double d;
      hr = ReadReal(v, d);
      if (SUCCEEDED(hr) && std::isfinite(d) && std::fabs(d) > FLT_MAX) hr = DISP_E_OVERFLOW;
      result.fltVal = static_cast<float>(d);
      break;
    }
    case VT_CY:
      hr = ReadCurrency(v, result.cyVal);
      break;
    case VT_DATE:
      hr = ReadDate(v, result.date);
      break;
    case VT_BOOL: {
      bool b = false;
      hr = ReadBool(v, b);
      result.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    }
    case VT_BSTR: {
      std::string text;
      hr = ReadText(v, text);
      if (SUCCEEDED(hr)) {
        try {
          result.bstrVal = Utf8ToBstr(text);
        } catch (const std::bad_alloc&) {
          hr = E_OUTOFMEMORY;
        }
      }
      break;
    }
    case VT_UNKNOWN:
    case VT_DISPATCH: {
      if (v.vt != VT_UNKNOWN && v.vt != VT_DISPATCH) return DISP_E_TYPEMISMATCH;
      result.punkVal = nullptr;
      if (v.punkVal &&
          FAILED(v.punkVal->QueryInterface(vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown,
                                           reinterpret_cast<void**>(&result.punkVal)))) {
        return DISP_E_TYPEMISMATCH;
      }
      hr = S_OK;
      break;
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
  if (SUCCEEDED(hr)) result.vt = vt;
  return hr;
}

}  // namespace

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, uint16_t /*flags*/, VARTYPE vt) {
  if (!dest || !src) return E_INVALIDARG;
  if ((vt & VT_BYREF) || !detail::IsValidVariantType(vt)) return DISP_E_BADVARTYPE;
  VARIANT view;
  HRESULT hr = detail::ReadThrough(src, view);
  if (FAILED(hr)) return hr;
  VARIANT result;
  std::memset(&result, 0, sizeof result);
  if (view.vt == vt) {
    hr = VariantCopy(&result, &view);
  } else if (vt == VT_EMPTY) {
    hr = S_OK;
  } else if ((vt | view.vt) & VT_ARRAY) {
    hr = DISP_E_TYPEMISMATCH;
  } else {
    hr = Convert(view, vt, result);
  }
  if (FAILED(hr)) return hr;
  return detail::ReplaceVariant(dest, result);
}
