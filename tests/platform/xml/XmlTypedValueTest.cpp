// "bin.base64" typed content: embedded images of label templates.
#include <gtest/gtest.h>

#include "platform/xml/XmlDom.h"

using namespace labelplu::xml;

namespace {

std::vector<uint8_t> AllBytes() {
  std::vector<uint8_t> bytes;
  bytes.reserve(256);
  for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<uint8_t>(255 - i));
  bytes.push_back(0);
  return bytes;
}

TEST(XmlTypedValue, BinaryRoundTripThroughText) {
  const std::vector<uint8_t> image = AllBytes();
  XmlDocument doc;
  doc.loadXML("<Label/>");
  XmlNode list = doc.documentElement().appendChild(doc.createElement("ImageList"));
  list.setAttribute("Count", "1");
  list.setAttribute("xmlns:dt", std::string(kDataTypesNamespace));
  XmlNode item = doc.createElement("Image");
  item.setAttribute("Name", "logo");
  item.setDataType("bin.base64");
  item.setNodeTypedBytes(image);
  list.appendChild(item);

  const std::string text = doc.xml();
  EXPECT_NE(
      text.find("<Label><ImageList Count=\"1\" xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">"
                "<Image Name=\"logo\" dt:dt=\"bin.base64\">"),
      std::string::npos)
      << text;
  EXPECT_EQ(item.text().find('\n'), 72u);  // line feeds as the automation DOM writes them

  XmlDocument again;
  again.loadXML(text);
  XmlNode loaded = again.selectSingleNode("Label/ImageList").firstChild();
  EXPECT_EQ(loaded.dataType(), "bin.base64");
  EXPECT_EQ(loaded.nodeTypedBytes(), image);
  EXPECT_EQ(again.xml(),
            text.substr(0, text.find("<ImageList")) +
                "<ImageList xmlns:dt=\"urn:schemas-microsoft-com:datatypes\" Count=\"1\">" +
                text.substr(text.find("<Image ")));
}

TEST(XmlTypedValue, DeclaresItsNamespaceWhenNoAncestorDoes) {
  XmlDocument doc;
  XmlNode image = doc.appendChild(doc.createElement("Image"));
  image.setNodeTypedBytes(std::vector<uint8_t>{'a', 'b', 'c', 'd'});
  EXPECT_EQ(doc.xml(),
            "<Image dt:dt=\"bin.base64\" "
            "xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">YWJjZA==</Image>\r\n");
  XmlDocument again;
  again.loadXML(doc.xml());
  EXPECT_EQ(again.documentElement().nodeTypedBytes(), (std::vector<uint8_t>{'a', 'b', 'c', 'd'}));
  // An element written on its own carries the declaration it needs.
  XmlDocument nested;
  nested.loadXML(
      "<L xmlns:dt=\"urn:schemas-microsoft-com:datatypes\"><I dt:dt=\"bin.base64\">AA==</I></L>");
  EXPECT_EQ(nested.documentElement().firstChild().xml(),
            "<I dt:dt=\"bin.base64\" xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">AA==</I>");
}

TEST(XmlTypedValue, BadContentAndWrongType) {
  XmlDocument doc;
  doc.loadXML(
      "<r xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">"
      "<a dt:dt=\"bin.base64\">not*base64</a><b dt:dt=\"bin.base64\">QQ=</b>"
      "<c>QUJD</c><d dt:dt=\"bin.base64\"/></r>");
  EXPECT_THROW(doc.selectSingleNode("//a").nodeTypedBytes(), XmlError);
  EXPECT_THROW(doc.selectSingleNode("//b").nodeTypedBytes(), XmlError);
  EXPECT_THROW(doc.selectSingleNode("//c").nodeTypedBytes(), XmlError);
  EXPECT_TRUE(doc.selectSingleNode("//d").nodeTypedBytes().empty());
}

TEST(XmlTypedValue, Base64Codec) {
  struct Case {
    std::string bytes;
    std::string text;
  };
  const Case cases[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}};
  for (const auto& c : cases) {
    const std::vector<uint8_t> bytes(c.bytes.begin(), c.bytes.end());
    EXPECT_EQ(EncodeBase64(bytes), c.text);
    EXPECT_EQ(DecodeBase64(c.text), bytes);
  }
  EXPECT_EQ(DecodeBase64(" Zm9v\r\nYg==\n"), (std::vector<uint8_t>{'f', 'o', 'o', 'b'}));
  for (const char* bad : {"Zm9", "Zg=a", "Zg===", "Z!==", "===="})
    EXPECT_FALSE(DecodeBase64(bad)) << bad;
}

}  // namespace
