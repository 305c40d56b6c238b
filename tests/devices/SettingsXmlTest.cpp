// The vocabulary of the settings documents: keys and their errors, documents
// by key, name spellings and the text helpers of stored values.
#include <gtest/gtest.h>

#include "devices/SettingsXml.h"
#include "labelplu/errors.h"
#include "platform/xml/XmlHelpers.h"

using namespace labelplu;
using labelplu::ole::OleVariant;

namespace {

// The message of the EProtectException 20000 that body raises.
template <class F>
std::string Error20000(F&& body) {
  try {
    body();
  } catch (const EProtectException& e) {
    EXPECT_EQ(e.Code, 20000);
    return e.what();
  }
  ADD_FAILURE() << "no error";
  return {};
}

TEST(SettingsXml, VocabularyKeys) {
  EXPECT_EQ(GetNodeName(0), "Параметр");
  EXPECT_EQ(GetNodeName(29), "/Система/КлассыОборудования/КлассОборудования%s/Модель");
  EXPECT_EQ(GetNodeName(32), "/Система/Author");
  EXPECT_EQ(GetAttrName(102), "Зна4ение");
  EXPECT_EQ(GetAttrName(130), "Preference");
  for (const TagEntry& item : NodeNames())
    if (item.Index >= 0) {
      EXPECT_EQ(GetNodeName(item.Index), item.Name);
    }

  const std::string nodeRange = "Индекс имени узла за пределами границы.";
  const std::string nodeGap = "Нарушение индекса списка имени узлов";
  const std::string attrRange = "Индекс имени аттрибута за пределами границы.";
  const std::string attrGap = "Нарушение индекса списка имени аттрибутов";
  struct Case {
    bool node;
    int32_t key;
    const std::string& text;
  };
  const Case cases[] = {{true, 34, nodeRange},   {true, -1, nodeRange}, {true, 3, nodeGap},
                        {true, 33, nodeGap},     {true, 30, nodeGap},   {false, 99, attrRange},
                        {false, 131, attrRange}, {false, 0, attrRange}, {false, 110, attrGap},
                        {false, 116, attrGap}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(Error20000([&] { c.node ? GetNodeName(c.key) : GetAttrName(c.key); }), c.text);
  }
}

TEST(SettingsXml, DocumentsByKey) {
  xml::XmlDocument doc = xml::NewXmlDocument("Модель", xml::Utf16Declaration());
  xml::XmlNode params = doc.documentElement().appendChild(CreateElementByTag(doc, NodeKey::Params));
  xml::XmlNode param = params.appendChild(CreateElementByTag(doc, NodeKey::Param));
  SetAttributesByTag(
      param, {AttrKey::Identifier, AttrKey::Name, AttrKey::ReadOnly, AttrKey::DefaultValue},
      {OleVariant("Порт"), OleVariant("Порт связи"), OleVariant(true), OleVariant(int32_t(3))});
  EXPECT_EQ(params.xml(),
            "<Параметры><Параметр Идентификатор=\"Порт\" Наименование=\"Порт связи\" "
            "ФлагТолько4тение=\"-1\" Зна4ениеПоУмол4анию=\"3\"/></Параметры>");

  EXPECT_EQ(SelectNodesByTag(doc.documentElement(), NodeKey::ChildParams).length(), 1);
  EXPECT_EQ(SelectNodesByTag(doc, NodeKey::AnyParams, "[@Идентификатор=\"Порт\"]").length(), 1);
  EXPECT_EQ(SelectNodesByTag(doc, NodeKey::AnyParams, "[@Идентификатор=\"Нет\"]").length(), 0);
  EXPECT_EQ(GetAttributeByTag(SelectSingleNodeByTag(doc, NodeKey::AnyParams), AttrKey::Name),
            "Порт связи");
  EXPECT_EQ(GetAttributeByTag(param, AttrKey::Description, "нет"), "нет");
  EXPECT_EQ(GetAttributeByTag(xml::XmlNode(), AttrKey::Code, "d"), "d");
  EXPECT_EQ(GetAttributeDef(param, "Тип", "t"), "t");
  EXPECT_EQ(GetAttributeDef(param, "Идентификатор", "t"), "Порт");
  EXPECT_TRUE(SelectSingleNodeByTag(doc, NodeKey::AnyDevice).isNull());
  Error20000([&] { GetAttributeByTag(xml::XmlNode(), 99, ""); });

  // The format key receives a predicate.
  xml::XmlDocument system;
  system.loadXML(
      "<Система><КлассыОборудования><КлассОборудования "
      "Идентификатор=\"A\"><Модель/></КлассОборудования>"
      "<КлассОборудования Идентификатор=\"B\"><Модель/><Модель/></КлассОборудования>"
      "</КлассыОборудования></Система>");
  EXPECT_EQ(
      SelectNodesByTag(system, NodeKey::ClassModelsFormat, "", "[@Идентификатор=\"B\"]").length(),
      2);
  EXPECT_EQ(SelectNodesByTag(system, NodeKey::ClassModelsFormat, "[1]", "").length(), 2);
  EXPECT_EQ(SelectNodesByTag(system, NodeKey::SystemModels, "", "ignored").length(), 3);
}

TEST(SettingsXml, SetAttributesByTagFailures) {
  xml::XmlDocument doc = xml::NewXmlDocument("a", "");
  xml::XmlNode a = doc.documentElement();
  EXPECT_EQ(Error20000([&] {
              SetAttributesByTag(a, {100, 101}, {OleVariant("x")});
            }),
            "Размерности массивов аттрибутов и значений не совпадают");
  EXPECT_FALSE(a.getAttribute("Код"));
  EXPECT_EQ(Error20000([&] {
              SetAttributesByTag(
                  a, {100, 101, 99, 103},
                  {OleVariant("1"), OleVariant("2"), OleVariant("3"), OleVariant("4")});
            }),
            "Индекс имени аттрибута за пределами границы.");
  EXPECT_EQ(a.xml(), "<a Код=\"1\" Идентификатор=\"2\"/>");
}

TEST(SettingsXml, NameSpelling) {
  std::string text =
      "<Параметр Значение=\"Значение\" ЗначениеПоУмолчанию=\"1\" "
      "ФлагТолькоЧтение=\"0\">Значение</Параметр>";
  ConvertNameSpelling(text, 0);
  EXPECT_EQ(text,
            "<Параметр Зна4ение=\"Значение\" Зна4ениеПоУмол4анию=\"1\" "
            "ФлагТолько4тение=\"0\">Значение</Параметр>");
  ConvertNameSpelling(text, 1);
  EXPECT_EQ(text,
            "<Параметр Значение=\"Значение\" ЗначениеПоУмолчанию=\"1\" "
            "ФлагТолькоЧтение=\"0\">Значение</Параметр>");
  ConvertNameSpelling(text, 2);
  EXPECT_NE(text.find(" Значение="), std::string::npos);

  // Only names inside tags: values, text, comments, CDATA and declarations keep their letters.
  const std::string kept =
      "<?xml version=\"1.0\" a=\" Значение=\"?><!-- x Значение=1 --><a b=' Значение=\"1\"' "
      "c=\"x Значение=&quot;\"> Значение= <![CDATA[<x Значение=\"1\"/>]]></a>";
  for (const int mode : {0, 1}) {
    text = kept;
    ConvertNameSpelling(text, mode);
    EXPECT_EQ(text, kept);
  }
  text = "<a\tx=\"1\" Значение='>' ФлагТолькоЧтение=\"1\"/><b Значение=\"2\"/>";
  ConvertNameSpelling(text, 0);
  EXPECT_EQ(text, "<a\tx=\"1\" Зна4ение='>' ФлагТолько4тение=\"1\"/><b Зна4ение=\"2\"/>");
}

TEST(SettingsXml, EscapeNewLines) {
  struct Case {
    const char* text;
    bool encode;
    const char* result;
  };
  const Case cases[] = {
      {"a\r\nb\r\n", true, "a\\nb\\n"},
      {"a\nb\r", true, "a\nb\r"},
      {"a\\nb\\Nc", false, "a\r\nb\r\nc"},
      {"C:\\new\\file", false, "C:\\new\\file"},
      {"\\\\server\\new", false, "\\\\server\\new"},
      {"x:\\n", false, "x:\\n"},
      {"\\n", false, "\r\n"},
      {"", false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(EscapeNewLines(c.text, c.encode), c.result);
  }
}

TEST(SettingsXml, NormalizeGuidTextAndIndexOfInt) {
  const std::string plain = "0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9";
  EXPECT_EQ(NormalizeGuidText("  {0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}\t", true), plain);
  EXPECT_EQ(NormalizeGuidText("0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9", false), "{" + plain + "}");
  EXPECT_EQ(NormalizeGuidText("{" + plain + "}", false), "{" + plain + "}");
  EXPECT_EQ(NormalizeGuidText(plain, true), plain);
  EXPECT_EQ(NormalizeGuidText(" abc ", false), "ABC");
  const int32_t values[] = {4, 7, 4};
  EXPECT_EQ(IndexOfInt(values, 4), 0);
  EXPECT_EQ(IndexOfInt(values, 7), 1);
  EXPECT_EQ(IndexOfInt(values, 5), -1);
  EXPECT_EQ(IndexOfInt({}, 5), -1);
}

}  // namespace
