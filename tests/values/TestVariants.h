// Small helpers for building and inspecting variants in tests.
#ifndef LABELPLU_TESTS_VALUES_TESTVARIANTS_H
#define LABELPLU_TESTS_VALUES_TESTVARIANTS_H

#include <cstring>
#include <string>
#include <utility>

#include "labelplu/oleauto.h"
#include "platform/ole/Bstr.h"

namespace labelplu::test {

// A variant that is cleared when it goes out of scope.
struct Var {
  VARIANT v;
  Var() { VariantInit(&v); }
  explicit Var(const VARIANT& adopt) : v(adopt) {}
  Var(const Var&) = delete;
  Var& operator=(const Var&) = delete;
  ~Var() { VariantClear(&v); }
  operator const VARIANT&() const { return v; }
};

inline VARIANT I4(int32_t x) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = x;
  return v;
}

inline VARIANT R8(double x) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_R8;
  v.dblVal = x;
  return v;
}

// A new string variant (the caller clears it).
inline VARIANT Str(const std::string& text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = ole::Utf8ToBstr(text);
  return v;
}

inline VARIANT Raw(VARTYPE vt, const void* value, size_t size) {
  VARIANT v;
  VariantInit(&v);
  v.vt = vt;
  std::memcpy(&v.llVal, value, size);
  return v;
}

inline VARIANT Ref(VARTYPE vt, void* target) {
  VARIANT v;
  VariantInit(&v);
  v.vt = vt | VT_BYREF;
  v.byref = target;
  return v;
}

inline VARIANT Object(IUnknown* object) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_DISPATCH;
  v.punkVal = object;
  return v;
}

inline VARIANT ArrayOf(SAFEARRAY* psa) {
  VARTYPE vt = VT_EMPTY;
  SafeArrayGetVartype(psa, &vt);
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_ARRAY | vt;
  v.parray = psa;
  return v;
}

inline std::string Text(const VARIANT& v) {
  return v.vt == VT_BSTR ? ole::BstrToUtf8(v.bstrVal) : std::string("<not a string>");
}

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_VALUES_TESTVARIANTS_H
