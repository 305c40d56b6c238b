// XML nested ten thousand deep and more: in the document object, and as
// settings documents a host hands the driver through Dispatch. Each ends in
// the parser's depth error at once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "platform/xml/XmlDom.h"
#include "tests/robustness/DriverHarness.h"

namespace labelplu::test {
namespace {

std::string Nested(const std::string& open, const std::string& inner, int depth) {
  std::string xml = open;
  for (int i = 0; i < depth; ++i) xml += "<" + inner + ">";
  for (int i = 0; i < depth; ++i) xml += "</" + inner + ">";
  return xml;
}

TEST(XmlBounds, NestingPastTheParserDepthIsAParseError) {
  for (int depth : {10000, 1000000}) {
    const std::string xml = Nested("", "a", depth);
    xml::XmlDocument doc;
    std::string message;
    const Usage usage = Measure("XML nested deep", [&] {
      try {
        doc.loadXML(xml);
      } catch (const xml::XmlParseError& e) {
        message = e.what();
      }
    });
    EXPECT_NE(message.find("Excessive depth"), std::string::npos) << message;
    EXPECT_LT(usage.peakGrowthMb, 32);
    EXPECT_TRUE(doc.documentElement().isNull());
  }
  // The parser's depth is 256: a document of that depth still loads.
  xml::XmlDocument doc;
  EXPECT_NO_THROW(doc.loadXML(Nested("", "a", 255)));
}

TEST_F(DriverBounds, DeeplyNestedSettingsDocumentsAreRefused) {
  const std::string device = "<Устройство Наименование=\"глубина\"><Параметры>" +
                             Nested("", "Параметр", 10000) + "</Параметры></Устройство>";
  auto [code, text] =
      Failure("AddDevice nested 10^4 deep", "ДобавитьУстройство", 1, {OleVariant(device)}, 64);
  EXPECT_EQ(code, -1);
  EXPECT_NE(text.find("Excessive depth"), std::string::npos) << text;
  EXPECT_EQ(DeviceCount(), 0);

  const std::string list =
      "<EquList><Device>" + Nested("", "Device", 10000) + "</Device></EquList>";
  std::tie(code, text) =
      Failure("SettingDevices nested 10^4 deep", "НастроитьУстройства", 1, {OleVariant(list)}, 64);
  EXPECT_EQ(code, -1);
  EXPECT_NE(text.find("Excessive depth"), std::string::npos) << text;
  EXPECT_EQ(DeviceCount(), 0);
}

}  // namespace
}  // namespace labelplu::test
