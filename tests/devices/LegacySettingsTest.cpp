// Settings documents that must load back as written: a port value the
// device cannot read is refused wherever it comes from (a legacy or a
// current settings document, a parameter write), never kept and written
// into a document that does not load again; a value that is itself a
// settings document keeps its text.
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "devices/DeviceList.h"
#include "platform/ole/Variant.h"
#include "platform/xml/XmlDom.h"
#include "platform/xml/XmlHelpers.h"

namespace labelplu {
namespace {

std::string LegacyDocument(const std::string& extraBaud) {
  return "<Устройство Код=\"{3C4D5E6F-7A8B-4C9D-8E0F-1A2B3C4D5E6F}\" Описание=\"Старый\">"
         "<Параметры><ComPort><Item Имя=\"Baud\" Значение=\"19200\"/></ComPort>"
         "<Дополнительно><Item Имя=\"Baud\" Значение=\"" +
         extraBaud +
         "\"/></Дополнительно>"
         "</Параметры></Устройство>";
}

std::string CurrentDocument(const std::string& baud) {
  return "<Устройство Код=\"{3C4D5E6F-7A8B-4C9D-8E0F-1A2B3C4D5E6F}\" Наименование=\"Старый\">"
         "<Параметры><Параметр Идентификатор=\"Baud\" Значение=\"" +
         baud +
         "\"/></Параметры>"
         "</Устройство>";
}

std::string ListDocument(DeviceList& list) {
  ole::OleVariant none;
  ole::OleVariant result;
  list.GetSettingsXml(none.get(), result.get());
  std::optional<xml::XmlNode> node = xml::OwnNodeFromDispatch(result.get().pdispVal);
  return node ? node->xml() : std::string();
}

TEST(LegacySettingsTest, BadPortValueIsRefusedInEitherForm) {
  // "19XOffChar200" came from the settings fuzzer: the legacy form kept it,
  // and the list's own document of the device then failed to load.
  for (const std::string& text :
       {LegacyDocument("19XOffChar200"), CurrentDocument("19XOffChar200")}) {
    DeviceList list("labelplu.plu");
    EXPECT_THROW(list.LoadSettings(ole::OleVariant(std::string_view(text)).get()),
                 std::invalid_argument)
        << text;
  }
}

TEST(LegacySettingsTest, ParameterWriteRefusesABadPortValue) {
  DeviceList list("labelplu.plu");
  list.LoadSettings(ole::OleVariant(std::string_view(CurrentDocument("9600"))).get());
  ASSERT_EQ(list.Count(), 1);
  DeviceItem& device = *list.GetDevice(0);
  EXPECT_THROW(device.SetParam("baud", "x"), std::invalid_argument);
  EXPECT_EQ(device.GetParam("Baud"), "9600");
  device.SetParam("Baud", "19200");
  EXPECT_EQ(device.GetParam("Baud"), "19200");
}

TEST(LegacySettingsTest, WritesRefuseCharactersXmlCannotHold) {
  // Found by the request fuzzer: a density of "5\x1F\x1E" was stored, and
  // the list's document then failed to load ("invalid character in
  // attribute value").
  DeviceList list("labelplu.plu");
  list.LoadSettings(ole::OleVariant(std::string_view(CurrentDocument("9600"))).get());
  ASSERT_EQ(list.Count(), 1);
  DeviceItem& device = *list.GetDevice(0);
  device.SetParam("Насыщенность", "5");
  for (const std::string& bad :
       std::vector<std::string>{"5\x1F\x1E", std::string("5\0", 2), "\x01", "5\xEF\xBF\xBF"}) {
    EXPECT_THROW(device.SetParam("Насыщенность", bad), std::invalid_argument);
  }
  EXPECT_THROW(device.SetParam("Насыщенность\x0B", "5"), std::invalid_argument);
  EXPECT_EQ(device.GetParam("Насыщенность"), "5");
  list.Current = 1;
  EXPECT_THROW(list.SetCurrentName("Склад\x07"), std::invalid_argument);
  EXPECT_EQ(device.Name, "Старый");
  // Tabs and line breaks are fine.
  device.SetParam("ШаблонПоУмолчанию", "a\tb\r\nc");
  const std::string saved = ListDocument(list);
  DeviceList again("labelplu.plu");
  again.LoadSettings(ole::OleVariant(std::string_view(saved)).get());
  EXPECT_EQ(again.GetDevice(0)->GetParam("ШаблонПоУмолчанию"), "a\tb\r\nc");
}

TEST(LegacySettingsTest, WrittenDocumentLoadsBackUnchanged) {
  DeviceList list("labelplu.plu");
  list.LoadSettings(ole::OleVariant(std::string_view(LegacyDocument("9600"))).get());
  ASSERT_EQ(list.Count(), 1);
  const std::string saved = ListDocument(list);
  // Only the parameters go back: the port's own values (the 19200 of the
  // legacy port section, its flow control) stay out of the document.
  EXPECT_NE(saved.find("\"9600\""), std::string::npos) << saved;
  EXPECT_EQ(saved.find("19200"), std::string::npos) << saved;
  EXPECT_EQ(saved.find("FlowControl"), std::string::npos) << saved;
  DeviceList again("labelplu.plu");
  again.LoadSettings(ole::OleVariant(std::string_view(saved)).get());
  EXPECT_EQ(ListDocument(again), saved);
}

TEST(LegacySettingsTest, ValueHoldingADocumentKeepsItsAttributeNames) {
  // Found by the request fuzzer: a host set a device's default template to a
  // whole settings document, and the name spelling conversion of the next
  // load rewrote the names inside that value.
  const std::string value =
      "<Параметр Идентификатор=\"A\" Значение=\"1\" ЗначениеПоУмолчанию=\"2\"/>"
      "<Параметр Зна4ение=\"3\"/>";
  const std::string escaped = xml::ReplaceAll(
      xml::ReplaceAll(xml::ReplaceAll(value, "&", "&amp;", true), "<", "&lt;", true), "\"",
      "&quot;", true);
  const std::string text =
      "<Устройство Код=\"{3C4D5E6F-7A8B-4C9D-8E0F-1A2B3C4D5E6F}\" Наименование=\"Склад\">"
      "<Параметры><Параметр Идентификатор=\"ШаблонПоУмолчанию\" Значение=\"" +
      escaped +
      "\"/>"
      "</Параметры></Устройство>";
  DeviceList list("labelplu.plu");
  list.LoadSettings(ole::OleVariant(std::string_view(text)).get());
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.GetDevice(0)->GetParam("ШаблонПоУмолчанию"), value);
  const std::string saved = ListDocument(list);
  DeviceList again("labelplu.plu");
  again.LoadSettings(ole::OleVariant(std::string_view(saved)).get());
  EXPECT_EQ(again.GetDevice(0)->GetParam("ШаблонПоУмолчанию"), value);
  EXPECT_EQ(ListDocument(again), saved);
}

}  // namespace
}  // namespace labelplu
