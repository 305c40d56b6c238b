#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <memory>

#include "platform/ole/ComPtr.h"
#include "platform/ole/Variant.h"
#include "tests/platform/ole/TestObjects.h"

using namespace labelplu::ole;
using namespace labelplu::ole::test;

namespace {

struct ArrayDeleter {
  void operator()(SAFEARRAY* psa) const { EXPECT_EQ(SafeArrayDestroy(psa), S_OK); }
};
using ArrayPtr = std::unique_ptr<SAFEARRAY, ArrayDeleter>;

uint32_t StoredVartype(const SAFEARRAY* psa) {
  uint32_t vt;
  std::memcpy(&vt, reinterpret_cast<const char*>(psa) - 4, 4);
  return vt;
}

TEST(SafeArray, DescriptorHasComLayoutForEveryElementType) {
  struct Case {
    VARTYPE vt;
    uint32_t size;
    uint16_t flag;
  };
  const Case cases[] = {
      {VT_I2, 2, 0},
      {VT_I4, 4, 0},
      {VT_R4, 4, 0},
      {VT_R8, 8, 0},
      {VT_CY, 8, 0},
      {VT_DATE, 8, 0},
      {VT_BSTR, 8, FADF_BSTR},
      {VT_DISPATCH, 8, FADF_DISPATCH},
      {VT_ERROR, 4, 0},
      {VT_BOOL, 2, 0},
      {VT_VARIANT, 16, FADF_VARIANT},
      {VT_UNKNOWN, 8, FADF_UNKNOWN},
      {VT_I1, 1, 0},
      {VT_UI1, 1, 0},
      {VT_UI2, 2, 0},
      {VT_UI4, 4, 0},
      {VT_I8, 8, 0},
      {VT_UI8, 8, 0},
  };
  for (const Case& c : cases) {
    ArrayPtr psa(SafeArrayCreateVector(c.vt, 0, 3));
    ASSERT_NE(psa, nullptr) << c.vt;
    EXPECT_EQ(psa->cbElements, c.size) << c.vt;
    EXPECT_EQ(SafeArrayGetElemsize(psa.get()), c.size);
    EXPECT_EQ(psa->fFeatures, FADF_HAVEVARTYPE | c.flag) << c.vt;
    EXPECT_EQ(StoredVartype(psa.get()), c.vt);
    VARTYPE vt = 0;
    EXPECT_EQ(SafeArrayGetVartype(psa.get(), &vt), S_OK);
    EXPECT_EQ(vt, c.vt);
    EXPECT_EQ(psa->cLocks, 0u);
  }
  for (int bad : {0 + VT_EMPTY, 0 + VT_NULL, 0 + VT_DECIMAL, 0 + VT_STRING, VT_I4 | VT_BYREF}) {
    EXPECT_EQ(SafeArrayCreateVector(static_cast<VARTYPE>(bad), 0, 1), nullptr) << bad;
  }
  EXPECT_EQ(SafeArrayCreate(VT_I4, 0, nullptr), nullptr);
  EXPECT_EQ(offsetof(SAFEARRAY, pvData), 16u);
  EXPECT_EQ(offsetof(SAFEARRAY, rgsabound), 24u);
}

TEST(SafeArray, BoundsAreStoredReversedAndTheFirstIndexVariesFastest) {
  const SAFEARRAYBOUND bounds[3] = {{2, 1}, {3, -1}, {4, 10}};
  ArrayPtr psa(SafeArrayCreate(VT_I2, 3, bounds));
  ASSERT_NE(psa, nullptr);
  EXPECT_EQ(SafeArrayGetDim(psa.get()), 3u);
  // rgsabound[0] describes the last dimension.
  EXPECT_EQ(psa->rgsabound[0].cElements, 4u);
  EXPECT_EQ(psa->rgsabound[0].lLbound, 10);
  EXPECT_EQ(psa->rgsabound[2].cElements, 2u);
  EXPECT_EQ(psa->rgsabound[2].lLbound, 1);
  int32_t lower = 0, upper = 0;
  for (uint32_t d = 1; d <= 3; ++d) {
    ASSERT_EQ(SafeArrayGetLBound(psa.get(), d, &lower), S_OK);
    ASSERT_EQ(SafeArrayGetUBound(psa.get(), d, &upper), S_OK);
    EXPECT_EQ(lower, bounds[d - 1].lLbound);
    EXPECT_EQ(upper, bounds[d - 1].lLbound + static_cast<int32_t>(bounds[d - 1].cElements) - 1);
  }
  EXPECT_EQ(SafeArrayGetLBound(psa.get(), 0, &lower), DISP_E_BADINDEX);
  EXPECT_EQ(SafeArrayGetUBound(psa.get(), 4, &upper), DISP_E_BADINDEX);

  for (int32_t k = 10; k < 14; ++k) {
    for (int32_t j = -1; j < 2; ++j) {
      for (int32_t i = 1; i < 3; ++i) {
        const int32_t index[3] = {i, j, k};
        const int16_t value = static_cast<int16_t>(100 * i + 10 * (j + 1) + (k - 10));
        ASSERT_EQ(SafeArrayPutElement(psa.get(), index, &value), S_OK);
        void* at = nullptr;
        ASSERT_EQ(SafeArrayPtrOfIndex(psa.get(), index, &at), S_OK);
        const int offset = ((k - 10) * 3 + (j + 1)) * 2 + (i - 1);
        EXPECT_EQ(at, static_cast<int16_t*>(psa->pvData) + offset);
        EXPECT_EQ(static_cast<int16_t*>(psa->pvData)[offset], value);
      }
    }
  }
  const int32_t outside[][3] = {{0, 0, 10}, {3, 0, 10}, {1, -2, 10}, {1, 2, 10}, {1, 0, 14}};
  for (const auto& index : outside) {
    void* at = reinterpret_cast<void*>(1);
    EXPECT_EQ(SafeArrayPtrOfIndex(psa.get(), index, &at), DISP_E_BADINDEX);
    EXPECT_EQ(at, nullptr);
    int16_t value = 0;
    EXPECT_EQ(SafeArrayGetElement(psa.get(), index, &value), DISP_E_BADINDEX);
    EXPECT_EQ(SafeArrayPutElement(psa.get(), index, &value), DISP_E_BADINDEX);
  }
}

TEST(SafeArray, ElementsAreCopiedInAndOutAndFreedWithTheArray) {
  const SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
  ArrayPtr variants(SafeArrayCreate(VT_VARIANT, 2, bounds));
  ASSERT_NE(variants, nullptr);
  const int32_t at01[2] = {0, 1}, at10[2] = {1, 0};
  OleVariant text("Ячейка");
  OleVariant number(42);
  ASSERT_EQ(SafeArrayPutElement(variants.get(), at01, &text.get()), S_OK);
  ASSERT_EQ(SafeArrayPutElement(variants.get(), at10, &number.get()), S_OK);
  ASSERT_EQ(SafeArrayPutElement(variants.get(), at01, &text.get()), S_OK);  // frees the old copy
  auto* cells = static_cast<VARIANT*>(variants->pvData);
  EXPECT_EQ(cells[2].vt, VT_BSTR);  // (0, 1): second column, first row
  EXPECT_NE(cells[2].bstrVal, text.get().bstrVal);
  EXPECT_EQ(cells[1].vt, VT_I4);
  VARIANT out;
  out.vt = VT_BSTR;  // storage to fill, not to free
  ASSERT_EQ(SafeArrayGetElement(variants.get(), at01, &out), S_OK);
  EXPECT_EQ(VarToText(out), "Ячейка");
  EXPECT_NE(out.bstrVal, cells[2].bstrVal);
  VariantClear(&out);

  ArrayPtr strings(SafeArrayCreateVector(VT_BSTR, 5, 2));
  const int32_t five = 5;
  BstrPtr value(Utf8ToBstr("abc"));
  ASSERT_EQ(SafeArrayPutElement(strings.get(), &five, value.get()), S_OK);
  ASSERT_EQ(SafeArrayPutElement(strings.get(), &five, value.get()), S_OK);
  BSTR read = nullptr;
  ASSERT_EQ(SafeArrayGetElement(strings.get(), &five, &read), S_OK);
  EXPECT_NE(read, value.get());
  EXPECT_EQ(BstrToUtf8(read), "abc");
  SysFreeString(read);

  bool destroyed = false;
  ComPtr<ITestFoo> object = MakeCom<TestObject>(&destroyed);
  {
    ArrayPtr objects(SafeArrayCreateVector(VT_DISPATCH, 0, 2));
    const int32_t first = 0;
    ASSERT_EQ(SafeArrayPutElement(objects.get(), &first, static_cast<IDispatch*>(object.get())),
              S_OK);
    EXPECT_EQ(RefCount(object.get()), 2u);
    IDispatch* got = nullptr;
    ASSERT_EQ(SafeArrayGetElement(objects.get(), &first, &got), S_OK);
    EXPECT_EQ(RefCount(object.get()), 3u);
    got->Release();
  }
  EXPECT_EQ(RefCount(object.get()), 1u);
}

TEST(SafeArray, CopyIsDeep) {
  ArrayPtr outer(SafeArrayCreateVector(VT_VARIANT, 0, 2));
  OleVariant inner = OleVariant::AdoptArray(SafeArrayCreateVector(VT_BSTR, 0, 1));
  const int32_t zero = 0, one = 1;
  BstrPtr text(Utf8ToBstr("deep"));
  ASSERT_EQ(SafeArrayPutElement(inner.get().parray, &zero, text.get()), S_OK);
  ASSERT_EQ(SafeArrayPutElement(outer.get(), &zero, &inner.get()), S_OK);
  OleVariant plain(7);
  ASSERT_EQ(SafeArrayPutElement(outer.get(), &one, &plain.get()), S_OK);

  SAFEARRAY* raw = nullptr;
  ASSERT_EQ(SafeArrayCopy(outer.get(), &raw), S_OK);
  ArrayPtr copy(raw);
  EXPECT_EQ(copy->fFeatures, outer->fFeatures);
  EXPECT_EQ(StoredVartype(copy.get()), uint32_t{VT_VARIANT});
  const auto* original = static_cast<VARIANT*>(outer->pvData);
  const auto* copied = static_cast<VARIANT*>(copy->pvData);
  ASSERT_EQ(copied[0].vt, VT_ARRAY | VT_BSTR);
  EXPECT_NE(copied[0].parray, original[0].parray);
  BSTR read = nullptr;
  ASSERT_EQ(SafeArrayGetElement(copied[0].parray, &zero, &read), S_OK);
  EXPECT_EQ(BstrToUtf8(read), "deep");
  SysFreeString(read);
  EXPECT_EQ(copied[1].lVal, 7);

  EXPECT_EQ(SafeArrayCopy(nullptr, &raw), S_OK);
  EXPECT_EQ(raw, nullptr);
}

TEST(SafeArray, RedimChangesTheLastDimensionAndKeepsTheRest) {
  const SAFEARRAYBOUND bounds[2] = {{2, 0}, {3, 0}};
  ArrayPtr psa(SafeArrayCreate(VT_I4, 2, bounds));
  for (int32_t j = 0; j < 3; ++j) {
    for (int32_t i = 0; i < 2; ++i) {
      const int32_t index[2] = {i, j};
      const int32_t value = 10 * i + j + 1;
      ASSERT_EQ(SafeArrayPutElement(psa.get(), index, &value), S_OK);
    }
  }
  auto valueAt = [&psa](int32_t i, int32_t j) {
    const int32_t index[2] = {i, j};
    int32_t value = -1;
    EXPECT_EQ(SafeArrayGetElement(psa.get(), index, &value), S_OK);
    return value;
  };
  const SAFEARRAYBOUND longer{5, 0};
  ASSERT_EQ(SafeArrayRedim(psa.get(), &longer), S_OK);
  int32_t upper = 0;
  SafeArrayGetUBound(psa.get(), 2, &upper);
  EXPECT_EQ(upper, 4);
  EXPECT_EQ(valueAt(1, 2), 13);
  EXPECT_EQ(valueAt(0, 0), 1);
  EXPECT_EQ(valueAt(1, 4), 0);
  const SAFEARRAYBOUND shorter{1, 0};
  ASSERT_EQ(SafeArrayRedim(psa.get(), &shorter), S_OK);
  EXPECT_EQ(valueAt(1, 0), 11);
  const int32_t gone[2] = {0, 1};
  int32_t value = 0;
  EXPECT_EQ(SafeArrayGetElement(psa.get(), gone, &value), DISP_E_BADINDEX);

  // Shrinking frees the strings that drop out (checked by the leak sanitizer).
  ArrayPtr strings(SafeArrayCreateVector(VT_BSTR, 0, 3));
  BstrPtr text(Utf8ToBstr("x"));
  for (int32_t i = 0; i < 3; ++i) SafeArrayPutElement(strings.get(), &i, text.get());
  const SAFEARRAYBOUND one{1, 0};
  ASSERT_EQ(SafeArrayRedim(strings.get(), &one), S_OK);
  EXPECT_EQ(SysStringLen(static_cast<BSTR*>(strings->pvData)[0]), 1u);

  ASSERT_EQ(SafeArrayLock(strings.get()), S_OK);
  EXPECT_EQ(SafeArrayRedim(strings.get(), &shorter), DISP_E_ARRAYISLOCKED);
  SafeArrayUnlock(strings.get());
}

TEST(SafeArray, LocksGuardTheData) {
  ArrayPtr psa(SafeArrayCreateVector(VT_I4, 0, 4));
  void* data = nullptr;
  ASSERT_EQ(SafeArrayAccessData(psa.get(), &data), S_OK);
  EXPECT_EQ(data, psa->pvData);
  EXPECT_EQ(psa->cLocks, 1u);
  EXPECT_EQ(SafeArrayDestroy(psa.get()), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(SafeArrayUnaccessData(psa.get()), S_OK);
  EXPECT_EQ(SafeArrayUnlock(psa.get()), E_UNEXPECTED);
  EXPECT_EQ(SafeArrayDestroy(nullptr), S_OK);
}

TEST(SafeArray, SizesThatDoNotFitAreRefusedWithoutAllocating) {
  const SAFEARRAYBOUND huge3[3] = {{0x10000, 0}, {0x10000, 0}, {0x10000, 0}};  // 2^48 elements
  EXPECT_EQ(SafeArrayCreate(VT_I2, 3, huge3), nullptr);
  const SAFEARRAYBOUND wraps[5] = {
      {0x10000, 0}, {0x10000, 0}, {0x10000, 0}, {0x10000, 0}, {0x10000, 0}};
  EXPECT_EQ(SafeArrayCreate(VT_UI1, 5, wraps), nullptr);  // 2^80 elements overflow 64 bits
  EXPECT_EQ(SafeArrayCreateVector(VT_VARIANT, INT32_MIN, 0x80000000u), nullptr);  // 32 GiB
  // An upper bound beyond int32 cannot be indexed.
  EXPECT_EQ(SafeArrayCreateVector(VT_UI1, 2, 0x7FFFFFFFu), nullptr);
  EXPECT_EQ(SafeArrayCreateVector(VT_UI1, INT32_MAX, 2), nullptr);

  ArrayPtr psa(SafeArrayCreateVector(VT_VARIANT, 0, 1));
  const SAFEARRAYBOUND tooLong{0x7FFFFFFFu, 0};
  EXPECT_EQ(SafeArrayRedim(psa.get(), &tooLong), E_OUTOFMEMORY);
  EXPECT_EQ(psa->rgsabound[0].cElements, 1u);

  ArrayPtr empty(SafeArrayCreateVector(VT_I4, 0, 0));
  ASSERT_NE(empty, nullptr);
  int32_t upper = 0;
  EXPECT_EQ(SafeArrayGetUBound(empty.get(), 1, &upper), S_OK);
  EXPECT_EQ(upper, -1);
}

}  // namespace
