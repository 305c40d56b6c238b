// The concrete driver: labels on any printer the spooler knows.
#ifndef LABELPLU_PLUGIN_DLLWINPRINTER_H
#define LABELPLU_PLUGIN_DLLWINPRINTER_H

#include "BaseDllLP.h"
#include "ManagerWinPrinter.h"

namespace labelplu {

class TDllWinPrinter final : public TBaseDllLP {
 public:
  // list: the device list (the driver's own kind unless a test hands one).
  TDllWinPrinter(TCallEntry callEntry, TBaseDllObj* const* driverSlot,
                 std::unique_ptr<TDevicesList> list = std::make_unique<TManagerWinPrinterList>());

  // Both answer whether the device is switched on (0) or not (3).
  void fcl_CheckTemplate(TDeviceItem& device, VARIANT& arg, VARIANT& result) override;
  void fcl_GetValuesName(TDeviceItem& device, VARIANT& arg, VARIANT& result) override;
  // The print job of the device (TManagerWinPrinter::ExecutePrint).
  void fcl_ExecutePrint(TDeviceItem& device, VARIANT& arg, VARIANT& result) override;

  // The device of the last "SendToDevice" call (null before the first).
  ole::ComPtr<TManagerWinPrinter> SendDevice;
};

}  // namespace labelplu

#endif
