#include "base/VariantUtils.h"

#include "platform/ole/Bstr.h"
#include "platform/ole/Variant.h"

namespace labelplu {

const VARIANT& DerefVariant(const VARIANT& value) {
  const VARIANT* current = &value;
  // COM allows one level; a few more cost nothing and a cycle cannot hang.
  for (int level = 0; level < 8; ++level) {
    if (current->vt != (VT_VARIANT | VT_BYREF) || !current->pvarVal) break;
    current = current->pvarVal;
  }
  return *current;
}

SAFEARRAY* VariantArray(const VARIANT& value) {
  const VARIANT& v = DerefVariant(value);
  if (!(v.vt & VT_ARRAY)) return nullptr;
  if (v.vt & VT_BYREF) return v.pparray ? *v.pparray : nullptr;
  return v.parray;
}

std::string ValueText(const VARIANT& value) {
  const VARIANT& v = DerefVariant(value);
  const VARTYPE base = v.vt & VT_TYPEMASK;
  if (!(v.vt & VT_ARRAY) && (base == VT_DISPATCH || base == VT_UNKNOWN)) return "Объект";
  constexpr const char* kNone = "Неопределено";
  if ((v.vt & VT_ARRAY) || base == VT_NULL || base == VT_VARIANT) return kNone;
  if ((v.vt & VT_BYREF) && !v.byref) return kNone;
  VARIANT text;
  VariantInit(&text);
  if (FAILED(VariantChangeType(&text, &v, 0, VT_BSTR)) || text.vt != VT_BSTR) {
    VariantClear(&text);
    return kNone;
  }
  std::string result;
  try {
    result = ole::BstrToUtf8(text.bstrVal);
  } catch (...) {
    VariantClear(&text);
    throw;
  }
  VariantClear(&text);
  return result;
}

HRESULT GetArrayElement(SAFEARRAY* psa, const int32_t* indices, VARIANT* out) {
  VARTYPE type = VT_EMPTY;
  HRESULT hr = SafeArrayGetVartype(psa, &type);
  if (FAILED(hr)) return hr;
  VariantClear(out);
  if (type == VT_VARIANT) return SafeArrayGetElement(psa, indices, out);
  VARIANT element;
  VariantInit(&element);
  hr = SafeArrayGetElement(psa, indices, &element.llVal);
  if (FAILED(hr)) return hr;
  element.vt = type;
  *out = element;
  return S_OK;
}

HRESULT PutArrayElement(SAFEARRAY* psa, const int32_t* indices, const VARIANT& value) {
  VARTYPE type = VT_EMPTY;
  HRESULT hr = SafeArrayGetVartype(psa, &type);
  if (FAILED(hr)) return hr;
  if (type == VT_VARIANT) return SafeArrayPutElement(psa, indices, &value);
  VARIANT converted;
  VariantInit(&converted);
  hr = VariantChangeType(&converted, &value, 0, type);
  if (SUCCEEDED(hr)) {
    switch (type) {
      case VT_BSTR:
        hr = SafeArrayPutElement(psa, indices, converted.bstrVal);
        break;
      case VT_DISPATCH:
      case VT_UNKNOWN:
        hr = SafeArrayPutElement(psa, indices, converted.punkVal);
        break;
      default:
        hr = SafeArrayPutElement(psa, indices, &converted.llVal);
        break;
    }
  }
  VariantClear(&converted);
  return hr;
}

void CopyVariantValue(VARIANT& target, const VARIANT& value) {
  VARIANT copy;
  VariantInit(&copy);
  const HRESULT hr = VariantCopyInd(&copy, &value);
  if (FAILED(hr)) {
    VariantClear(&copy);
    if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
    throw ole::VariantError("Invalid variant type conversion");
  }
  VariantClear(&target);
  target = copy;
}

bool WriteThroughReference(VARIANT& element, const VARIANT& value) {
  if (!(element.vt & VT_BYREF)) return true;
  const VARTYPE target = ole::WithoutByRef(element.vt);
  if (!element.byref ||
      (target != VT_I4 && target != VT_R8 && target != VT_BSTR && target != VT_VARIANT))
    return false;
  if (target == VT_VARIANT) {
    CopyVariantValue(*element.pvarVal, value);
    return true;
  }
  ole::OleVariant converted = ole::VarAsType(value, target);
  switch (target) {
    case VT_I4:
      *element.plVal = converted.get().lVal;
      break;
    case VT_R8:
      *element.pdblVal = converted.get().dblVal;
      break;
    default: {  // VT_BSTR: the converted string moves into the caller's slot
      VARIANT text = converted.release();
      SysFreeString(*element.pbstrVal);
      *element.pbstrVal = text.bstrVal;
      break;
    }
  }
  return true;
}

}  // namespace labelplu
