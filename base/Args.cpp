#include "base/Args.h"

#include "base/Errors.h"
#include "base/VariantUtils.h"
#include "labelplu/valuearray.h"

namespace labelplu {
namespace {

constexpr int32_t kBadStructure = 20028;

// The one-dimensional array of value with its lower bound and element count.
SAFEARRAY* OneDimensional(const VARIANT& value, int32_t& lower, int64_t& count) {
  SAFEARRAY* psa = VariantArray(value);
  if (!psa || SafeArrayGetDim(psa) != 1) RaiseCode(kBadStructure);
  int32_t upper = 0;
  if (FAILED(SafeArrayGetLBound(psa, 1, &lower)) || FAILED(SafeArrayGetUBound(psa, 1, &upper))) {
    RaiseCode(kBadStructure);
  }
  count = static_cast<int64_t>(upper) - lower + 1;
  return psa;
}

}  // namespace

void GetArgs(const VARIANT& array, std::span<VARIANT* const> targets) {
  int32_t lower = 0;
  int64_t count = 0;
  SAFEARRAY* psa = OneDimensional(array, lower, count);
  for (size_t i = 0; i < targets.size(); ++i) {
    VARIANT* target = targets[i];
    if (!target) continue;
    VariantClear(target);
    if (static_cast<int64_t>(i) >= count) continue;
    const int32_t index = static_cast<int32_t>(lower + static_cast<int64_t>(i));
    if (FAILED(GetArrayElement(psa, &index, target))) RaiseCode(kBadStructure);
  }
}

void PutArgs(const VARIANT& array, std::span<const VARIANT> values) {
  int32_t lower = 0;
  int64_t count = 0;
  SAFEARRAY* psa = OneDimensional(array, lower, count);
  if (static_cast<int64_t>(values.size()) > count) RaiseCode(kBadStructure);
  for (size_t i = 0; i < values.size(); ++i) {
    const int32_t index = static_cast<int32_t>(lower + static_cast<int64_t>(i));
    if (FAILED(PutArrayElement(psa, &index, values[i]))) RaiseCode(kBadStructure);
  }
}

void UnpackArgs(const VARIANT& value, std::span<VARIANT* const> targets) {
  const VARIANT& v = DerefVariant(value);
  if (v.vt & VT_ARRAY) {
    GetArgs(v, targets);
    return;
  }
  IUnknown* object = nullptr;
  if (v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN) {
    object = v.punkVal;
  } else if ((v.vt == (VT_DISPATCH | VT_BYREF) || v.vt == (VT_UNKNOWN | VT_BYREF)) && v.ppunkVal) {
    object = *v.ppunkVal;
  }
  if (!object) RaiseCode(kBadStructure);
  ISafeArray* table = nullptr;
  if (FAILED(object->QueryInterface(IID_ISafeArray, reinterpret_cast<void**>(&table))) || !table) {
    RaiseCode(kBadStructure);
  }
  struct Releaser {
    ISafeArray* p;
    ~Releaser() { p->Release(); }
  } releaser{table};
  int32_t rows = 0;
  int32_t cols = 0;
  if (FAILED(table->GetBounds(&rows, &cols)) || cols != 1) RaiseCode(kBadStructure);
  for (size_t i = 0; i < targets.size(); ++i) {
    VARIANT* target = targets[i];
    if (!target) continue;
    VariantClear(target);
    if (static_cast<int64_t>(i) >= rows) continue;
    if (FAILED(table->GetValue(static_cast<int32_t>(i), 0, target))) RaiseCode(kBadStructure);
  }
}

}  // namespace labelplu
