// GUID texts, value texts and argument unpacking.
#include <gtest/gtest.h>

#include <functional>

#include "base/Args.h"
#include "base/Errors.h"
#include "base/GuidText.h"
#include "base/VariantUtils.h"
#include "tests/values/TestValueArray.h"
#include "tests/values/TestVariants.h"

namespace labelplu {
namespace {

using test::I4;
using test::R8;
using test::Str;
using test::TestValueArray;
using test::Var;

constexpr const char* kNotGuid = "Значение не является идентификатором объекта.";

TEST(GuidText, ParsesBracedFormAndRejectsTheRest) {
  EXPECT_TRUE(IsNullGuid(TextToGuid("")));
  const GUID guid = TextToGuid("{67aced41-31c6-434e-9632-96018eb2b4eb}");
  EXPECT_TRUE(IsEqualGUID(&guid, &CLSID_ValueArray));
  EXPECT_EQ(GuidToText(guid), "{67ACED41-31C6-434E-9632-96018EB2B4EB}");
  const std::string bads[] = {"x", "67ACED41-31C6-434E-9632-96018EB2B4EB",
                              "{67ACED41-31C6-434E-9632-96018EB2B4EB",
                              std::string("{67ACED41-31C6-434E-9632-96018EB2B4EB}\0x", 40)};
  for (const std::string& bad : bads) {
    try {
      TextToGuid(bad);
      ADD_FAILURE() << bad;
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), kNotGuid);
    }
  }
}

TEST(GuidText, IsGuidTextAndNewGuid) {
  Var good(Str("{67ACED41-31C6-434E-9632-96018EB2B4EB}"));
  Var empty(Str(""));
  Var bad(Str("{67ACED41}"));
  Var number(I4(5));
  BSTR text = good.v.bstrVal;
  VARIANT byRef = test::Ref(VT_BSTR, &text);
  EXPECT_TRUE(IsGuidText(good));
  EXPECT_TRUE(IsGuidText(empty));
  EXPECT_TRUE(IsGuidText(byRef));
  EXPECT_FALSE(IsGuidText(bad));
  EXPECT_FALSE(IsGuidText(number));

  const GUID a = NewGuid();
  const GUID b = NewGuid();
  EXPECT_FALSE(IsEqualGUID(&a, &b));
  EXPECT_FALSE(IsNullGuid(a));
  const GUID back = TextToGuid(GuidToText(a));
  EXPECT_TRUE(IsEqualGUID(&a, &back));
}

TEST(ValueText, ObjectsArraysAndValues) {
  ISafeArray* table = TestValueArray::Make(1, 1);
  Var object(test::Object(table));
  IDispatch* raw = table;
  Var number(I4(-5));
  Var real(R8(2.5));
  Var text(Str("Привет"));
  Var array(test::ArrayOf(SafeArrayCreateVector(VT_VARIANT, 0, 2)));
  VARIANT null;
  VariantInit(&null);
  null.vt = VT_NULL;
  VARIANT inner = test::Ref(VT_VARIANT, &object.v);

  EXPECT_EQ(ValueText(object), "Объект");
  EXPECT_EQ(ValueText(test::Ref(VT_DISPATCH, &raw)), "Объект");
  EXPECT_EQ(ValueText(inner), "Объект");
  EXPECT_EQ(ValueText(number), "-5");
  EXPECT_EQ(ValueText(real), "2,5");
  EXPECT_EQ(ValueText(text), "Привет");
  EXPECT_EQ(ValueText(array), "Неопределено");
  EXPECT_EQ(ValueText(null), "Неопределено");
  EXPECT_EQ(ValueText(test::Ref(VT_I4, nullptr)), "Неопределено");
}

int32_t ErrorCodeOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const EProtectException& e) {
    return e.Code;
  }
  return 0;
}

TEST(UnpackArgs, OneColumnValueArrayFillsTargetsAndClearsTheRest) {
  Var a(I4(1));
  Var b(Str("x"));
  Var packed(test::Object(TestValueArray::Make(2, 1, {a.v, b.v})));
  Var t0, t1, t2(I4(99));
  VARIANT* targets[] = {&t0.v, &t1.v, &t2.v};
  UnpackArgs(packed, targets);
  EXPECT_EQ(t0.v.vt, VT_I4);
  EXPECT_EQ(t0.v.lVal, 1);
  EXPECT_EQ(test::Text(t1), "x");
  EXPECT_EQ(t2.v.vt, VT_EMPTY);
}

TEST(UnpackArgs, WrongShapesRaise20028) {
  Var twoColumns(test::Object(TestValueArray::Make(1, 2)));
  Var number(I4(3));
  Var text(Str("x"));
  Var target;
  VARIANT* targets[] = {&target.v};
  for (const VARIANT* value : {&twoColumns.v, &number.v, &text.v}) {
    EXPECT_EQ(ErrorCodeOf([&] { UnpackArgs(*value, targets); }), 20028) << value->vt;
  }
  const SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
  Var square(test::ArrayOf(SafeArrayCreate(VT_VARIANT, 2, bounds)));
  EXPECT_EQ(ErrorCodeOf([&] { UnpackArgs(square, targets); }), 20028);
  try {
    UnpackArgs(twoColumns, targets);
  } catch (const EProtectException& e) {
    EXPECT_EQ(std::string(e.what()), ErrorTemplate(20028));
  }
}

TEST(GetArgs, VariantArrayFromItsLowerBoundAndPutArgsBack) {
  Var array(test::ArrayOf(SafeArrayCreateVector(VT_VARIANT, 1, 2)));
  Var seven(I4(7));
  Var word(Str("слово"));
  const VARIANT values[] = {seven.v, word.v};
  PutArgs(array, values);

  Var t0, t1, t2(I4(5));
  VARIANT* targets[] = {&t0.v, &t1.v, &t2.v};
  VARIANT ref = test::Ref(VT_VARIANT, &array.v);
  UnpackArgs(ref, targets);
  EXPECT_EQ(t0.v.lVal, 7);
  EXPECT_EQ(test::Text(t1), "слово");
  EXPECT_EQ(t2.v.vt, VT_EMPTY);

  const VARIANT tooMany[] = {seven.v, word.v, seven.v};
  EXPECT_EQ(ErrorCodeOf([&] { PutArgs(array, tooMany); }), 20028);

  Var typed(test::ArrayOf(SafeArrayCreateVector(VT_I4, 0, 1)));
  Var digits(Str("12"));
  const VARIANT one[] = {digits.v};
  PutArgs(typed, one);
  GetArgs(typed, std::span<VARIANT* const>(targets, 1));
  EXPECT_EQ(t0.v.vt, VT_I4);
  EXPECT_EQ(t0.v.lVal, 12);
}

}  // namespace
}  // namespace labelplu
