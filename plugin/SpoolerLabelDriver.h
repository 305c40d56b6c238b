// The concrete driver: labels on any printer the spooler knows.
#ifndef LABELPLU_PLUGIN_SPOOLERLABELDRIVER_H
#define LABELPLU_PLUGIN_SPOOLERLABELDRIVER_H

#include "plugin/LabelPrinterDriver.h"
#include "print/PrinterDevice.h"

namespace labelplu {

class SpoolerLabelDriver final : public LabelPrinterDriver {
 public:
  // list: the device list (the driver's own kind unless a test hands one).
  SpoolerLabelDriver(CallEntryFn callEntry, DriverObject* const* driverSlot,
                     std::unique_ptr<DeviceList> list = std::make_unique<PrinterDeviceList>());

  // Both answer whether the device is switched on (kResultOk) or not
  // (kResultNoDevice).
  void CheckTemplate(DeviceItem& device, VARIANT& arg, VARIANT& result) override;
  void GetValuesName(DeviceItem& device, VARIANT& arg, VARIANT& result) override;
  // The print job of the device (PrinterDevice::ExecutePrint).
  void ExecutePrint(DeviceItem& device, VARIANT& arg, VARIANT& result) override;

  // The device of the last "SendToDevice" call (null before the first).
  ole::ComPtr<PrinterDevice> SendDevice;
};

}  // namespace labelplu

#endif  // LABELPLU_PLUGIN_SPOOLERLABELDRIVER_H
