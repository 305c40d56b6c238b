#include "host/JsonVariant.h"

#include <gtest/gtest.h>

#include "host/HostError.h"
#include "host/ValueArrays.h"
#include "tests/host/HostTestObjects.h"
#include "tests/support/TempDir.h"

namespace labelplu::host {
namespace {

using nlohmann::json;
using ole::ComPtr;
using ole::OleVariant;

std::string Shown(const VARIANT& v) {
  return VariantToJson(v).dump(-1, ' ', false);
}

// The message of the HostError that body raises ("" when none).
template <class F>
std::string ErrorOf(F&& body) {
  try {
    body();
  } catch (const HostError& e) {
    return e.what();
  }
  return "";
}

class JsonVariantTest : public ::testing::Test {
 protected:
  test::TableClass m_tables;
  test::TempDir m_dir;
};

TEST_F(JsonVariantTest, ArgumentsTakeTheirVariantTypes) {
  const struct {
    const char* json;
    VARTYPE vt;
    const char* back;  // VariantToJson of the result
  } cases[] = {
      {"5", VT_I4, "5"},
      {"-2147483648", VT_I4, "-2147483648"},
      {"2147483647", VT_I4, "2147483647"},
      {"2147483648", VT_I8, "2147483648"},
      {"-2147483649", VT_I8, "-2147483649"},
      {"9223372036854775807", VT_I8, "9223372036854775807"},
      {"1.5", VT_R8, "1.5"},
      {"1e3", VT_R8, "1000.0"},
      {"\"Ёлка \\u2116\"", VT_BSTR, "\"Ёлка №\""},
      {"\"\"", VT_BSTR, "\"\""},
      {"true", VT_BOOL, "true"},
      {"false", VT_BOOL, "false"},
      {"null", VT_EMPTY, "null"},
      {"[]", VT_DISPATCH, "[]"},
      {"[[1,\"a\"],[true]]", VT_DISPATCH, "[[1,\"a\"],[true,null]]"},
      {"[[],[1,2,3]]", VT_DISPATCH, "[[null,null,null],[1,2,3]]"},
      {"[[[[7]],2.5]]", VT_DISPATCH, "[[[[7]],2.5]]"},
  };
  for (const auto& c : cases) {
    const OleVariant v = JsonToVariant(json::parse(c.json));
    EXPECT_EQ(v.Type(), c.vt) << c.json;
    EXPECT_EQ(Shown(v), c.back) << c.json;
  }
  EXPECT_EQ(JsonToVariant(json(true)).get().boolVal, VARIANT_TRUE);
}

TEST_F(JsonVariantTest, BadArgumentsAreRefusedWithAReason) {
  std::string deep(200, '[');
  deep += std::string(200, ']');
  const struct {
    std::string json;
    const char* message;
  } cases[] = {
      {"18446744073709551615", "the integer 18446744073709551615 does not fit 64 bits"},
      {"[1,2]",
       "an array argument is a table: an array of rows, each an array of cells; 1 is not a row"},
      {"[[1],\"x\"]", "\"x\" is not a row"},
      {"{\"x\":1}",
       "an object argument is {\"file\": PATH}, {\"csv\": PATH} or {\"storage\": PATH}, not "
       "{\"x\":1}"},
      {"{\"file\":\"a\",\"csv\":\"b\"}", "an object argument is"},
      {"{}", "an object argument is"},
      {"{\"file\":5}", "{\"file\": PATH} needs the path as a string, not 5"},
      {"{\"csv\":\"\"}", "{\"csv\": PATH} needs a path, not an empty string"},
      {deep, "values nested deeper than 64 levels"},
  };
  for (const auto& c : cases) {
    const std::string message = ErrorOf([&] { JsonToVariant(json::parse(c.json)); });
    EXPECT_NE(message.find(c.message), std::string::npos) << c.json << " gave: " << message;
  }
}

TEST_F(JsonVariantTest, FileArgumentIsItsTextFromTheBaseFolder) {
  m_dir.Write("note.txt", "Привет,\r\nмир\n");
  const OleVariant v = JsonToVariant(json::parse(R"({"file": "note.txt"})"), m_dir.Path());
  ASSERT_EQ(v.Type(), VT_BSTR);
  EXPECT_EQ(ole::BstrToUtf8(v.get().bstrVal), "Привет,\r\nмир\n");

  const std::string message =
      ErrorOf([&] { JsonToVariant(json::parse(R"({"file": "gone.txt"})"), m_dir.Path()); });
  EXPECT_NE(message.find((m_dir.Path() / "gone.txt").string()), std::string::npos) << message;
  EXPECT_NE(ErrorOf([&] {
              JsonToVariant(json{{"file", m_dir.Path().string()}});
            }).find("not a regular file"),
            std::string::npos);
}

TEST_F(JsonVariantTest, CsvArgumentIsATableOfEveryRow) {
  const auto path = m_dir.Write("data.csv", "Name,Price\r\n\"Чай, зелёный\",12.50\r\nSugar\r\n");
  const OleVariant v = JsonToVariant(json{{"csv", path.string()}});
  EXPECT_EQ(Shown(v), R"([["Name","Price"],["Чай, зелёный","12.50"],["Sugar",null]])");

  m_dir.Write("bad.csv", "a,b\nc\"d\n");
  EXPECT_EQ(ErrorOf([&] {
              JsonToVariant(json{{"csv", "bad.csv"}}, m_dir.Path());
            }),
            "CSV file \"" + (m_dir.Path() / "bad.csv").string() +
                "\", line 2: a quote inside an unquoted field");
}

// A script's CSV value reads as print reads its data: Windows-1251 when it
// is not UTF-8, ';' judged by the header, blanks outside quotes dropped.
TEST_F(JsonVariantTest, CsvArgumentReadsSpreadsheetFilesAsPrintDoes) {
  m_dir.Write("win.csv",
              "\xCD\xE0\xE8\xEC\xE5\xED\xEE\xE2\xE0\xED\xE8\xE5; "
              "\xD6\xE5\xED\xE0\r\n\xD5\xEB\xE5\xE1; 45\r\n");
  EXPECT_EQ(Shown(JsonToVariant(json{{"csv", "win.csv"}}, m_dir.Path())),
            R"([["Наименование","Цена"],["Хлеб","45"]])");
}

TEST_F(JsonVariantTest, OversizedTablesAreRefused) {
  // 3000 rows of which one has 3000 cells: 9 million cells from 6 KB.
  std::string text(2999, ',');
  text += std::string(2999, '\n') + "x";
  m_dir.Write("wide.csv", text);
  EXPECT_NE(ErrorOf([&] {
              JsonToVariant(json{{"csv", "wide.csv"}}, m_dir.Path());
            }).find("too large"),
            std::string::npos);
}

TEST_F(JsonVariantTest, StorageArgumentNeedsAnExistingFile) {
  EXPECT_EQ(ErrorOf([&] {
              JsonToVariant(json{{"storage", "none.dat"}}, m_dir.Path());
            }),
            "storage file \"" + (m_dir.Path() / "none.dat").string() + "\" does not exist");
}

TEST(JsonVariant, ValueArraysNeedTheAnnouncedClass) {
  const std::string message = ErrorOf([] { JsonToVariant(json::parse("[[1]]")); });
  EXPECT_NE(message.find("cannot create a value array"), std::string::npos) << message;
  EXPECT_NE(message.find("0x80040154"), std::string::npos) << message;
}

OleVariant Typed(VARTYPE vt, auto assign) {
  OleVariant v;
  v.get().vt = vt;
  assign(v.get());
  return v;
}

TEST_F(JsonVariantTest, ValuesShowAsJson) {
  ComPtr<IErrorInfo> info;
  SetErrorInfoText("x", nullptr);
  GetErrorInfo(0, info.put());
  int32_t referenced = 42;
  OleVariant inner(std::string_view("inner"));

  const struct {
    OleVariant value;
    const char* json;
  } cases[] = {
      {OleVariant(), "null"},
      {OleVariant::Null(), "null"},
      {Typed(VT_I1, [](VARIANT& v) { v.cVal = -5; }), "-5"},
      {Typed(VT_I2, [](VARIANT& v) { v.iVal = -300; }), "-300"},
      {OleVariant(int32_t{-7}), "-7"},
      {OleVariant::FromInt64(-5000000000), "-5000000000"},
      {Typed(VT_UI1, [](VARIANT& v) { v.bVal = 200; }), "200"},
      {Typed(VT_UI2, [](VARIANT& v) { v.uiVal = 65535; }), "65535"},
      {Typed(VT_UI4, [](VARIANT& v) { v.ulVal = 4000000000u; }), "4000000000"},
      {Typed(VT_UI8, [](VARIANT& v) { v.ullVal = 18446744073709551615u; }), "18446744073709551615"},
      {Typed(VT_ERROR, [](VARIANT& v) { v.scode = 5; }), "5"},
      {Typed(VT_R4, [](VARIANT& v) { v.fltVal = 1.5f; }), "1.5"},
      {OleVariant(0.25), "0.25"},
      {OleVariant::FromCurrency(125000), "12.5"},
      {OleVariant::FromDate(2.0), "\"01.01.1900\""},
      {OleVariant::FromDate(2.75), "\"01.01.1900 18:00:00\""},
      {OleVariant(true), "true"},
      {OleVariant(false), "false"},
      {OleVariant(std::string_view("Код №4")), "\"Код №4\""},
      {Typed(VT_I4 | VT_BYREF, [&](VARIANT& v) { v.plVal = &referenced; }), "42"},
      {Typed(VT_VARIANT | VT_BYREF, [&](VARIANT& v) { v.pvarVal = &inner.get(); }), "\"inner\""},
      {OleVariant(static_cast<IDispatch*>(nullptr)), "null"},
      {OleVariant(static_cast<IDispatch*>(ole::MakeCom<test::XmlDocument>("<a>я</a>").get())),
       R"({"document":"<a>я</a>"})"},
      {OleVariant(static_cast<IDispatch*>(ole::MakeCom<test::MemoryTable>().get())), "[]"},
      {OleVariant(static_cast<IUnknown*>(info.get())), R"({"object":null})"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Shown(c.value), c.json) << "variant type " << c.value.Type();
  }
}

TEST_F(JsonVariantTest, ArraysNestWithTheFirstDimensionOutermost) {
  const SAFEARRAYBOUND bounds[2] = {{2, 1}, {3, 0}};
  SAFEARRAY* psa = SafeArrayCreate(VT_I4, 2, bounds);
  for (int32_t i = 1; i <= 2; ++i) {
    for (int32_t j = 0; j < 3; ++j) {
      const int32_t at[2] = {i, j};
      const int32_t value = 10 * i + j;
      ASSERT_EQ(SafeArrayPutElement(psa, at, &value), S_OK);
    }
  }
  EXPECT_EQ(Shown(OleVariant::AdoptArray(psa)), "[[10,11,12],[20,21,22]]");

  SAFEARRAY* texts = SafeArrayCreateVector(VT_VARIANT, 0, 2);
  const int32_t second = 1;
  const OleVariant word(std::string_view("b"));
  SafeArrayPutElement(texts, &second, &word.get());
  EXPECT_EQ(Shown(OleVariant::AdoptArray(texts)), "[null,\"b\"]");
}

TEST_F(JsonVariantTest, ValueArrayCellsNestAndACycleIsRefused) {
  ComPtr<ISafeArray> table = NewValueArray(1, 2);
  ComPtr<ISafeArray> inner = NewValueArray(1, 1);
  SetCell(inner.get(), 0, 0, OleVariant(std::string_view("in")));
  SetCell(table.get(), 0, 1, OleVariant(static_cast<IDispatch*>(inner.get())));
  const OleVariant value(static_cast<IDispatch*>(table.get()));
  EXPECT_EQ(Shown(value), R"([[null,[["in"]]]])");

  SetCell(inner.get(), 0, 0, value);  // table -> inner -> table
  EXPECT_EQ(ErrorOf([&] { VariantToJson(value); }), "values nested deeper than 64 levels");
  SetCell(inner.get(), 0, 0, OleVariant());  // breaks the cycle
}

TEST_F(JsonVariantTest, TypesWithoutJsonFormAreNamed) {
  OleVariant v;
  v.get().vt = VT_VARIANT;
  EXPECT_EQ(ErrorOf([&] { VariantToJson(v); }), "a value of variant type Variant has no JSON form");
  v.get().vt = VT_EMPTY;
}

}  // namespace
}  // namespace labelplu::host
