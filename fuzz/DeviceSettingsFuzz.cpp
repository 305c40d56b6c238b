// libFuzzer target: device settings documents, as a host hands them to the
// driver: the device list's LoadSettings (the "EquList" document of every
// device), one device's LoadFromXml, the models and the dialog colours a
// document may carry.
//
// Any text must end in devices or an exception, never a crash, a hang or an
// unbounded allocation. The list's own document of what it loaded must load
// into a new list and give the same document again: this is how a host
// keeps the devices from one run to the next.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/FuzzSetup.h"
#include "platform/xml/XmlDom.h"
#include "print/PrinterDevice.h"

using namespace labelplu;

namespace {

std::string ListDocument(DeviceList& list) {
  ole::OleVariant none;
  ole::OleVariant result;
  list.GetSettingsXml(none.get(), result.get());
  if (result.get().vt != VT_DISPATCH) fuzz::Finding("the list's document is not an object");
  std::optional<xml::XmlNode> node = xml::OwnNodeFromDispatch(result.get().pdispVal);
  if (!node) fuzz::Finding("the list's document is not its own");
  return node->xml();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::Setup();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ole::OleVariant document;
  try {
    document = ole::OleVariant(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const std::exception&) {
    return 0;  // not UTF-8: a host cannot hand it over as text
  }

  std::string saved;
  {
    PrinterDeviceList list("labelplu.plu");
    try {
      list.LoadSettings(document.get());
    } catch (const std::exception&) {
      return 0;
    }
    for (int32_t i = 0; i < list.Count(); ++i) (void)list.GetDevice(i)->GetSettingsXml().xml();
    saved = ListDocument(list);
  }
  {
    PrinterDeviceList again("labelplu.plu");
    again.LoadSettings(ole::OleVariant(std::string_view(saved)).get());
    if (ListDocument(again) != saved) fuzz::Finding("the settings changed on reload");
  }
  {
    PrinterDeviceList list("labelplu.plu");
    try {
      list.LoadModels(document.get());
      list.LoadColours(document.get());
      DeviceItem& device = list.AppendDevice();
      device.LoadFromXml(document.get());
      device.ReadPortParams(nullptr);
      (void)device.GetSettingsXml().xml();
    } catch (const std::exception&) {
    }
  }
  return 0;
}
