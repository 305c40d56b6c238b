// The "xml" text: declaration, CR LF only after top-level nodes, empty
// elements, attribute order and escaping, round trips.
#include <gtest/gtest.h>

#include "platform/ole/Variant.h"
#include "platform/xml/XmlDom.h"

using namespace labelplu::xml;
using labelplu::ole::OleVariant;

namespace {

TEST(XmlWrite, DeclarationThenEmptyRoot) {
  XmlDocument doc;
  doc.insertBefore(doc.createProcessingInstruction("xml", "version=\"1.0\" encoding=\"UTF-16\""),
                   doc.documentElement());
  doc.setDocumentElement(doc.createElement("Устройство"));
  EXPECT_EQ(doc.xml(), "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<Устройство/>\r\n");
}

TEST(XmlWrite, NestingAddsNothingAndAttributesKeepTheirOrder) {
  XmlDocument doc;
  XmlNode root = doc.createElement("Устройство");
  doc.appendChild(root);
  root.setAttribute("Код", "{1}");
  root.setAttribute("КодМодели", "{2}");
  root.setAttribute("Наименование", "old");
  root.setAttribute("Код", "{3}");  // replaced in place
  root.setAttribute("Наименование", "Весы");
  XmlNode params = root.appendChild(doc.createElement("Параметры"));
  for (const char* id : {"b", "a"}) {
    XmlNode p = params.appendChild(doc.createElement("Параметр"));
    p.setAttribute("Идентификатор", id);
    p.setAttribute("Зна4ение", "");
  }
  root.appendChild(doc.createComment(" c "));
  EXPECT_EQ(
      doc.xml(),
      "<Устройство Код=\"{3}\" КодМодели=\"{2}\" Наименование=\"Весы\"><Параметры>"
      "<Параметр Идентификатор=\"b\" Зна4ение=\"\"/><Параметр Идентификатор=\"a\" Зна4ение=\"\"/>"
      "</Параметры><!-- c --></Устройство>\r\n");
  EXPECT_EQ(params.xml(),
            "<Параметры><Параметр Идентификатор=\"b\" Зна4ение=\"\"/>"
            "<Параметр Идентификатор=\"a\" Зна4ение=\"\"/></Параметры>");
  const auto attributes = root.attributes();
  ASSERT_EQ(attributes.size(), 3u);
  EXPECT_EQ(attributes[0].first, "Код");
  EXPECT_EQ(attributes[2].second, "Весы");
}

TEST(XmlWrite, EscapingSurvivesARoundTrip) {
  const std::string values[] = {"a&b<c>d\"e'f", "line1\r\nline2\tend", "", "путь C:\\a\\nb"};
  for (const auto& value : values) {
    SCOPED_TRACE(value);
    XmlDocument doc;
    XmlNode a = doc.appendChild(doc.createElement("a"));
    a.setAttribute("v", value);
    a.setText(value);
    const std::string text = doc.xml();
    XmlDocument again;
    again.loadXML(text);
    EXPECT_EQ(again.documentElement().getAttribute("v"), value);
    EXPECT_EQ(again.documentElement().text(), value);
    EXPECT_EQ(again.xml(), text);
  }
  XmlDocument doc;
  XmlNode a = doc.appendChild(doc.createElement("a"));
  a.setAttribute("v", "&<>\"");
  a.setText("&<>\"");
  EXPECT_EQ(a.xml(), "<a v=\"&amp;&lt;&gt;&quot;\">&amp;&lt;&gt;\"</a>");
  a.setAttribute("v", "1\r\n2\t");
  a.setText("1\r\n2\t");
  EXPECT_EQ(a.xml(), "<a v=\"1&#13;&#10;2&#9;\">1&#13;\n2\t</a>");
}

TEST(XmlWrite, OtherNodeKindsAndTopLevelLines) {
  XmlDocument doc;
  doc.loadXML(
      "<?xml version=\"1.0\"?><!-- top --><?app data?><r><![CDATA[<raw>&]]><?p?></r><!--end-->");
  EXPECT_EQ(doc.xml(),
            "<?xml version=\"1.0\"?>\r\n<!-- top -->\r\n<?app data?>\r\n"
            "<r><![CDATA[<raw>&]]><?p?></r>\r\n<!--end-->\r\n");
  EXPECT_EQ(doc.documentElement().text(), "<raw>&");
}

TEST(XmlWrite, VariantAttributeValues) {
  XmlDocument doc;
  XmlNode a = doc.appendChild(doc.createElement("a"));
  struct Case {
    OleVariant value;
    const char* text;
  };
  const Case cases[] = {{OleVariant(true), "-1"},        {OleVariant(false), "0"},
                        {OleVariant(int32_t(42)), "42"}, {OleVariant(1.5), "1,5"},
                        {OleVariant("текст"), "текст"},  {OleVariant(), ""},
                        {OleVariant::Null(), ""}};
  for (const auto& c : cases) {
    a.setAttribute("v", c.value.get());
    EXPECT_EQ(a.getAttribute("v"), c.text);
  }
  EXPECT_THROW(a.setAttribute("v", OleVariant(static_cast<IDispatch*>(nullptr)).get()), XmlError);
}

TEST(XmlWrite, BadNamesAreRefused) {
  XmlDocument doc;
  for (const char* name : {"", "1a", "a b", "a<b"}) {
    SCOPED_TRACE(name);
    EXPECT_THROW(doc.createElement(name), XmlError);
  }
  XmlNode a = doc.createElement("a");
  EXPECT_THROW(a.setAttribute("x y", "1"), XmlError);
  EXPECT_THROW(doc.createComment("a--b"), XmlError);
  EXPECT_THROW(doc.createProcessingInstruction("p", "a?>b"), XmlError);
}

}  // namespace
