// The print manager: this driver's kind of device, and its device list.
#ifndef LABELPLU_PRINT_MANAGERWINPRINTER_H
#define LABELPLU_PRINT_MANAGERWINPRINTER_H

#include <span>
#include <string>

#include "DevicesList.h"
#include "MethodRecords.h"

namespace labelplu {

// The nine parameters every label-printer driver of the family has (no
// handlers: the driver object adds its own to publish them as properties).
std::span<const TPropertyRecord> LabelPrinterParamRecords();
// The eighteen page-layout parameters of this driver.
std::span<const TPropertyRecord> WinPrinterParamRecords();

class TManagerWinPrinter : public TDeviceItem {
public:
  using TDeviceItem::TDeviceItem;
  // Code 6 is the device's own error text (none here); every other code
  // the list's.
  std::string GetErrorText(int32_t code) const override;

  // The description of result code 6; nothing in this driver fills it.
  std::string DeviceErrorText;
};

class TManagerWinPrinterList : public TDevicesList {
public:
  // Registers the driver's model and its two parameter tables.
  explicit TManagerWinPrinterList(std::string moduleFileName = {});
  std::string GetErrorText(int32_t code) const override;

protected:
  ole::ComPtr<TDeviceItem> CreateItem() override;
};

}  // namespace labelplu

#endif
