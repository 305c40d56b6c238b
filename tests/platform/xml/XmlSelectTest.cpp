// XPath 1.0 selections over the settings vocabulary, element search, and
// the errors of bad expressions.
#include <gtest/gtest.h>

#include "platform/xml/XmlDom.h"

using namespace labelplu::xml;

namespace {

const char* const kSystem =
    "<?xml version=\"1.0\" encoding=\"UTF-16\"?>"
    "<Система><КлассыОборудования>"
    "<КлассОборудования Идентификатор=\"Весы\">"
    "<Модель Код=\"{1}\" Библиотека=\"other.plu\"/>"
    "</КлассОборудования>"
    "<КлассОборудования Идентификатор=\"Принтеры\">"
    "<Модель Код=\"{2}\" Библиотека=\"labelplu.plu\">"
    "<Параметры><Параметр Идентификатор=\"P1\"/><Параметр Идентификатор=\"P2\"/></Параметры>"
    "</Модель>"
    "<Модель Код=\"{3}\" Библиотека=\"labelplu.plu\" Состояние=\"1\"/>"
    "</КлассОборудования></КлассыОборудования>"
    "<Оборудование><Устройство Код=\"{D}\"><Параметры><Параметр Идентификатор=\"X\"/>"
    "</Параметры></Устройство></Оборудование></Система>";

std::vector<std::string> Codes(const XmlNodeList& list) {
  std::vector<std::string> result;
  for (const XmlNode& node : list) result.push_back(node.getAttribute("Код").value_or("?"));
  return result;
}

TEST(XmlSelect, PathsAndPredicates) {
  XmlDocument doc;
  doc.loadXML(kSystem);
  using V = std::vector<std::string>;
  EXPECT_EQ(Codes(doc.selectNodes("//Модель")), (V{"{1}", "{2}", "{3}"}));
  EXPECT_EQ(Codes(doc.selectNodes("//Модель[@Библиотека=\"labelplu.plu\"]")), (V{"{2}", "{3}"}));
  EXPECT_EQ(Codes(doc.selectNodes(
                "/Система/КлассыОборудования/КлассОборудования[@Идентификатор=\"Весы\"]/Модель")),
            (V{"{1}"}));
  EXPECT_EQ(Codes(doc.selectNodes("//Модель[@Библиотека='labelplu.plu' and not(@Состояние='1')]")),
            (V{"{2}"}));
  EXPECT_EQ(Codes(doc.selectNodes("/Система/Оборудование/Устройство")), (V{"{D}"}));
  EXPECT_EQ(doc.selectNodes("//Параметры/Параметр").length(), 3);
  EXPECT_EQ(doc.selectNodes("/Система/Оборудование/Устройство/Параметры/Параметр").length(), 1);

  // Relative to an element, and relative to the document node.
  XmlNode model = doc.selectSingleNode("//Модель[@Код='{2}']");
  const XmlNodeList params = model.selectNodes("./Параметры/Параметр");
  ASSERT_EQ(params.length(), 2);
  EXPECT_EQ(params.item(1).getAttribute("Идентификатор"), "P2");
  EXPECT_TRUE(params.item(2).isNull());
  EXPECT_TRUE(params.item(-1).isNull());
  EXPECT_EQ(doc.selectNodes("Система/Оборудование").length(), 1);
  EXPECT_TRUE(doc.selectSingleNode("//Нет").isNull());
  EXPECT_EQ(doc.selectSingleNode("/").nodeType(), NodeType::Document);
  EXPECT_EQ(doc.selectSingleNode("//@Библиотека").text(), "other.plu");
}

TEST(XmlSelect, NonAsciiNameAfterASlashWithPredicates) {
  XmlDocument doc;
  doc.loadXML("<Корень><Ж Имя=\"/Ж[1]\"/><Ж/></Корень>");
  EXPECT_EQ(doc.selectNodes("/Корень[1]/Ж[1]").length(), 1);
  EXPECT_EQ(doc.selectNodes("/ Корень/Ж[@Имя='/Ж[1]']").length(), 1);
  EXPECT_EQ(doc.selectNodes("//Ж[@Имя=\"/Ж[1]\"] | /Корень[1]").length(), 2);
  EXPECT_EQ(doc.documentElement().selectNodes("Ж[2]/../Ж[1]").length(), 1);
}

TEST(XmlSelect, BadExpressionsGiveClearErrors) {
  XmlDocument doc;
  doc.loadXML(kSystem);
  struct Case {
    const char* expression;
    const char* fragment;
  };
  const Case cases[] = {{"//Модель[", "XPath error in \"//Модель[\""},
                        {"", "XPath error"},
                        {"//p:x", "XPath error"},
                        {"unknown()", "XPath error"},
                        {"count(//Модель)", "does not select nodes"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expression);
    try {
      doc.selectNodes(c.expression);
      ADD_FAILURE() << "no error";
    } catch (const XmlError& e) {
      EXPECT_NE(std::string(e.what()).find(c.fragment), std::string::npos) << e.what();
    }
  }
}

TEST(XmlSelect, SelectionProperties) {
  XmlDocument doc;
  EXPECT_EQ(doc.getProperty("SelectionLanguage"), "XPath");
  doc.setProperty("selectionlanguage", "XPath");
  doc.loadXML("<r xmlns:d=\"urn:d\"><d:x/></r>");
  doc.setProperty("SelectionNamespaces", "xmlns:q='urn:d'");
  EXPECT_EQ(doc.selectNodes("//q:x").length(), 1);
  EXPECT_THROW(doc.setProperty("SelectionLanguage", "SQL"), XmlError);
  EXPECT_THROW(doc.setProperty("SelectionNamespaces", "q=urn"), XmlError);
  EXPECT_THROW(doc.setProperty("NoSuchProperty", "1"), XmlError);
}

TEST(XmlSelect, ElementsByTagName) {
  XmlDocument doc;
  doc.loadXML(kSystem);
  EXPECT_EQ(Codes(doc.getElementsByTagName("Модель")),
            (std::vector<std::string>{"{1}", "{2}", "{3}"}));
  EXPECT_EQ(doc.documentElement().getElementsByTagName("Параметр").length(), 3);
  EXPECT_EQ(doc.selectSingleNode("//Устройство").getElementsByTagName("*").length(), 2);
  EXPECT_EQ(doc.getElementsByTagName("Система").length(), 1);
  EXPECT_EQ(doc.getElementsByTagName("система").length(), 0);
}

}  // namespace
