#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "platform/ole/ComPtr.h"
#include "platform/ole/VarFormat.h"
#include "platform/ole/Variant.h"
#include "tests/platform/ole/TestObjects.h"

using namespace labelplu::ole;
using namespace labelplu::ole::test;

namespace {

OleVariant Make(VARTYPE vt, const std::function<void(VARIANT&)>& fill) {
  VARIANT v;
  std::memset(&v, 0, sizeof v);
  v.vt = vt;
  fill(v);
  return OleVariant::Adopt(v);
}
OleVariant I1(int8_t x) {
  return Make(VT_I1, [x](VARIANT& v) { v.cVal = x; });
}
OleVariant UI1(uint8_t x) {
  return Make(VT_UI1, [x](VARIANT& v) { v.bVal = x; });
}
OleVariant I2(int16_t x) {
  return Make(VT_I2, [x](VARIANT& v) { v.iVal = x; });
}
OleVariant I4(int32_t x) {
  return OleVariant(x);
}
OleVariant UI4(uint32_t x) {
  return Make(VT_UI4, [x](VARIANT& v) { v.ulVal = x; });
}
OleVariant I8(int64_t x) {
  return OleVariant::FromInt64(x);
}
OleVariant UI8(uint64_t x) {
  return Make(VT_UI8, [x](VARIANT& v) { v.ullVal = x; });
}
OleVariant R4(float x) {
  return Make(VT_R4, [x](VARIANT& v) { v.fltVal = x; });
}
OleVariant R8(double x) {
  return OleVariant(x);
}
OleVariant CY(int64_t x) {
  return OleVariant::FromCurrency(x);
}
OleVariant Date(double x) {
  return OleVariant::FromDate(x);
}
OleVariant Bool(bool x) {
  return OleVariant(x);
}
OleVariant Text(const char* x) {
  return OleVariant(x);
}
OleVariant Empty() {
  return OleVariant();
}
OleVariant Null() {
  return OleVariant::Null();
}

// Equal type and value; strings compared as text, reals exactly.
bool SameValue(const VARIANT& a, const VARIANT& b) {
  if (a.vt != b.vt) return false;
  switch (a.vt) {
    case VT_EMPTY:
    case VT_NULL:
      return true;
    case VT_BSTR:
      return BstrView(a.bstrVal) == BstrView(b.bstrVal);
    case VT_R4:
      return a.fltVal == b.fltVal;
    case VT_R8:
      return a.dblVal == b.dblVal;
    case VT_DATE:
      return a.date == b.date;
    case VT_I1:
    case VT_UI1:
      return a.bVal == b.bVal;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
      return a.uiVal == b.uiVal;
    case VT_I4:
    case VT_UI4:
      return a.ulVal == b.ulVal;
    default:
      return a.ullVal == b.ullVal;
  }
}

std::string Describe(const VARIANT& v) {
  if (v.vt == VT_EMPTY || v.vt == VT_NULL) return VarTypeName(v.vt);
  try {
    return VarTypeName(v.vt) + " " + VarToText(v);
  } catch (const std::exception&) {
    return VarTypeName(v.vt);
  }
}

struct ConversionCase {
  int line;
  OleVariant source;
  VARTYPE target;
  HRESULT result;
  OleVariant expected;  // when result is S_OK
};

void RunCases(const std::vector<ConversionCase>& cases) {
  for (const ConversionCase& c : cases) {
    OleVariant dest("untouched");
    const HRESULT hr = VariantChangeType(&dest.get(), &c.source.get(), 0, c.target);
    EXPECT_EQ(hr, c.result) << "case at line " << c.line;
    if (hr == S_OK && c.result == S_OK) {
      EXPECT_TRUE(SameValue(dest.get(), c.expected.get()))
          << "case at line " << c.line << ": got " << Describe(dest.get()) << ", expected "
          << Describe(c.expected.get());
    } else if (FAILED(hr)) {
      EXPECT_EQ(VarToText(dest), "untouched")
          << "a failed conversion leaves dest alone, line " << c.line;
    }
  }
}

constexpr HRESULT kOk = S_OK;
constexpr HRESULT kMismatch = DISP_E_TYPEMISMATCH;
constexpr HRESULT kOverflow = DISP_E_OVERFLOW;

TEST(VariantChangeType, ToInteger) {
  RunCases({
      {__LINE__, I2(-5), VT_I4, kOk, I4(-5)},
      {__LINE__, UI1(200), VT_I4, kOk, I4(200)},
      {__LINE__, I1(-3), VT_I4, kOk, I4(-3)},
      {__LINE__, I8(-2147483648LL), VT_I4, kOk, I4(INT32_MIN)},
      {__LINE__, I8(2147483648LL), VT_I4, kOverflow, {}},
      {__LINE__, UI4(0xFFFFFFFFu), VT_I4, kOverflow, {}},
      // Halves go to the even neighbour, for doubles, singles, dates and currency.
      {__LINE__, R8(2.5), VT_I4, kOk, I4(2)},
      {__LINE__, R8(3.5), VT_I4, kOk, I4(4)},
      {__LINE__, R8(-2.5), VT_I4, kOk, I4(-2)},
      {__LINE__, R8(-3.5), VT_I4, kOk, I4(-4)},
      {__LINE__, R8(2.4999), VT_I4, kOk, I4(2)},
      {__LINE__, R8(-0.5), VT_I4, kOk, I4(0)},
      {__LINE__, R8(2147483647.4), VT_I4, kOk, I4(INT32_MAX)},
      {__LINE__, R8(2147483647.5), VT_I4, kOverflow, {}},
      {__LINE__, R8(std::nan("")), VT_I4, kOverflow, {}},
      {__LINE__, R8(1e300), VT_I4, kOverflow, {}},
      {__LINE__, R4(1.5f), VT_I4, kOk, I4(2)},
      {__LINE__, Date(1.5), VT_I4, kOk, I4(2)},
      {__LINE__, CY(25000), VT_I4, kOk, I4(2)},
      {__LINE__, CY(35000), VT_I4, kOk, I4(4)},
      {__LINE__, CY(-25000), VT_I4, kOk, I4(-2)},
      {__LINE__, CY(15001), VT_I4, kOk, I4(2)},
      {__LINE__, Bool(true), VT_I4, kOk, I4(-1)},
      {__LINE__, Bool(false), VT_I4, kOk, I4(0)},
      {__LINE__, Empty(), VT_I4, kOk, I4(0)},
      {__LINE__, Null(), VT_I4, kMismatch, {}},
      // Text: blanks around, "." or "," as decimal separator, an exponent.
      {__LINE__, Text(" 42 "), VT_I4, kOk, I4(42)},
      {__LINE__, Text("-7"), VT_I4, kOk, I4(-7)},
      {__LINE__, Text("+7"), VT_I4, kOk, I4(7)},
      {__LINE__, Text("1,5"), VT_I4, kOk, I4(2)},
      {__LINE__, Text("2.5"), VT_I4, kOk, I4(2)},
      {__LINE__, Text("1e3"), VT_I4, kOk, I4(1000)},
      {__LINE__, Text("99999999999"), VT_I4, kOverflow, {}},
      {__LINE__, Text("abc"), VT_I4, kMismatch, {}},
      {__LINE__, Text(""), VT_I4, kMismatch, {}},
      {__LINE__, Text("1.2.3"), VT_I4, kMismatch, {}},
      {__LINE__, Text("1 2"), VT_I4, kMismatch, {}},
      {__LINE__, Text("1e"), VT_I4, kMismatch, {}},
      {__LINE__, Text("."), VT_I4, kMismatch, {}},
      {__LINE__, Text("0x10"), VT_I4, kMismatch, {}},
      // Other widths.
      {__LINE__, I4(40000), VT_I2, kOverflow, {}},
      {__LINE__, Text("-32768"), VT_I2, kOk, I2(-32768)},
      {__LINE__, I4(-1), VT_UI1, kOverflow, {}},
      {__LINE__, I4(255), VT_UI1, kOk, UI1(255)},
      {__LINE__, Bool(true), VT_UI1, kOk, UI1(255)},
      {__LINE__, Text("9223372036854775807"), VT_I8, kOk, I8(INT64_MAX)},
      {__LINE__, Text("-9223372036854775808"), VT_I8, kOk, I8(INT64_MIN)},
      {__LINE__, Text("9223372036854775808"), VT_I8, kOverflow, {}},
      {__LINE__, UI8(UINT64_MAX), VT_I8, kOverflow, {}},
      {__LINE__, Text("18446744073709551615"), VT_UI8, kOk, UI8(UINT64_MAX)},
      {__LINE__, R8(1e19), VT_I8, kOverflow, {}},
  });
}

TEST(VariantChangeType, ToRealCurrencyAndBoolean) {
  RunCases({
      {__LINE__, Text("1,5"), VT_R8, kOk, R8(1.5)},
      {__LINE__, Text("  -0.25\t"), VT_R8, kOk, R8(-0.25)},
      {__LINE__, Text("1,5E3"), VT_R8, kOk, R8(1500)},
      {__LINE__, Text("1e400"), VT_R8, kOverflow, {}},
      {__LINE__, Text("1,2,3"), VT_R8, kMismatch, {}},
      {__LINE__, CY(12345), VT_R8, kOk, R8(1.2345)},
      {__LINE__, Bool(true), VT_R8, kOk, R8(-1)},
      {__LINE__, I8(1LL << 53), VT_R8, kOk, R8(9007199254740992.0)},
      {__LINE__, Date(45000.75), VT_R8, kOk, R8(45000.75)},
      {__LINE__, Empty(), VT_R8, kOk, R8(0)},
      {__LINE__, R8(1e300), VT_R4, kOverflow, {}},
      {__LINE__, Text("1,5"), VT_R4, kOk, R4(1.5f)},
      {__LINE__, R8(1.23456), VT_CY, kOk, CY(12346)},
      {__LINE__, R8(-1.23456), VT_CY, kOk, CY(-12346)},
      {__LINE__, Text("1,5"), VT_CY, kOk, CY(15000)},
      {__LINE__, Text("12345678901234"), VT_CY, kOk, CY(123456789012340000LL)},
      {__LINE__, I4(5), VT_CY, kOk, CY(50000)},
      {__LINE__, I8(INT64_MAX), VT_CY, kOverflow, {}},
      {__LINE__, R8(1e300), VT_CY, kOverflow, {}},
      {__LINE__, I4(5), VT_BOOL, kOk, Bool(true)},
      {__LINE__, I4(0), VT_BOOL, kOk, Bool(false)},
      {__LINE__, R8(0.1), VT_BOOL, kOk, Bool(true)},
      {__LINE__, CY(1), VT_BOOL, kOk, Bool(true)},
      {__LINE__, Text("True"), VT_BOOL, kOk, Bool(true)},
      {__LINE__, Text(" tRUE "), VT_BOOL, kOk, Bool(true)},
      {__LINE__, Text("false"), VT_BOOL, kOk, Bool(false)},
      {__LINE__, Text("0"), VT_BOOL, kOk, Bool(false)},
      {__LINE__, Text("-2,5"), VT_BOOL, kOk, Bool(true)},
      {__LINE__, Text("yes"), VT_BOOL, kMismatch, {}},
      {__LINE__, Empty(), VT_BOOL, kOk, Bool(false)},
      {__LINE__, Null(), VT_BOOL, kMismatch, {}},
  });
}

TEST(VariantChangeType, ToTextInTheProcessFormats) {
  RunCases({
      {__LINE__, I4(-12), VT_BSTR, kOk, Text("-12")},
      {__LINE__, UI8(UINT64_MAX), VT_BSTR, kOk, Text("18446744073709551615")},
      {__LINE__, I8(INT64_MIN), VT_BSTR, kOk, Text("-9223372036854775808")},
      {__LINE__, R8(1.5), VT_BSTR, kOk, Text("1,5")},
      {__LINE__, R8(-1.5), VT_BSTR, kOk, Text("-1,5")},
      {__LINE__, R8(3), VT_BSTR, kOk, Text("3")},
      {__LINE__, R8(0), VT_BSTR, kOk, Text("0")},
      {__LINE__, R8(1e20), VT_BSTR, kOk, Text("1E20")},
      {__LINE__, R8(1e15), VT_BSTR, kOk, Text("1E15")},
      {__LINE__, R8(123456789012345.0), VT_BSTR, kOk, Text("123456789012345")},
      {__LINE__, R8(0.0001), VT_BSTR, kOk, Text("0,0001")},
      {__LINE__, R8(1e-5), VT_BSTR, kOk, Text("1E-5")},
      {__LINE__, R8(-1.5e-7), VT_BSTR, kOk, Text("-1,5E-7")},
      {__LINE__, R8(1.0 / 3), VT_BSTR, kOk, Text("0,333333333333333")},
      {__LINE__, R8(0.1 + 0.2), VT_BSTR, kOk, Text("0,3")},
      {__LINE__, R8(2.0 / 3 * 1e20), VT_BSTR, kOk, Text("6,66666666666667E19")},
      {__LINE__, R8(std::numeric_limits<double>::infinity()), VT_BSTR, kOk, Text("INF")},
      {__LINE__, R4(0.1f), VT_BSTR, kOk, Text("0,1")},
      {__LINE__, CY(15000), VT_BSTR, kOk, Text("1,5")},
      {__LINE__, CY(-123456), VT_BSTR, kOk, Text("-12,3456")},
      {__LINE__, CY(30000), VT_BSTR, kOk, Text("3")},
      {__LINE__, CY(INT64_MIN), VT_BSTR, kOk, Text("-922337203685477,5808")},
      {__LINE__, Date(45000), VT_BSTR, kOk, Text("15.03.2023")},
      {__LINE__, Date(45000.75), VT_BSTR, kOk, Text("15.03.2023 18:00:00")},
      {__LINE__, Date(0.5), VT_BSTR, kOk, Text("12:00:00")},
      {__LINE__, Date(0), VT_BSTR, kOk, Text("30.12.1899")},
      {__LINE__, Date(-1.25), VT_BSTR, kOk, Text("29.12.1899 06:00:00")},
      {__LINE__, Date(2.0 / 86400 + 1 - 1e-12), VT_BSTR, kOk, Text("31.12.1899 00:00:02")},
      {__LINE__, Date(45000.9999999999), VT_BSTR, kOk, Text("16.03.2023")},
      {__LINE__, Date(1e10), VT_BSTR, kOverflow, {}},
      {__LINE__, Bool(true), VT_BSTR, kOk, Text("True")},
      {__LINE__, Bool(false), VT_BSTR, kOk, Text("False")},
      {__LINE__, Empty(), VT_BSTR, kOk, Text("")},
      {__LINE__, Null(), VT_BSTR, kMismatch, {}},
  });
}

TEST(VariantChangeType, ToDate) {
  RunCases({
      {__LINE__, Text("15.03.2023"), VT_DATE, kOk, Date(45000)},
      {__LINE__, Text(" 15.03.2023 18:00 "), VT_DATE, kOk, Date(45000.75)},
      {__LINE__, Text("1.1.1900 06:00:00"), VT_DATE, kOk, Date(2.25)},
      {__LINE__, Text("12:00"), VT_DATE, kOk, Date(0.5)},
      {__LINE__, Text("29.12.1899 06:00"), VT_DATE, kOk, Date(-1.25)},
      {__LINE__, Text("29.02.2024"), VT_DATE, kOk, Date(45351)},
      {__LINE__, Text("29.02.2023"), VT_DATE, kMismatch, {}},
      {__LINE__, Text("31.04.2023"), VT_DATE, kMismatch, {}},
      {__LINE__, Text("15.03.2023 24:00"), VT_DATE, kMismatch, {}},
      {__LINE__, Text("15.03.23"), VT_DATE, kMismatch, {}},
      {__LINE__, Text("15.03.2023x"), VT_DATE, kMismatch, {}},
      {__LINE__, Text("45000"), VT_DATE, kMismatch, {}},
      {__LINE__, I4(2), VT_DATE, kOk, Date(2)},
      {__LINE__, R8(1e10), VT_DATE, kOverflow, {}},
      {__LINE__, Empty(), VT_DATE, kOk, Date(0)},
  });
}

TEST(VariantChangeType, ReadsThroughReferences) {
  int32_t number = 12;
  BSTR text = SysAllocString(u"3,5");
  OleVariant inner(2.5);
  VARIANT refNumber{}, refText{}, refVariant{};
  refNumber.vt = VT_I4 | VT_BYREF;
  refNumber.plVal = &number;
  refText.vt = VT_BSTR | VT_BYREF;
  refText.pbstrVal = &text;
  refVariant.vt = VT_VARIANT | VT_BYREF;
  refVariant.pvarVal = &inner.get();

  OleVariant out;
  ASSERT_EQ(VariantChangeType(out.put(), &refNumber, 0, VT_BSTR), S_OK);
  EXPECT_EQ(VarToText(out), "12");
  ASSERT_EQ(VariantChangeType(out.put(), &refText, 0, VT_I4), S_OK);
  EXPECT_EQ(out.get().lVal, 4);
  ASSERT_EQ(VariantChangeType(out.put(), &refText, 0, VT_BSTR), S_OK);
  EXPECT_NE(out.get().bstrVal, text);  // a copy, not the referenced string
  ASSERT_EQ(VariantChangeType(out.put(), &refVariant, 0, VT_I4), S_OK);
  EXPECT_EQ(out.get().lVal, 2);
  SysFreeString(text);

  // In place, dest == src.
  OleVariant value("17");
  ASSERT_EQ(VariantChangeType(&value.get(), &value.get(), 0, VT_I4), S_OK);
  EXPECT_EQ(value.Type(), VT_I4);
  EXPECT_EQ(value.get().lVal, 17);
}

TEST(VariantChangeType, ObjectsAndArraysConvertOnlyAmongThemselves) {
  ComPtr<ITestFoo> object = MakeCom<TestObject>();
  OleVariant unknown(static_cast<IUnknown*>(static_cast<ITestBar*>(object.as<ITestBar>().get())));
  OleVariant out;
  ASSERT_EQ(VariantChangeType(out.put(), &unknown.get(), 0, VT_DISPATCH), S_OK);
  EXPECT_EQ(static_cast<void*>(out.get().pdispVal), static_cast<void*>(object.get()));
  EXPECT_EQ(VariantChangeType(out.put(), &unknown.get(), 0, VT_I4), DISP_E_TYPEMISMATCH);

  ComPtr<IErrorInfo> noDispatch;
  SetErrorInfoText("x", nullptr);
  GetErrorInfo(0, noDispatch.put());
  OleVariant plain(static_cast<IUnknown*>(noDispatch.get()));
  EXPECT_EQ(VariantChangeType(out.put(), &plain.get(), 0, VT_DISPATCH), DISP_E_TYPEMISMATCH);

  OleVariant array = OleVariant::AdoptArray(SafeArrayCreateVector(VT_I4, 0, 1));
  EXPECT_EQ(VariantChangeType(out.put(), &array.get(), 0, VT_BSTR), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(VariantChangeType(out.put(), &array.get(), 0, VT_ARRAY | VT_R8), DISP_E_TYPEMISMATCH);
  ASSERT_EQ(VariantChangeType(out.put(), &array.get(), 0, VT_ARRAY | VT_I4), S_OK);
  EXPECT_NE(out.get().parray, array.get().parray);
  EXPECT_EQ(VariantChangeType(out.put(), &array.get(), 0, VT_I4 | VT_BYREF),
            static_cast<HRESULT>(0x80020008u));
}

TEST(VarTo, RaiseDelphiTexts) {
  struct Case {
    OleVariant value;
    std::function<void(const VARIANT&)> convert;
    const char* message;
  };
  VARIANT badType{};
  badType.vt = 0x0FFF;
  const Case cases[] = {
      {Text("abc"), [](const VARIANT& v) { VarToInt32(v); },
       "Could not convert variant of type (String) into type (Integer)"},
      {R8(1e10), [](const VARIANT& v) { VarToInt32(v); },
       "Overflow while converting variant of type (Double) into type (Integer)"},
      {Null(), [](const VARIANT& v) { VarToDouble(v); },
       "Could not convert variant of type (Null) into type (Double)"},
      {Text("maybe"), [](const VARIANT& v) { VarToBool(v); },
       "Could not convert variant of type (String) into type (Boolean)"},
      {OleVariant::AdoptArray(SafeArrayCreateVector(VT_VARIANT, 0, 1)),
       [](const VARIANT& v) { VarToText(v); },
       "Could not convert variant of type (Array Variant) into type (String)"},
      {OleVariant(), [&badType](const VARIANT&) { VarToInt32(badType); },
       "Invalid variant type conversion"},
  };
  for (const Case& c : cases) {
    try {
      c.convert(c.value.get());
      ADD_FAILURE() << "no exception for " << c.message;
    } catch (const VariantError& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
  EXPECT_EQ(VarToText(Null()), "");
  EXPECT_EQ(VarToText(R8(2.5)), "2,5");
  EXPECT_EQ(VarToInt32(Text("2,5")), 2);
  EXPECT_EQ(VarToInt64(Text("-9000000000")), -9000000000LL);
  EXPECT_EQ(VarToDouble(Text("1.25")), 1.25);
  EXPECT_TRUE(VarToBool(Text("True")));
  EXPECT_EQ(VarTypeName(VT_BYREF | VT_ARRAY | VT_I2), "ByRef Array Smallint");
  EXPECT_EQ(VarTypeName(0x0018), "$0018");
}

TEST(VarFormat, TextToFloatAndDateRoundTrip) {
  double value = 0;
  EXPECT_TRUE(TextToFloat("1,5", value));
  EXPECT_EQ(value, 1.5);
  EXPECT_FALSE(TextToFloat("1,5x", value));
  for (double d : {0.1, 1.0 / 3, 123456.789, 1e-300, -2.5e100}) {
    ASSERT_TRUE(TextToFloat(FloatToText(d), value)) << d;
    EXPECT_NEAR(value, d, std::fabs(d) * 1e-14) << FloatToText(d);
  }
  for (double date : {45000.0, 45000.5, 0.25, -1.75, -657434.0, 2958465.0}) {
    std::string text;
    ASSERT_TRUE(DateTimeToText(date, text)) << date;
    double back = 0;
    ASSERT_TRUE(TextToDateTime(text, back)) << text;
    EXPECT_NEAR(back, date, 1e-9) << text;
  }
}

}  // namespace
