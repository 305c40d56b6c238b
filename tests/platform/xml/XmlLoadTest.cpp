// Loading documents: declarations naming other encodings, parse errors,
// blank text, and hostile input (external entities, entity expansion).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "platform/xml/XmlDom.h"
#include "tests/support/TempDir.h"

using namespace labelplu::xml;

namespace {

TEST(XmlLoad, DeclarationOfAnotherEncodingIsKeptButNotApplied) {
  struct Case {
    const char* declaration;
  };
  const Case cases[] = {{"version=\"1.0\" encoding=\"UTF-16\""},
                        {"version=\"1.0\" encoding=\"windows-1251\""},
                        {"version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\""},
                        {"version=\"1.0\""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.declaration);
    const std::string text = std::string("<?xml ") + c.declaration +
                             "?><Устройство Наименование=\"Весы №1\">ёЁ</Устройство>";
    XmlDocument doc;
    doc.loadXML(text);
    EXPECT_EQ(doc.documentElement().text(), "ёЁ");
    EXPECT_EQ(doc.documentElement().getAttribute("Наименование"), "Весы №1");
    EXPECT_EQ(doc.firstChild().nodeType(), NodeType::ProcessingInstruction);
    EXPECT_EQ(doc.firstChild().nodeName(), "xml");
    EXPECT_EQ(doc.xml(), std::string("<?xml ") + c.declaration +
                             "?>\r\n<Устройство Наименование=\"Весы №1\">ёЁ</Устройство>\r\n");
  }
}

TEST(XmlLoad, ByteOrderMarkAndNoDeclaration) {
  XmlDocument doc;
  doc.loadXML("\xEF\xBB\xBF<a/>");
  EXPECT_EQ(doc.xml(), "<a/>\r\n");
  EXPECT_EQ(doc.childNodes().length(), 1);
}

TEST(XmlLoad, BlankTextIsDroppedUnlessPreserved) {
  XmlDocument doc;
  doc.loadXML(
      "<?xml version=\"1.0\"?>\r\n<a>\r\n\t<b> x </b>\r\n\t<c>  </c>\r\n"
      "\t<d xml:space=\"preserve\">  </d>\r\n</a>\r\n");
  const XmlNode a = doc.documentElement();
  EXPECT_EQ(a.childNodes().length(), 3);
  EXPECT_EQ(a.selectSingleNode("b").text(), " x ");
  EXPECT_FALSE(a.selectSingleNode("c").hasChildNodes());
  EXPECT_EQ(a.selectSingleNode("d").text(), "  ");
  EXPECT_EQ(doc.xml(),
            "<?xml version=\"1.0\"?>\r\n<a><b> x </b><c/><d xml:space=\"preserve\">  </d></a>\r\n");
}

TEST(XmlLoad, MalformedTextGivesLineAndLeavesDocumentEmpty) {
  struct Case {
    const char* text;
    int line;
  };
  const Case cases[] = {
      {"<a>\n<b>\n</c></a>", 3},
      {"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<a>\n<b x=\"1\" x=\"2\"/></a>", 3},
      {"<a/><b/>", 1},
      {"", 1},
      {"not xml at all", 1},
      {"<a>&undefined;</a>", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    XmlDocument doc;
    doc.loadXML("<old/>");
    const XmlNode old = doc.documentElement();
    try {
      doc.loadXML(c.text);
      ADD_FAILURE() << "no error";
    } catch (const XmlParseError& e) {
      EXPECT_EQ(e.line(), c.line);
      EXPECT_FALSE(e.reason().empty());
      EXPECT_EQ(std::string(e.what()),
                "XML parse error at line " + std::to_string(c.line) + ": " + e.reason());
    }
    EXPECT_TRUE(doc.documentElement().isNull());
    EXPECT_EQ(doc.xml(), "");
    EXPECT_EQ(old.nodeName(), "old");  // an old handle stays usable
  }
}

TEST(XmlLoad, EveryTruncationLoadsOrFailsCleanly) {
  const std::string full =
      "<?xml version=\"1.0\" encoding=\"UTF-16\"?><!DOCTYPE a [<!ENTITY e \"v\">]>"
      "<a x=\"&e;\"><!--c--><b><![CDATA[d]]></b>&e;<?p q?></a>";
  for (size_t n = 0; n <= full.size(); ++n) {
    XmlDocument doc;
    try {
      doc.loadXML(full.substr(0, n));
      EXPECT_EQ(n, full.size());
    } catch (const XmlParseError& e) {
      EXPECT_GE(e.line(), 1);
    }
  }
}

TEST(XmlLoad, ExternalEntitiesAreNeverRead) {
  const labelplu::test::TempDir dir;
  const std::filesystem::path secret = dir.Write("secret.txt", "TOP-SECRET-CONTENT");
  const std::string uri = "file://" + secret.string();
  const std::string texts[] = {
      "<!DOCTYPE a [<!ENTITY e SYSTEM \"" + uri + "\">]><a>&e;</a>",
      "<!DOCTYPE a [<!ENTITY e SYSTEM \"" + secret.string() + "\">]><a b=\"x\">&e;</a>",
      "<!DOCTYPE a [<!ENTITY % p SYSTEM \"" + uri + "\"> %p;]><a>x</a>",
      "<!DOCTYPE a SYSTEM \"" + uri + "\"><a>x</a>",
  };
  for (const auto& text : texts) {
    SCOPED_TRACE(text);
    XmlDocument doc;
    try {
      doc.loadXML(text);
    } catch (const XmlParseError&) {
      continue;  // refusing the document is as good as not reading the file
    }
    EXPECT_EQ(doc.xml().find("TOP-SECRET"), std::string::npos);
    EXPECT_EQ(doc.documentElement().text().find("TOP-SECRET"), std::string::npos);
  }
}

// An expansion that ran would not finish; ctest's timeout would stop it.
TEST(XmlLoad, EntityExpansionBombIsRefused) {
  std::string text = "<!DOCTYPE lolz [<!ENTITY lol0 \"lol\">";
  for (int i = 1; i <= 9; ++i) {
    text += "<!ENTITY lol" + std::to_string(i) + " \"";
    for (int k = 0; k < 10; ++k) text += "&lol" + std::to_string(i - 1) + ";";
    text += "\">";
  }
  const std::string places[] = {"<lolz>&lol9;</lolz>", "<lolz a=\"&lol9;\"/>",
                                "<lolz>" + std::string(200, ' ') + "&lol6;&lol6;&lol6;</lolz>"};
  text += "]>";
  for (const auto& body : places) {
    SCOPED_TRACE(body);
    XmlDocument doc;
    EXPECT_THROW(doc.loadXML(text + body), XmlParseError);
  }
}

TEST(XmlLoad, InternalEntityStaysAReference) {
  XmlDocument doc;
  doc.loadXML("<!DOCTYPE a [<!ENTITY e \"value\">]><a b=\"&e;\">x&e;y</a>");
  EXPECT_EQ(doc.documentElement().text(), "xvaluey");
  EXPECT_EQ(doc.documentElement().getAttribute("b"), "value");
  const std::string text = doc.xml();
  EXPECT_NE(text.find("<a b=\"&e;\">x&e;y</a>\r\n"), std::string::npos) << text;
  XmlDocument again;
  again.loadXML(text);
  EXPECT_EQ(again.xml(), text);
}

TEST(XmlLoad, NodesKnowTheLineTheyBeganOn) {
  XmlDocument doc;
  std::string text = "<?xml version=\"1.0\"?>\r\n<Label>\r\n  <Item ClassName=\"Text\">\n";
  for (int i = 0; i < 70000; ++i) text += "\n";
  text += "<Property Name=\"A\" Value=\"1\"/></Item>\n</Label>";
  doc.loadXML(text);
  EXPECT_EQ(doc.documentElement().lineNumber(), 2);
  const XmlNode item = doc.selectSingleNode("Label/Item");
  EXPECT_EQ(item.lineNumber(), 3);
  // Past 65535 lines the parser no longer tells lines apart.
  EXPECT_EQ(doc.selectSingleNode("Label/Item/Property").lineNumber(), 0);
  EXPECT_EQ(doc.selectSingleNode("Label/Item/@ClassName").lineNumber(), 3);
  EXPECT_EQ(doc.createElement("New").lineNumber(), 0);
  EXPECT_EQ(doc.lineNumber(), 0);
}

}  // namespace
