// Port values of a device: one the device cannot read is refused wherever
// it comes from (a legacy or a current settings document, a parameter
// write), never kept and written into a document that does not load again.
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>

#include "DevicesList.h"
#include "Variant.h"
#include "XmlDom.h"

namespace labelplu {
namespace {

std::string LegacyDocument(const std::string& extraBaud) {
  return "<Устройство Код=\"{3C4D5E6F-7A8B-4C9D-8E0F-1A2B3C4D5E6F}\" Описание=\"Старый\">"
         "<Параметры><ComPort><Item Имя=\"Baud\" Значение=\"19200\"/></ComPort>"
         "<Дополнительно><Item Имя=\"Baud\" Значение=\"" + extraBaud + "\"/></Дополнительно>"
         "</Параметры></Устройство>";
}

std::string CurrentDocument(const std::string& baud) {
  return "<Устройство Код=\"{3C4D5E6F-7A8B-4C9D-8E0F-1A2B3C4D5E6F}\" Наименование=\"Старый\">"
         "<Параметры><Параметр Идентификатор=\"Baud\" Значение=\"" + baud + "\"/></Параметры>"
         "</Устройство>";
}

std::string ListDocument(TDevicesList& list) {
  ole::OleVariant none;
  ole::OleVariant result;
  list.GetSettingsXml(none.get(), result.get());
  std::optional<xml::XmlNode> node = xml::OwnNodeFromDispatch(result.get().pdispVal);
  return node ? node->xml() : std::string();
}

TEST(LegacySettingsTest, BadPortValueIsRefusedInEitherForm) {
  // "19XOffChar200" came from the settings fuzzer: the legacy form kept it,
  // and the list's own document of the device then failed to load.
  for (const std::string& text : {LegacyDocument("19XOffChar200"), CurrentDocument("19XOffChar200")}) {
    TDevicesList list("labelplu.plu");
    EXPECT_THROW(list.LoadSettings(ole::OleVariant(std::string_view(text)).get()),
                 std::invalid_argument)
        << text;
  }
}

TEST(LegacySettingsTest, ParameterWriteRefusesABadPortValue) {
  TDevicesList list("labelplu.plu");
  list.LoadSettings(ole::OleVariant(std::string_view(CurrentDocument("9600"))).get());
  ASSERT_EQ(list.Count(), 1);
  TDeviceItem& device = *list.GetDevice(0);
  EXPECT_THROW(device.SetParam("baud", "x"), std::invalid_argument);
  EXPECT_EQ(device.GetParam("Baud"), "9600");
  device.SetParam("Baud", "19200");
  EXPECT_EQ(device.GetParam("Baud"), "19200");
}

TEST(LegacySettingsTest, WrittenDocumentLoadsBackUnchanged) {
  TDevicesList list("labelplu.plu");
  list.LoadSettings(ole::OleVariant(std::string_view(LegacyDocument("9600"))).get());
  ASSERT_EQ(list.Count(), 1);
  const std::string saved = ListDocument(list);
  TDevicesList again("labelplu.plu");
  again.LoadSettings(ole::OleVariant(std::string_view(saved)).get());
  EXPECT_EQ(ListDocument(again), saved);
}

}  // namespace
}  // namespace labelplu
