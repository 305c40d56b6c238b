// The exact bytes of the variant stream and the values it refuses.
#include "tests/values/StreamFixture.h"

namespace labelplu {
namespace {

using namespace test;

TEST_F(StreamTest, ScalarAndStringBytes) {
  int32_t five = 5;
  Var abc(Str("abc"));
  Var cut(VARIANT{});
  cut.v.vt = VT_BSTR;
  cut.v.bstrVal = SysAllocStringLen(u"ab\0c", 4);
  Var inner(I4(5));
  EXPECT_EQ(Written(I4(5)), Words({3, 5}));
  EXPECT_EQ(Written(abc), Words({8, 3}) + (Bytes{0x61, 0, 0x62, 0, 0x63, 0}));
  EXPECT_EQ(Written(cut), Words({8, 2}) + (Bytes{0x61, 0, 0x62, 0}));
  EXPECT_EQ(Written(Ref(VT_I4, &five)), Words({0x4003, 5}));
  EXPECT_EQ(Written(Ref(VT_VARIANT, &inner.v)), Words({0x4000, 3, 5}));
  VARIANT empty{};
  EXPECT_EQ(Written(empty), Words({0}));
  int16_t small = -2;
  EXPECT_EQ(Written(Raw(VT_I2, &small, 2)), Words({2}) + (Bytes{0xFE, 0xFF}));
  uint8_t byte = 0x7F;
  EXPECT_EQ(Written(Raw(VT_UI1, &byte, 1)), Words({17}) + (Bytes{0x7F}));
}

TEST_F(StreamTest, RawArrayBytes) {
  Var array(ArrayOf(SafeArrayCreateVector(VT_I2, 1, 3)));
  for (int32_t i = 1; i <= 3; ++i) {
    const int16_t value = static_cast<int16_t>(i * 11);
    SafeArrayPutElement(array.v.parray, &i, &value);
  }
  EXPECT_EQ(Written(array), Words({0x2002, 1, 1, 3, 6}) + (Bytes{11, 0, 22, 0, 33, 0}));
}

// Raw element data keeps the memory order (first index fastest); elements
// written one by one go with the last index fastest.
TEST_F(StreamTest, ElementOrderOfTwoDimensionalArrays) {
  const SAFEARRAYBOUND bounds[2] = {{2, 0}, {3, 0}};
  Var raw(ArrayOf(SafeArrayCreate(VT_I4, 2, bounds)));
  Var cells(ArrayOf(SafeArrayCreate(VT_VARIANT, 2, bounds)));
  for (int32_t i = 0; i < 2; ++i) {
    for (int32_t j = 0; j < 3; ++j) {
      const int32_t at[2] = {i, j};
      const int32_t value = 10 * i + j;
      Var cell(I4(value));
      SafeArrayPutElement(raw.v.parray, at, &value);
      SafeArrayPutElement(cells.v.parray, at, &cell.v);
    }
  }
  const Bytes header = Words({2, 0, 0, 1, 2});
  EXPECT_EQ(Written(raw), Words({0x2003}) + header + Words({24, 0, 10, 1, 11, 2, 12}));
  EXPECT_EQ(Written(cells),
            Words({0x200C}) + header + Words({3, 0, 3, 1, 3, 2, 3, 10, 3, 11, 3, 12}));
}

TEST_F(StreamTest, ValueArrayObjectIsWrittenAsItsArray) {
  Var a(I4(1));
  Var b(Str("b"));
  Var table(Object(TestValueArray::Make(1, 2, {a.v, b.v})));
  EXPECT_EQ(Written(table), Words({0x200C, 2, 0, 0, 0, 1, 3, 1, 8, 1}) + (Bytes{0x62, 0}));
}

class PlainDispatch final : public ole::ComObject<IDispatch> {
 public:
  HRESULT GetTypeInfoCount(uint32_t*) override { return E_NOTIMPL; }
  HRESULT GetTypeInfo(uint32_t, uint32_t, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(const IID&, OLECHAR**, uint32_t, uint32_t, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT Invoke(DISPID, const IID&, uint32_t, uint16_t, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                 uint32_t*) override {
    return E_NOTIMPL;
  }
};

std::string WriteError(const VARIANT& value) {
  ByteStream stream;
  try {
    WriteVariant(stream, value);
  } catch (const InvalidStreamOperation& e) {
    return e.what();
  }
  return "<written>";
}

TEST_F(StreamTest, UnsupportedTypesNameTypeAndValue) {
  Var plain(Object(ole::MakeCom<PlainDispatch>().detach()));
  Var table(Object(TestValueArray::Make(1, 1)));
  VARIANT unknown = table.v;
  unknown.vt = VT_UNKNOWN;
  IDispatch* object = plain.v.pdispVal;
  VARIANT variant{};
  variant.vt = VT_VARIANT;
  VARIANT decimal{};
  decimal.vt = VT_DECIMAL;
  VARIANT noArray{};
  noArray.vt = VT_ARRAY | VT_I4;
  VARIANT wide{};
  wide.vt = VT_UI8;
  const std::string head = "Неподдерживаемый тип данных.\r\nТип данных=";
  EXPECT_EQ(WriteError(plain), head + "9\r\nПредставление: (Объект)");
  EXPECT_EQ(WriteError(Ref(VT_DISPATCH, &object)), head + "16393\r\nПредставление: (Объект)");
  EXPECT_EQ(WriteError(unknown), head + "13\r\nПредставление: (Объект)");
  EXPECT_EQ(WriteError(variant), head + "12\r\nПредставление: (Неопределено)");
  EXPECT_EQ(WriteError(decimal), head + "14\r\nПредставление: (Неопределено)");
  EXPECT_EQ(WriteError(noArray), head + "8195\r\nПредставление: (Неопределено)");
  EXPECT_EQ(WriteError(wide).substr(0, head.size() + 2), head + "21");
}

TEST_F(StreamTest, AValueArrayHoldingItselfStopsAtTheDepthLimit) {
  ISafeArray* table = TestValueArray::Make(1, 1);
  Var self(Object(table));
  table->SetValue(0, 0, &self.v);  // a reference cycle, broken below
  ByteStream stream;
  EXPECT_THROW(WriteVariant(stream, self), StreamWriteError);
  Var none;
  table->SetValue(0, 0, &none.v);
}

}  // namespace
}  // namespace labelplu
