#include "devices/ParameterDescriptor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "devices/ParameterRecord.h"
#include "platform/ole/Variant.h"

namespace labelplu {
namespace {

ParameterDescriptor Descriptor(std::string type, std::string def) {
  ParameterDescriptor item;
  item.Name = "P";
  item.TypeName = std::move(type);
  item.DefaultText = std::move(def);
  item.ValueText = item.DefaultText;
  return item;
}

TEST(ParameterDescriptorTest, TypedValueConvertsByTypeAndFallsBackWithoutRaising) {
  const struct {
    const char* type;
    const char* def;
    const char* text;
    VARTYPE vt;
    double number;       // VT_I4, VT_R8, VT_BOOL (1/0)
    const char* string;  // VT_BSTR
  } cases[] = {
      {"Integer", "7", "12", VT_I4, 12, ""},
      {"integer", "7", "abc", VT_I4, 7, ""},
      {"Integer", "x", "abc", VT_I4, 0, ""},
      {"Integer", "", "  -5", VT_I4, -5, ""},
      {"Integer", "", "$1F", VT_I4, 31, ""},
      {"Integer", "3", "2147483648", VT_I4, 3, ""},
      {"Integer", "3", "1,5", VT_I4, 3, ""},
      {"Double", "", "1.5", VT_R8, 1.5, ""},
      {"Double", "", "1,5", VT_R8, 1.5, ""},
      {"Число", "", "-2,25E1", VT_R8, -22.5, ""},
      {"Double", "3,5", "abc", VT_R8, 3.5, ""},
      {"Double", "3.5", "", VT_R8, 3.5,
       ""},  // bad value: the default, read as TypedDefault reads it
      {"Double", "x", "1.2.3", VT_R8, 0, ""},
      {"Double", "", "inf", VT_R8, 0, ""},
      {"Boolean", "", "True", VT_BOOL, 1, ""},
      {"Boolean", "", "tRUE", VT_BOOL, 1, ""},
      {"Boolean", "True", "1", VT_BOOL, 0, ""},
      {"String", "", "a\\nb", VT_BSTR, 0, "a\r\nb"},
      {"Строка", "", "C:\\new", VT_BSTR, 0, "C:\\new"},
      {"Anything", "", "x\\Ny", VT_BSTR, 0, "x\r\ny"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " default '" + c.def + "' text '" + c.text + "'");
    const ParameterDescriptor item = Descriptor(c.type, c.def);
    const ole::OleVariant value = item.TypedValue(c.text);
    ASSERT_EQ(value.Type(), c.vt);
    switch (c.vt) {
      case VT_I4:
        EXPECT_EQ(value.get().lVal, static_cast<int32_t>(c.number));
        break;
      case VT_R8:
        EXPECT_DOUBLE_EQ(value.get().dblVal, c.number);
        break;
      case VT_BOOL:
        EXPECT_EQ(value.get().boolVal, c.number ? VARIANT_TRUE : VARIANT_FALSE);
        break;
      default:
        EXPECT_EQ(ole::VarToText(value), c.string);
    }
  }
}

TEST(ParameterDescriptorTest, TypedCurrentAndDefaultReadValueAndDefault) {
  ParameterDescriptor item = Descriptor("Integer", "4");
  item.SetValue("9");
  EXPECT_EQ(item.GetValue(), "9");
  EXPECT_EQ(item.TypedCurrent().get().lVal, 9);
  EXPECT_EQ(item.TypedDefault().get().lVal, 4);
}

TEST(ParameterDescriptorTest, DisplayTypeNamesOnlyThreeTypes) {
  const std::pair<const char*, const char*> cases[] = {
      {"Integer", "Число"}, {"INTEGER", "Число"}, {"Boolean", "Boolean"}, {"string", "Строка"},
      {"Double", ""},       {"Число", ""},        {"Строка", ""},         {"", ""}};
  for (const auto& [type, shown] : cases) {
    EXPECT_EQ(Descriptor(type, "").DisplayType(), shown) << type;
  }
}

TEST(ParameterDescriptorTest, AssignCopiesTheDescriptionAndStartsAtTheDefault) {
  ParameterDescriptor source;
  source.Name = "Использовать";
  source.AltName = "Usable";
  source.Caption = "Caption";
  source.TypeName = "Integer";
  source.ReadOnly = 1;
  source.DefaultText = "1";
  source.Hint = "hint";
  source.SetValue("0");

  ParameterDescriptor copy;
  copy.SetValue("stale");
  copy.Assign(source);
  EXPECT_EQ(copy.Name, source.Name);
  EXPECT_EQ(copy.AltName, source.AltName);
  EXPECT_EQ(copy.Caption, source.Caption);
  EXPECT_EQ(copy.TypeName, source.TypeName);
  EXPECT_EQ(copy.ReadOnly, 1);
  EXPECT_EQ(copy.DefaultText, "1");
  EXPECT_EQ(copy.Hint, "hint");
  EXPECT_EQ(copy.ValueText, "1");

  ParameterDescriptorList list;
  list.Add().Assign(source);
  list.Item(0).SetValue("5");
  ParameterDescriptorList copies;
  copies.Add().Name = "gone";
  copies.Assign(list);
  ASSERT_EQ(copies.Count(), 1);
  EXPECT_EQ(copies.Item(0).Name, "Использовать");
  EXPECT_EQ(copies.Item(0).ValueText, "1");
  EXPECT_THROW(copies.Item(1), std::out_of_range);
}

TEST(ParameterDescriptorTest, ParamsAreFoundByEitherNameWithCaseIgnored) {
  ParameterDescriptorList list;
  ParameterDescriptor& usable = list.Add();
  usable.Name = "Использовать";
  usable.AltName = "Usable";
  usable.ValueText = "1";
  ParameterDescriptor& shared = list.Add();
  shared.Name = "Неразделяемое";  // no alternative name
  shared.ValueText = "0";

  EXPECT_EQ(FindParam(list, "ИСПОЛЬЗОВАТЬ"), &usable);
  EXPECT_EQ(FindParam(list, "usable"), &usable);
  EXPECT_EQ(FindParam(list, "неразделяемое"), &shared);
  // An empty name must not hit a descriptor through its empty alternative name.
  EXPECT_EQ(FindParam(list, ""), nullptr);
  EXPECT_EQ(GetParamValue(list, "USABLE"), "1");
  EXPECT_EQ(GetParamValue(list, "missing"), "");

  SetParamValue(list, "usable", "0");
  EXPECT_EQ(usable.ValueText, "0");
  SetParamValue(list, "Новый", "x");
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Item(2).Name, "Новый");
  EXPECT_EQ(list.Item(2).ValueText, "x");
  EXPECT_EQ(list.Item(2).TypeName, "");

  ApplyParamLines(list, {"Usable=7", "Новый=a=b", "no equals sign", "=orphan", "Added="});
  EXPECT_EQ(usable.ValueText, "7");
  EXPECT_EQ(list.Item(2).ValueText, "a=b");
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Item(3).Name, "Added");
  EXPECT_EQ(list.Item(3).ValueText, "");
  EXPECT_EQ(shared.ValueText, "0");
}

TEST(ParameterDescriptorTest, RegisterParamAddsOrUpdatesByName) {
  const std::string longHint(300, 'h');
  std::string cyrillicHint;
  for (int i = 0; i < 300; ++i) cyrillicHint += "ж";
  const ParameterRecord first{"Использовать", "Usable", "Caption", "Integer", false, "1", longHint};
  const ParameterRecord again{"использовать", "", "Другая", "String", true, "x", cyrillicHint};
  ParameterDescriptorList list;
  ParameterDescriptor& item = RegisterParam(list, first);
  EXPECT_EQ(item.AltName, "Usable");
  EXPECT_EQ(item.ValueText, "1");
  EXPECT_EQ(item.Hint.size(), 255u);
  item.SetValue("0");

  ParameterDescriptor& updated = RegisterParam(list, again);
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(&updated, &item);
  EXPECT_EQ(item.Name, "использовать");
  EXPECT_EQ(item.AltName, "");
  EXPECT_EQ(item.Caption, "Другая");
  EXPECT_EQ(item.TypeName, "String");
  EXPECT_EQ(item.ReadOnly, 1);
  EXPECT_EQ(item.ValueText, "x");
  EXPECT_EQ(item.Hint.size(), 255u * 2);  // 255 two-byte characters
}

TEST(ParameterDescriptorTest, NumberTextsFollowTheProcessFormat) {
  const std::pair<const char*, std::optional<int32_t>> integers[] = {{"0", 0},
                                                                     {"+12", 12},
                                                                     {" 12", 12},
                                                                     {"12 ", std::nullopt},
                                                                     {"-2147483648", INT32_MIN},
                                                                     {"0x10", 16},
                                                                     {"$FFFFFFFF", -1},
                                                                     {"$100000000", std::nullopt},
                                                                     {"", std::nullopt},
                                                                     {"-", std::nullopt},
                                                                     {"1e3", std::nullopt}};
  for (const auto& [text, value] : integers) EXPECT_EQ(TryTextToInt(text), value) << text;

  const std::pair<const char*, std::optional<double>> floats[] = {{"1,5", 1.5},
                                                                  {" -0,5 ", -0.5},
                                                                  {"2e3", 2000.0},
                                                                  {",5", 0.5},
                                                                  {"1.5", std::nullopt},
                                                                  {"1e", std::nullopt},
                                                                  {"1,2,3", std::nullopt},
                                                                  {"nan", std::nullopt},
                                                                  {"1e999", std::nullopt},
                                                                  {"", std::nullopt}};
  for (const auto& [text, value] : floats) EXPECT_EQ(TryTextToFloat(text), value) << text;
}

}  // namespace
}  // namespace labelplu
