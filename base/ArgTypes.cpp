#include "base/ArgTypes.h"

#include <cmath>

#include "base/VariantUtils.h"
#include "platform/ole/Variant.h"

namespace labelplu {

VARTYPE EffectiveType(const VARIANT& value) {
  const VARIANT& v = DerefVariant(value);
  VARTYPE vt = ole::WithoutByRef(v.vt);
  if (vt == VT_CY) vt = VT_R8;
  if (vt == VT_R8) {
    const double d = ole::VarToDouble(v);
    if (std::isfinite(d) && std::fabs(d - std::nearbyint(d)) < 1e-9 && d >= -2147483648.0 &&
        d <= 2147483647.0)
      vt = VT_I4;
  }
  return vt;
}

bool IsOfType(const VARIANT& v, std::initializer_list<VARTYPE> types) {
  const VARTYPE vt = EffectiveType(v);
  for (VARTYPE t : types)
    if (t == vt) return true;
  return false;
}

ole::ComPtr<ISafeArray> ValueArrayOf(const VARIANT& value) {
  const VARIANT& v = DerefVariant(value);
  IUnknown* object = nullptr;
  if (ole::WithoutByRef(v.vt) == VT_DISPATCH)
    object = (v.vt & VT_BYREF) ? (v.ppdispVal ? *v.ppdispVal : nullptr) : v.pdispVal;
  else if (ole::WithoutByRef(v.vt) == VT_UNKNOWN)
    object = (v.vt & VT_BYREF) ? (v.ppunkVal ? *v.ppunkVal : nullptr) : v.punkVal;
  ole::ComPtr<ISafeArray> array;
  if (object) object->QueryInterface(IID_ISafeArray, array.PutVoid());
  return array;
}

void StoreInt(VARIANT& target, int32_t value) {
  VariantClear(&target);
  target.vt = VT_I4;
  target.lVal = value;
}

void StoreText(VARIANT& target, const std::string& text) {
  ole::OleVariant value(text);
  VariantClear(&target);
  target = value.release();
}

}  // namespace labelplu
