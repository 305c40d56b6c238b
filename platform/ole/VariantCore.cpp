// Variant life cycle: initialisation, clearing and copying.
#include <cstring>

#include "platform/ole/OleInternal.h"

using namespace labelplu::ole;

namespace labelplu::ole::detail {

uint32_t ValueSize(VARTYPE vt) {
  switch (vt) {
    case VT_I1:
    case VT_UI1:
      return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
      return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_ERROR:
      return 4;
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_I8:
    case VT_UI8:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
      return 8;
    case VT_VARIANT:
    case VT_DECIMAL:
      return 16;
    default:
      return 0;
  }
}

bool IsValidVariantType(VARTYPE vt) {
  if (vt & ~(VT_TYPEMASK | VT_ARRAY | VT_BYREF)) return false;
  const VARTYPE base = vt & VT_TYPEMASK;
  if (base == VT_EMPTY || base == VT_NULL) return vt == base;
  if (base == VT_VARIANT) return vt != base;  // only in arrays or by reference
  return ValueSize(base) != 0;
}

HRESULT ReadThrough(const VARIANT* src, VARIANT& view) {
  std::memcpy(&view, src, sizeof view);
  if (!(src->vt & VT_BYREF)) return IsValidVariantType(src->vt) ? S_OK : DISP_E_BADVARTYPE;
  if (!IsValidVariantType(src->vt)) return DISP_E_BADVARTYPE;
  if (!src->byref) return E_INVALIDARG;
  const VARTYPE vt = static_cast<VARTYPE>(src->vt & ~VT_BYREF);
  if (vt == VT_VARIANT) {
    const VARIANT* target = src->pvarVal;
    // One level of reference only, as COM allows.
    if (target->vt & VT_BYREF) return E_INVALIDARG;
    if (!IsValidVariantType(target->vt)) return DISP_E_BADVARTYPE;
    std::memcpy(&view, target, sizeof view);
    return S_OK;
  }
  view.vt = vt;
  view.llVal = 0;
  if (vt & VT_ARRAY) {
    view.parray = *src->pparray;
  } else if (vt == VT_DECIMAL) {
    return DISP_E_BADVARTYPE;
  } else {
    std::memcpy(&view.llVal, src->byref, ValueSize(vt));
  }
  return S_OK;
}

HRESULT ReplaceVariant(VARIANT* dest, VARIANT& result) {
  const HRESULT hr = VariantClear(dest);
  if (FAILED(hr)) {
    VariantClear(&result);
    return hr;
  }
  std::memcpy(dest, &result, sizeof result);
  return S_OK;
}

}  // namespace labelplu::ole::detail

namespace {

// dest := deep copy of the by-value variant src; dest is raw storage.
HRESULT CopyValue(VARIANT* dest, const VARIANT* src) {
  VARIANT result;
  std::memcpy(&result, src, sizeof result);
  const VARTYPE vt = src->vt;
  if (vt & VT_BYREF) {
    // The reference itself is copied.
  } else if (vt & VT_ARRAY) {
    HRESULT hr = SafeArrayCopy(src->parray, &result.parray);
    if (FAILED(hr)) return hr;
  } else if (vt == VT_BSTR) {
    bool ok;
    result.bstrVal = detail::CopyBstr(src->bstrVal, ok);
    if (!ok) return E_OUTOFMEMORY;
  } else if ((vt == VT_UNKNOWN || vt == VT_DISPATCH) && src->punkVal) {
    src->punkVal->AddRef();
  }
  std::memcpy(dest, &result, sizeof result);
  return S_OK;
}

}  // namespace

void VariantInit(VARIANT* v) {
  if (v) v->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* v) {
  if (!v) return E_INVALIDARG;
  if (!detail::IsValidVariantType(v->vt)) return DISP_E_BADVARTYPE;
  if (!(v->vt & VT_BYREF)) {
    if (v->vt & VT_ARRAY) {
      const HRESULT hr = SafeArrayDestroy(v->parray);
      if (FAILED(hr)) return hr;
    } else if (v->vt == VT_BSTR) {
      SysFreeString(v->bstrVal);
    } else if ((v->vt == VT_UNKNOWN || v->vt == VT_DISPATCH) && v->punkVal) {
      v->punkVal->Release();
    }
  }
  v->vt = VT_EMPTY;
  v->llVal = 0;
  return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* src) {
  if (!dest || !src) return E_INVALIDARG;
  if (!detail::IsValidVariantType(src->vt)) return DISP_E_BADVARTYPE;
  VARIANT result;
  const HRESULT hr = CopyValue(&result, src);
  return FAILED(hr) ? hr : detail::ReplaceVariant(dest, result);
}

HRESULT VariantCopyInd(VARIANT* dest, const VARIANT* src) {
  if (!dest || !src) return E_INVALIDARG;
  VARIANT view;
  HRESULT hr = detail::ReadThrough(src, view);
  if (FAILED(hr)) return hr;
  VARIANT result;
  hr = CopyValue(&result, &view);
  return FAILED(hr) ? hr : detail::ReplaceVariant(dest, result);
}
