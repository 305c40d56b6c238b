#include <gtest/gtest.h>

#include "platform/ole/ComPtr.h"
#include "platform/ole/Variant.h"
#include "tests/platform/ole/TestObjects.h"

using namespace labelplu::ole;
using namespace labelplu::ole::test;

namespace {

TEST(Variant, CopyIsDeepAndClearFreesWhatTheVariantOwns) {
  bool destroyed = false;
  ComPtr<ITestFoo> object = MakeCom<TestObject>(&destroyed);

  OleVariant text("Значение");
  OleVariant dispatch(static_cast<IDispatch*>(object.get()));
  EXPECT_EQ(RefCount(object.get()), 2u);

  VARIANT copy;
  VariantInit(&copy);
  ASSERT_EQ(VariantCopy(&copy, &text.get()), S_OK);
  EXPECT_NE(copy.bstrVal, text.get().bstrVal);
  EXPECT_EQ(BstrToUtf8(copy.bstrVal), "Значение");

  // Copying over a string frees the string (checked by the leak sanitizer)
  // and takes a reference to the object.
  ASSERT_EQ(VariantCopy(&copy, &dispatch.get()), S_OK);
  EXPECT_EQ(copy.vt, VT_DISPATCH);
  EXPECT_EQ(RefCount(object.get()), 3u);
  // Copying a variant onto itself keeps it intact.
  ASSERT_EQ(VariantCopy(&copy, &copy), S_OK);
  EXPECT_EQ(RefCount(object.get()), 3u);
  EXPECT_EQ(VariantClear(&copy), S_OK);
  EXPECT_EQ(copy.vt, VT_EMPTY);
  EXPECT_EQ(RefCount(object.get()), 2u);

  dispatch.clear();
  object.reset();
  EXPECT_TRUE(destroyed);
}

TEST(Variant, ByReferenceValuesAreNotOwned) {
  BSTR target = SysAllocString(u"target");
  VARIANT ref;
  ref.vt = VT_BSTR | VT_BYREF;
  ref.pbstrVal = &target;

  VARIANT shallow, deep;
  VariantInit(&shallow);
  VariantInit(&deep);
  ASSERT_EQ(VariantCopy(&shallow, &ref), S_OK);
  EXPECT_EQ(shallow.vt, VT_BSTR | VT_BYREF);
  EXPECT_EQ(shallow.pbstrVal, &target);
  ASSERT_EQ(VariantCopyInd(&deep, &ref), S_OK);
  EXPECT_EQ(deep.vt, VT_BSTR);
  EXPECT_NE(deep.bstrVal, target);
  EXPECT_EQ(BstrToUtf8(deep.bstrVal), "target");

  EXPECT_EQ(VariantClear(&shallow), S_OK);
  EXPECT_EQ(VariantClear(&ref), S_OK);
  EXPECT_EQ(BstrToUtf8(target), "target");  // still alive
  VariantClear(&deep);
  SysFreeString(target);

  // A referenced variant is copied as its value.
  OleVariant inner(2.5);
  VARIANT refVariant;
  refVariant.vt = VT_VARIANT | VT_BYREF;
  refVariant.pvarVal = &inner.get();
  OleVariant value;
  ASSERT_EQ(VariantCopyInd(value.put(), &refVariant), S_OK);
  EXPECT_EQ(value.Type(), VT_R8);
  EXPECT_EQ(value.get().dblVal, 2.5);

  // In place: the reference is replaced by the value.
  int32_t number = 12;
  VARIANT inPlace;
  inPlace.vt = VT_I4 | VT_BYREF;
  inPlace.plVal = &number;
  ASSERT_EQ(VariantCopyInd(&inPlace, &inPlace), S_OK);
  EXPECT_EQ(inPlace.vt, VT_I4);
  EXPECT_EQ(inPlace.lVal, 12);
}

TEST(Variant, ArraysAreCopiedAndLockedArraysRefuseToBeCleared) {
  OleVariant array = OleVariant::AdoptArray(SafeArrayCreateVector(VT_BSTR, 0, 2));
  const int32_t index = 1;
  BstrPtr element(Utf8ToBstr("x"));
  ASSERT_EQ(SafeArrayPutElement(array.get().parray, &index, element.get()), S_OK);

  OleVariant copy(array.get());
  ASSERT_EQ(copy.Type(), VT_ARRAY | VT_BSTR);
  EXPECT_NE(copy.get().parray, array.get().parray);
  BSTR read = nullptr;
  ASSERT_EQ(SafeArrayGetElement(copy.get().parray, &index, &read), S_OK);
  EXPECT_EQ(BstrToUtf8(read), "x");
  SysFreeString(read);

  ASSERT_EQ(SafeArrayLock(array.get().parray), S_OK);
  EXPECT_EQ(VariantClear(&array.get()), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(array.Type(), VT_ARRAY | VT_BSTR);
  SafeArrayUnlock(array.get().parray);
}

TEST(Variant, InvalidTypesAreRefused) {
  VARIANT bad;
  bad.vt = 0x0FFF;
  bad.llVal = 0;
  VARIANT dest;
  VariantInit(&dest);
  EXPECT_EQ(VariantClear(&bad), static_cast<HRESULT>(0x80020008u));
  EXPECT_EQ(VariantCopy(&dest, &bad), static_cast<HRESULT>(0x80020008u));
  EXPECT_EQ(dest.vt, VT_EMPTY);
  bad.vt = VT_VARIANT;  // only valid by reference or in arrays
  EXPECT_EQ(VariantCopy(&dest, &bad), static_cast<HRESULT>(0x80020008u));
  EXPECT_EQ(VariantClear(nullptr), E_INVALIDARG);
}

TEST(OleVariant, OwnsItsValue) {
  bool destroyed = false;
  ComPtr<ITestFoo> object = MakeCom<TestObject>(&destroyed);
  {
    OleVariant a(static_cast<IDispatch*>(object.get()));
    OleVariant b = a;
    EXPECT_EQ(RefCount(object.get()), 3u);
    OleVariant c = std::move(a);
    // The moved-from state is what this checks.
    EXPECT_TRUE(a.IsEmpty());  // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(RefCount(object.get()), 3u);
    b = OleVariant("text");
    EXPECT_EQ(RefCount(object.get()), 2u);
    VARIANT released = c.release();
    EXPECT_TRUE(c.IsEmpty());
    OleVariant adopted = OleVariant::Adopt(released);
    EXPECT_EQ(released.vt, VT_EMPTY);
    EXPECT_EQ(RefCount(object.get()), 2u);
  }
  EXPECT_EQ(RefCount(object.get()), 1u);

  OleVariant text(std::string("Строка"));
  OleVariant copy = text;
  EXPECT_NE(copy.get().bstrVal, text.get().bstrVal);
  EXPECT_EQ(VarToText(copy), "Строка");
  EXPECT_EQ(OleVariant(int32_t{5}).Type(), VT_I4);
  EXPECT_EQ(OleVariant(true).get().boolVal, VARIANT_TRUE);
  EXPECT_EQ(OleVariant(static_cast<const char*>(nullptr)).Type(), VT_BSTR);
  EXPECT_THROW(OleVariant::AdoptArray(nullptr), VariantError);
}

}  // namespace
