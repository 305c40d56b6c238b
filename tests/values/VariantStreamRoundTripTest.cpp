// Values written and read back.
#include <cstring>

#include "tests/values/StreamFixture.h"

namespace labelplu {
namespace {

using namespace test;

TEST_F(StreamTest, ScalarsComeBackWithTypeAndBytes) {
  const int16_t i2 = -300;
  const int32_t i4 = -70000;
  const float r4 = 1.25f;
  const double r8 = -2.5e100;
  const int64_t cy = 123456789;  // 12345,6789
  const double date = 45000.75;
  const int32_t error = static_cast<int32_t>(0x80020004u);
  const int16_t yes = VARIANT_TRUE;
  const int8_t i1 = -7;
  const uint8_t ui1 = 250;
  const uint16_t ui2 = 65000;
  const uint32_t ui4 = 4000000000u;
  const int64_t i8 = -9000000000000LL;
  struct Case {
    VARTYPE vt;
    const void* value;
    size_t size;
  } cases[] = {
      {VT_EMPTY, nullptr, 0}, {VT_NULL, nullptr, 0}, {VT_I2, &i2, 2}, {VT_I4, &i4, 4},
      {VT_R4, &r4, 4},        {VT_R8, &r8, 8},       {VT_CY, &cy, 8}, {VT_DATE, &date, 8},
      {VT_ERROR, &error, 4},  {VT_BOOL, &yes, 2},    {VT_I1, &i1, 1}, {VT_UI1, &ui1, 1},
      {VT_UI2, &ui2, 2},      {VT_UI4, &ui4, 4},     {VT_I8, &i8, 8},
  };
  for (const Case& c : cases) {
    const VARIANT value = Raw(c.vt, c.value ? c.value : &i8, c.size);
    Var back;
    RoundTrip(value, back.v);
    EXPECT_EQ(back.v.vt, c.vt);
    if (c.size) {
      EXPECT_EQ(std::memcmp(&back.v.llVal, c.value, c.size), 0) << c.vt;
    }
  }
}

TEST_F(StreamTest, StringsAndReferences) {
  for (const char* text : {"", "Этикетка №1 — €"}) {
    Var value(Str(text));
    Var back;
    RoundTrip(value, back.v);
    EXPECT_EQ(Text(back), text);
  }

  int32_t number = 42;
  Var back;
  bool byRef = false;
  bool record = false;
  RoundTrip(Ref(VT_I4, &number), back.v, &byRef, &record);
  EXPECT_EQ(back.v.vt, VT_I4);
  EXPECT_EQ(back.v.lVal, 42);
  EXPECT_TRUE(byRef);
  EXPECT_FALSE(record);

  Var word(Str("слово"));
  RoundTrip(Ref(VT_BSTR, &word.v.bstrVal), back.v, &byRef, &record);
  EXPECT_EQ(Text(back), "слово");

  Var inner(Str("внутри"));
  RoundTrip(Ref(VT_VARIANT, &inner.v), back.v, &byRef, &record);
  EXPECT_EQ(Text(back), "внутри");
  EXPECT_TRUE(byRef);
  EXPECT_TRUE(record);

  RoundTrip(I4(1), back.v, &byRef, &record);
  EXPECT_FALSE(byRef);
  EXPECT_FALSE(record);
}

TEST_F(StreamTest, SingleByteStringsAreReadAsWindows1251) {
  ByteStream stream;
  Load(stream, Words({256, 4}) + Bytes{0xCF, 0xE8, 0xE2, 0xB9});
  Var back;
  ReadVariant(stream, back.v);
  EXPECT_EQ(Text(back), "Пив№");
}

int32_t Bound(SAFEARRAY* psa, uint32_t dim, bool upper) {
  int32_t value = 0;
  upper ? SafeArrayGetUBound(psa, dim, &value) : SafeArrayGetLBound(psa, dim, &value);
  return value;
}

TEST_F(StreamTest, NestedOneDimensionalArraysStayArrays) {
  Var numbers(ArrayOf(SafeArrayCreateVector(VT_I4, 1, 3)));
  for (int32_t i = 1; i <= 3; ++i) {
    const int32_t value = 100 + i;
    SafeArrayPutElement(numbers.v.parray, &i, &value);
  }
  Var words(ArrayOf(SafeArrayCreateVector(VT_BSTR, 0, 2)));
  int32_t at = 1;
  Var second(Str("второй"));
  SafeArrayPutElement(words.v.parray, &at, second.v.bstrVal);
  Var none(ArrayOf(SafeArrayCreateVector(VT_VARIANT, 0, 0)));
  Var outer(ArrayOf(SafeArrayCreateVector(VT_VARIANT, 0, 4)));
  const VARIANT* parts[] = {&numbers.v, &words.v, &none.v};
  for (int32_t i = 0; i < 3; ++i) SafeArrayPutElement(outer.v.parray, &i, parts[i]);

  Var back;
  RoundTrip(outer, back.v);
  ASSERT_EQ(back.v.vt, VT_ARRAY | VT_VARIANT);
  EXPECT_EQ(Bound(back.v.parray, 1, true), 3);

  Var element;
  for (int32_t i = 0; i < 4; ++i) {
    ASSERT_EQ(SafeArrayGetElement(back.v.parray, &i, &element.v), S_OK);
    switch (i) {
      case 0: {
        ASSERT_EQ(element.v.vt, VT_ARRAY | VT_I4);
        EXPECT_EQ(Bound(element.v.parray, 1, false), 1);
        EXPECT_EQ(Bound(element.v.parray, 1, true), 3);
        int32_t last = 0;
        const int32_t three = 3;
        SafeArrayGetElement(element.v.parray, &three, &last);
        EXPECT_EQ(last, 103);
        break;
      }
      case 1: {
        ASSERT_EQ(element.v.vt, VT_ARRAY | VT_BSTR);
        BSTR text = nullptr;
        SafeArrayGetElement(element.v.parray, &at, &text);
        EXPECT_EQ(ole::BstrToUtf8(text), "второй");
        SysFreeString(text);
        break;
      }
      case 2:
        ASSERT_EQ(element.v.vt, VT_ARRAY | VT_VARIANT);
        EXPECT_EQ(Bound(element.v.parray, 1, true), -1);
        break;
      default:
        EXPECT_EQ(element.v.vt, VT_EMPTY);
    }
    VariantClear(&element.v);
  }
}

TEST_F(StreamTest, TwoDimensionalArraysComeBackAsValueArrays) {
  const SAFEARRAYBOUND bounds[2] = {{2, 1}, {2, 0}};  // rows 1..2, columns 0..1
  Var cells(ArrayOf(SafeArrayCreate(VT_VARIANT, 2, bounds)));
  Var text(Str("b"));
  Var real(R8(2.5));
  Var nested(Object(TestValueArray::Make(1, 1)));
  const VARIANT* values[] = {nullptr, &text.v, &real.v, &nested.v};
  for (int i = 0; i < 4; ++i) {
    const int32_t at[2] = {1 + i / 2, i % 2};
    Var one(I4(1));
    SafeArrayPutElement(cells.v.parray, at, values[i] ? values[i] : &one.v);
  }
  Var back;
  RoundTrip(cells, back.v);
  ISafeArray* table = TableOf(back);
  ASSERT_NE(table, nullptr);
  SAFEARRAY* psa = nullptr;
  int32_t type = 0;
  table->GetPSA(&psa);
  table->GetVarType(&type);
  EXPECT_EQ(type, VT_VARIANT);
  EXPECT_EQ(SafeArrayGetDim(psa), 2u);
  EXPECT_EQ(Bound(psa, 1, false), 1);
  EXPECT_EQ(Bound(psa, 1, true), 2);
  EXPECT_EQ(Bound(psa, 2, true), 1);
  Var cell;
  const int32_t first[2] = {1, 0};
  SafeArrayGetElement(psa, first, &cell.v);
  EXPECT_EQ(cell.v.lVal, 1);
  VariantClear(&cell.v);
  const int32_t second[2] = {1, 1};
  SafeArrayGetElement(psa, second, &cell.v);
  EXPECT_EQ(Text(cell), "b");
  VariantClear(&cell.v);
  const int32_t fourth[2] = {2, 1};
  SafeArrayGetElement(psa, fourth, &cell.v);
  EXPECT_NE(TableOf(cell), nullptr) << "a nested value array stays an object";

  const SAFEARRAYBOUND rawBounds[2] = {{1, 0}, {2, 0}};
  Var raw(ArrayOf(SafeArrayCreate(VT_R8, 2, rawBounds)));
  Var rawBack;
  RoundTrip(raw, rawBack.v);
  ISafeArray* rawTable = TableOf(rawBack);
  ASSERT_NE(rawTable, nullptr);
  rawTable->GetVarType(&type);
  EXPECT_EQ(type, VT_R8);
}

TEST_F(StreamTest, TwoDimensionalArrayWithoutValueArrayClass) {
  TestValueArray::Revoke();
  const SAFEARRAYBOUND bounds[2] = {{1, 0}, {1, 0}};
  Var cells(ArrayOf(SafeArrayCreate(VT_VARIANT, 2, bounds)));
  ByteStream stream;
  WriteVariant(stream, cells);
  stream.SetPosition(0);
  Var back;
  try {
    ReadVariant(stream, back.v);
    FAIL() << "read without the class";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "value array class not available");
  }
  EXPECT_EQ(back.v.vt, VT_EMPTY);
}

}  // namespace
}  // namespace labelplu
