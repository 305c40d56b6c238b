// The XML document helpers: vocabulary keys and their errors, documents by
// key, name spellings, the pretty-printer and the text helpers.
#include <gtest/gtest.h>

#include "devices/XmlHelpers.h"
#include "labelplu/errors.h"

using namespace labelplu;
using labelplu::ole::OleVariant;

namespace {

// The message of the EProtectException 20000 that body raises.
template <class F>
std::string error20000(F&& body) {
  try {
    body();
  } catch (const EProtectException& e) {
    EXPECT_EQ(e.Code, 20000);
    return e.what();
  }
  ADD_FAILURE() << "no error";
  return {};
}

TEST(XmlHelpers, VocabularyKeys) {
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
    EXPECT_EQ(error20000([&] { c.node ? GetNodeName(c.key) : GetAttrName(c.key); }), c.text);
  }
}

TEST(XmlHelpers, NewDocumentWithDeclaration) {
  xml::XmlDocument doc = NewXmlDocument("Устройство", Utf16Declaration());
  EXPECT_EQ(doc.xml(), "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<Устройство/>\r\n");
  EXPECT_FALSE(doc.async());
  EXPECT_EQ(doc.getProperty("SelectionLanguage"), "XPath");
  EXPECT_EQ(NewXmlDocument("", "").xml(), "");
  EXPECT_EQ(NewXmlDocument("EquList", "").xml(), "<EquList/>\r\n");
}

TEST(XmlHelpers, DocumentsByKey) {
  xml::XmlDocument doc = NewXmlDocument("Модель", Utf16Declaration());
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
  error20000([&] { GetAttributeByTag(xml::XmlNode(), 99, ""); });

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

TEST(XmlHelpers, SetAttributesByTagFailures) {
  xml::XmlDocument doc = NewXmlDocument("a", "");
  xml::XmlNode a = doc.documentElement();
  EXPECT_EQ(error20000([&] {
              SetAttributesByTag(a, {100, 101}, {OleVariant("x")});
            }),
            "Размерности массивов аттрибутов и значений не совпадают");
  EXPECT_FALSE(a.getAttribute("Код"));
  EXPECT_EQ(error20000([&] {
              SetAttributesByTag(
                  a, {100, 101, 99, 103},
                  {OleVariant("1"), OleVariant("2"), OleVariant("3"), OleVariant("4")});
            }),
            "Индекс имени аттрибута за пределами границы.");
  EXPECT_EQ(a.xml(), "<a Код=\"1\" Идентификатор=\"2\"/>");
}

TEST(XmlHelpers, NameSpelling) {
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

TEST(XmlHelpers, FormatXmlText) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"<Label><Item Name=\"a\"/><Item><P>t</P></Item></Label>",
       "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<Label>\r\n\t<Item "
       "Name=\"a\"/>\r\n\t<Item>"
       "\r\n\t\t<P>t\r\n\t\t</P>\r\n\t</Item>\r\n</Label>"},
      {"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<a><b/></a>\r\n",
       "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<a>\r\n\t<b/>\r\n</a>"},
      {"<?xml version=\"1.0\"?><?app x?><a/>",
       "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n<?app x?>\r\n<a/>"},
      {"text ?> only", "text ?> only"},
      {"", "<?xml version=\"1.0\" encoding=\"windows-1251\"?>"},
      {"</a></b>", "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\r\n</a>\r\n</b>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    std::string text = c.in;
    FormatXmlText(text);
    EXPECT_EQ(text, c.out);
  }
}

TEST(XmlHelpers, ReplaceAll) {
  struct Case {
    const char* source;
    const char* pattern;
    const char* replacement;
    bool caseSensitive;
    const char* result;
  };
  const Case cases[] = {
      {"ab AB", "ab", "x", false, "x x"},
      {"ab AB", "ab", "x", true, "x AB"},
      {"жЖ ж", "ж", "z", false, "zЖ z"},
      {"aaaa", "aa", "b", true, "bb"},
      {"aaa", "aa", "b", true, "ba"},
      {"xyz", "q", "long replacement", false, "xyz"},
      {"a.b.c", ".", "<=>", false, "a<=>b<=>c"},
      {"abc", "abc", "", false, ""},
      {"", "a", "b", false, ""},
      {"hello world hello", "HELLO", "bye", false, "bye world bye"},
      {"short", "longer pattern", "x", false, "short"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    EXPECT_EQ(ReplaceAll(c.source, c.pattern, c.replacement, c.caseSensitive), c.result);
  }
  // Growth well beyond the first size.
  std::string many;
  std::string expected;
  for (int i = 0; i < 10000; ++i) {
    many += "a-";
    expected += "bcdef-";
  }
  EXPECT_EQ(ReplaceAll(many, "A", "bcdef"), expected);
  try {
    BuildShiftTable("", false);
    ADD_FAILURE() << "no error";
  } catch (const std::exception& e) {
    EXPECT_STREQ(e.what(), "BufferLen is 0");
  }
  const auto table = BuildShiftTable("abcab", false);
  EXPECT_EQ(table['A'], 1u);
  EXPECT_EQ(table['C'], 2u);
  EXPECT_EQ(table['B'], 3u);
  EXPECT_EQ(table['a'], 5u);
  EXPECT_EQ(UpperCaseTable()['z'], 'Z');
  EXPECT_EQ(UpperCaseTable()[0xD0], 0xD0);
}

TEST(XmlHelpers, EscapeNewLines) {
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

TEST(XmlHelpers, NormalizeGuidTextAndIndexOfInt) {
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
