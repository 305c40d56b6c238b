#include "plugin/SpoolerLabelDriver.h"

#include "base/ArgTypes.h"
#include "base/DriverResult.h"
#include "base/Errors.h"
#include "base/VariantUtils.h"
#include "platform/ole/Variant.h"
#include "plugin/BaseMethods.h"
#include "ui/DeviceWindows.h"

namespace labelplu {

namespace {

PrinterDevice& PrinterDeviceOf(DeviceItem& device, const char* operation) {
  auto* printer = dynamic_cast<PrinterDevice*>(&device);
  if (!printer) RaiseError(21011, operation);
  return *printer;
}

// "ПередатьВУстройство,SendToDevice": raw data for the current device.
void SendToDevice(const CallContext& ctx, std::span<VARIANT> args, VARIANT& result) {
  auto& driver = dynamic_cast<SpoolerLabelDriver&>(ctx.Driver);
  auto* device = dynamic_cast<PrinterDevice*>(ctx.Driver.CurrentDevice(ctx.Task));
  // Held by reference, so a device deleted later cannot leave it dangling.
  driver.SendDevice = ole::ComPtr<PrinterDevice>(device);
  if (!device) {
    StoreInt(result, kResultNoDevice);
    return;
  }
  if (EffectiveType(args[0]) != VT_BSTR) {
    StoreInt(result, kResultWrongArgumentType);
    return;
  }
  StoreInt(result, device->SendToDevice(ole::VarToText(DerefVariant(args[0])), 0));
}

constexpr MethodRecord kDriverMethods[] = {
    {"ВыбратьУстройство,ChoiceDevice", 1, ChoiceDeviceHandler},
    {"ПередатьВУстройство,SendToDevice", 1, SendToDevice},
};

}  // namespace

SpoolerLabelDriver::SpoolerLabelDriver(CallEntryFn callEntry, DriverObject* const* driverSlot,
                                       std::unique_ptr<DeviceList> list)
    : LabelPrinterDriver({kDriverMethods, BaseMethodTable(), BasePropertyTable()}, callEntry,
                         driverSlot, std::move(list)) {
  // Jobs get their application object, failures their message box and the
  // settings request its dialog from the Qt windows.
  InstallDeviceWindows();
}

void SpoolerLabelDriver::CheckTemplate(DeviceItem& device, VARIANT&, VARIANT& result) {
  StoreInt(result, device.CheckOn());
}

void SpoolerLabelDriver::GetValuesName(DeviceItem& device, VARIANT&, VARIANT& result) {
  StoreInt(result, device.CheckOn());
}

void SpoolerLabelDriver::ExecutePrint(DeviceItem& device, VARIANT& arg, VARIANT& result) {
  StoreInt(result, PrinterDeviceOf(device, "fcl_ExecutePrint").ExecutePrint(arg));
}

}  // namespace labelplu
