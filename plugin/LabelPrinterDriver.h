// The label-printer level of the driver object: device choice, template
// check, variable list and print.
#ifndef LABELPLU_PLUGIN_LABELPRINTERDRIVER_H
#define LABELPLU_PLUGIN_LABELPRINTERDRIVER_H

#include "plugin/DriverObject.h"

namespace labelplu {

class LabelPrinterDriver : public DriverObject {
 public:
  LabelPrinterDriver(const DriverTables& tables, CallEntryFn callEntry,
                     DriverObject* const* driverSlot, std::unique_ptr<DeviceList> list);

  // The three print operations; a driver without them fails with 21011 and
  // the operation's name.
  virtual void CheckTemplate(DeviceItem& device, VARIANT& arg, VARIANT& result);
  virtual void GetValuesName(DeviceItem& device, VARIANT& arg, VARIANT& result);
  virtual void ExecutePrint(DeviceItem& device, VARIANT& arg, VARIANT& result);
};

// "ВыбратьУстройство,ChoiceDevice": also the concrete driver's own method.
void ChoiceDeviceHandler(const CallContext& ctx, std::span<VARIANT> args, VARIANT& result);

}  // namespace labelplu

#endif  // LABELPLU_PLUGIN_LABELPRINTERDRIVER_H
