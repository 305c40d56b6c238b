// The caption table, property text conversions and the class table.
#include <gtest/gtest.h>

#include "label/Cp1251.h"
#include "label/DataSources.h"
#include "label/EnumTypes.h"
#include "label/ItemClasses.h"
#include "label/Label.h"
#include "label/LabelItem.h"
#include "label/PropText.h"

using namespace labelplu;

namespace {

TEST(LabelTables, CaptionTableRowsAndLookups) {
  const auto rows = CaptionTable();
  ASSERT_EQ(rows.size(), 130u);
  EXPECT_EQ(rows[0].Key, "DS");
  EXPECT_EQ(rows[0].Caption, "Источник данных");
  EXPECT_EQ(rows[2].Key, "ValueFileName");
  EXPECT_EQ(rows[3].Key, "dsNone");
  EXPECT_EQ(rows[3].Caption, "- не указан -");
  EXPECT_EQ(rows[39].Key, "dsProp5");
  EXPECT_EQ(rows[129].Key, "AspectRatio");
  EXPECT_EQ(rows[129].Caption, "Строки/Колонки");
  ASSERT_EQ(DataSourceNames().size(), 37u);
  EXPECT_EQ(DataSourceNames()[dsSHK], "dsSHK");
  EXPECT_EQ(DataSourceNames()[dsProp5], "dsProp5");

  const std::pair<const char*, const char*> byCaption[] = {
      {"Штрихкод", "dsSHK"},
      {"ЦЕНА ЗА ЕДИНИЦУ ВЕСА", "dsPriceEd"},
      {"Цвет", "dsColor"},
      {"размер", "dsSize"},
      {"Наименование", "dsName"},
      {"Толщина линии", "PenWidth"},
      {"Ширина штриха (mils)", "BarWidth"},
      {"Значение", "Value"},
  };
  for (const auto& [caption, key] : byCaption) EXPECT_EQ(FindKeyByCaption(caption), key) << caption;
  EXPECT_FALSE(FindKeyByCaption("Нечто").has_value());
  ASSERT_NE(FindCaptionByKey("dsWeight"), nullptr);
  EXPECT_EQ(FindCaptionByKey("dsWeight")->Sample, "1.234");
  EXPECT_EQ(FindCaptionByKey("dsweight"), nullptr);  // keys are matched as written
}

TEST(LabelTables, NumberTexts) {
  const std::pair<double, const char*> reals[] = {
      {12.7, "12,7"}, {2.0, "2"},     {0.0005, "0,001"},    {-0.0001, "0"},
      {1e-4, "0"},    {-2.5, "-2,5"}, {58.12345, "58,123"}, {1234567.891, "1234567,891"}};
  for (const auto& [value, text] : reals) EXPECT_EQ(FormatRealText(value), text) << value;

  double d = 0;
  EXPECT_TRUE(ParseRealText(" 1.5 ", d));
  EXPECT_EQ(d, 1.5);
  for (const char* bad : {"", "1,2,3", "1.2.3", "abc", "1e999", "inf", "nan"})
    EXPECT_FALSE(ParseRealText(bad, d)) << bad;

  int64_t i = 0;
  EXPECT_TRUE(ParseIntegerText(" -12 ", i));
  EXPECT_EQ(i, -12);
  for (const char* bad : {"", "+", "++1", "1.0", "0x10", "12a", "99999999999999999999"})
    EXPECT_FALSE(ParseIntegerText(bad, i)) << bad;

  EXPECT_EQ(FindEnumName(FontStyleType(), " FSITALIC "), fsItalic);
  EXPECT_EQ(FindEnumName(RotationType(), "r45"), -1);
  EXPECT_EQ(FormatSetText(FontStyleType(), StyleBit(fsStrikeOut) | StyleBit(fsBold)),
            "fsBold,fsStrikeOut");
  EXPECT_EQ(FormatSetText(FontStyleType(), 0), "");
}

TEST(LabelTables, TheLabelPublishesItsSizeAndOrigin) {
  Label label;
  std::vector<std::string_view> names;
  for (const PropertyInfo& prop : label.Properties()) names.push_back(prop.Name);
  EXPECT_EQ(names, (std::vector<std::string_view>{"Height", "Width", "Left", "Top"}));
  SetPropText(&label, "width", "30.5");
  EXPECT_EQ(GetPropText(&label, "Width"), "30,5");
  EXPECT_EQ(GetPropText(&label, "Nothing"), "");
  EXPECT_EQ(GetPropText(nullptr, "Width"), "");
  EXPECT_THROW(SetPropText(&label, "Height", "2000"), PropertyError);
  EXPECT_EQ(label.Height(), 40.0);
}

TEST(LabelTables, Windows1251) {
  EXPECT_EQ(Cp1251ToUtf8("\xD6\xE5\xED\xE0 \xA8\xB8"), "Цена Ёё");
  EXPECT_EQ(Utf8ToCp1251Xml("Цена Ёё €"), "\xD6\xE5\xED\xE0 \xA8\xB8 \x88");
  EXPECT_EQ(Utf8ToCp1251Xml("a中b\xFF"), "a&#20013;b&#65533;");
  try {
    Cp1251ToUtf8("ab\x98");
    ADD_FAILURE() << "no error";
  } catch (const CodePageError& e) {
    EXPECT_EQ(e.Offset, 2u);
  }
}

TEST(LabelTables, ItemClassesAreFoundByTheirTemplateNameIgnoringCase) {
  const ItemFactory factory = [](Label&) -> std::unique_ptr<LabelItem> { return nullptr; };
  EXPECT_THROW(RegisterItemClass("", factory), std::invalid_argument);
  EXPECT_THROW(RegisterItemClass("Nothing", nullptr), std::invalid_argument);
  EXPECT_FALSE(FindItemClass("Nothing").has_value());
  EXPECT_TRUE(FindItemClass("probe").has_value());
  ASSERT_TRUE(FindItemClass("shk").has_value());
  EXPECT_EQ(FindItemClass("shk")->ClassName, "Shk");
  // The C++ class names are no template names.
  EXPECT_FALSE(FindItemClass("LinearBarcodeItem").has_value());
  EXPECT_FALSE(FindItemClass("TPrShk").has_value());
}

}  // namespace
